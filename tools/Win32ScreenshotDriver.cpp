// Takes the pictures of the Windows window program that a person looks over for clipped or
// overlapping controls: the about box, the main window with two files open and a symbol selected,
// the open-file dialog, the Rename and WMF Import dialogs and a message box, as BMP files. Usage:
// runebin_win32_screenshots OUTPUT_FOLDER (under Wine and Xvfb; see scripts/screenshots.sh).

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/MainDialog.h"
#include "gui/win32/WideText.h"
#include "gui/win32/Win32Toolkit.h"
#include "resources/ControlIds.h"
#include "tests/support/TempDir.h"
#include "tests/win32/WindowDriver.h"
#include "tools/ScreenshotFiles.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// Saves what `window` shows on screen as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
  RECT place{};
  ::GetWindowRect(window, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  ::GdiFlush();
  const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  info.bmiHeader.biSizeImage = imageBytes;
  bool saved = false;
  HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    saved = ::WriteFile(out, &file, sizeof(file), &written, nullptr) &&
            ::WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
            ::WriteFile(out, bits, imageBytes, &written, nullptr);
    ::CloseHandle(out);
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return saved;
}

int TakeScreenshots(const std::wstring& folder) {
  TempDir files;
  const ScreenshotFiles made = WriteScreenshotFiles(files, RUNEBIN_WMF_CORPUS);
  win32::Win32Toolkit toolkit;
  MainDialog dialog(toolkit, files.Path("entities.txt"));
  bool failed = false;
  const auto take = [&](HWND window, const wchar_t* name) {
    ::Sleep(300);  // the window has painted
    const std::wstring path = folder + L"\\" + name;
    failed = !SaveWindowPicture(window, path) || failed;
    std::printf("%s\n", win32::WideToText(path).c_str());
  };
  const std::string problem = RunScripted(
      toolkit.Window(),
      [&] {
        toolkit.RunAboutBox();
        dialog.Run();
      },
      [&](const WindowDriver& user) {
        HWND about = user.WaitForDialog(L"About Runebin");
        take(about, L"about.bmp");
        user.Press(about, IDOK);
        user.WaitUntilClosed(about);
        const HWND main = user.Main();
        user.Press(main, ids::kOpenClose1);
        user.ChooseFile(L"Open Korvel File 1", made.landscape, false);
        user.Press(main, ids::kOpenClose2);
        take(user.WaitForDialog(L"Open Korvel File 2"), L"open-file.bmp");
        user.ChooseFile(L"Open Korvel File 2", made.catalog, true);
        user.Select(main, ids::kList1, 5);
        take(main, L"main-window.bmp");
        user.Press(main, ids::kRename1);
        HWND rename = user.WaitForDialog(L"Rename");
        take(rename, L"rename.bmp");
        user.Press(rename, IDCANCEL);
        user.Press(main, ids::kImport1);
        user.ChooseFile(L"Import WMF File as Symbol", RUNEBIN_WMF_CORPUS "/pillow-drawing.wmf",
                        false);
        HWND import = user.WaitForDialog(L"WMF Import");
        take(import, L"wmf-import.bmp");
        user.Press(import, IDCANCEL);
        user.Press(main, ids::kImport2);
        HWND message = user.WaitForDialog(L"Runebin");
        take(message, L"message.bmp");
        user.Press(message, IDOK);
        user.Press(main, ids::kDone);
      });
  if (!problem.empty() || failed) {
    std::fprintf(stderr, "runebin_win32_screenshots: %s\n",
                 problem.empty() ? "a picture could not be written" : problem.c_str());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace runebin

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: runebin_win32_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  return runebin::TakeScreenshots(argv[1]);
}
