// The Win32 window program's own part: its controls are built from the layout table, and the
// real windows carry the user's clicks, selections and typing to the program and its answers back.
// The window's behaviour itself is tested through the in-memory toolkit.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>

#include "app/MainDialog.h"
#include "gui/win32/WideText.h"
#include "gui/win32/Win32Toolkit.h"
#include "resources/ControlIds.h"
#include "resources/MainDialogLayout.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/win32/WindowDriver.h"

namespace runebin {
namespace {

using namespace runebin::testing;

std::string ListLine(HWND dialog, int listId, int index) {
  wchar_t line[256] = {};
  ::SendDlgItemMessageW(dialog, listId, LB_GETTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(line));
  return win32::WideToText(line);
}

class Win32Window : public ::testing::Test {
 protected:
  std::string Text(int id) const { return toolkit.GetControlText(id); }

  TempDir files;
  win32::Win32Toolkit toolkit;
  MainDialog dialog{toolkit, files.Path("entities.txt")};
};

TEST_F(Win32Window, EveryControlIsBuiltFromItsLayoutRow) {
  const std::map<ControlKind, std::wstring> classes = {
      {ControlKind::PushButton, L"Button"}, {ControlKind::DefaultPushButton, L"Button"},
      {ControlKind::GroupBox, L"Button"},   {ControlKind::ListBox, L"ListBox"},
      {ControlKind::StaticText, L"Static"}, {ControlKind::BlackFrame, L"Static"}};
  HWND main = toolkit.Window();
  RECT client{};
  ::GetClientRect(main, &client);
  RECT designed{0, 0, kMainDialogLayout.width, kMainDialogLayout.height};
  ::MapDialogRect(main, &designed);
  EXPECT_EQ(client.right, designed.right);
  EXPECT_EQ(client.bottom, designed.bottom);
  for (const ControlLayout& row : kMainDialogControls) {
    SCOPED_TRACE("control " + std::to_string(row.id) + " " + std::string(row.label));
    HWND control = ::GetDlgItem(main, row.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), classes.at(row.kind).c_str()), 0);
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
    RECT expected{row.x, row.y, row.width, row.height};  // each converted on its own
    ::MapDialogRect(main, &expected);
    EXPECT_EQ(
        (std::array{place.left, place.top, place.right - place.left, place.bottom - place.top}),
        (std::array{expected.left, expected.top, expected.right, expected.bottom}));
    EXPECT_EQ(Text(row.id), row.label);
    EXPECT_EQ(toolkit.IsControlEnabled(row.id), row.enabled);
    EXPECT_EQ(toolkit.IsControlShown(row.id), row.shown);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, row.tabStop);
    if (row.kind == ControlKind::ListBox) {
      EXPECT_EQ(style & (LBS_NOTIFY | LBS_SORT | LBS_MULTIPLESEL), LBS_NOTIFY);
    }
  }
  EXPECT_EQ(::GetWindowLongPtrW(::GetDlgItem(main, ids::kDone), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  wchar_t about[64] = {};
  ::GetMenuStringW(::GetSystemMenu(main, FALSE), ids::kAboutCommand, about, 64, MF_BYCOMMAND);
  EXPECT_EQ(win32::WideToText(about), "&About Runebin...");
}

// The program's manifest is in force: the common controls of version 6 (loaded from the
// side-by-side store) and per-monitor DPI awareness.
TEST(Win32Program, TheManifestSelectsCommonControls6AndPerMonitorDpi) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
  EXPECT_NE(std::wstring(path).find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos)
      << win32::WideToText(path);
  EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
}

// The preview frame paints the picture fitted on white inside its black frame, in the picture's
// colours; without a picture it stays empty.
TEST_F(Win32Window, ThePreviewFramePaintsItsPicture) {
  auto picture = std::make_shared<DisplayList>();
  picture->vertices = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  Shape square;
  square.filled = true;
  square.colour = 0x0000FF;  // red, in the palette's byte order
  square.vertexCount = 4;
  picture->shapes = {square};
  picture->bounds.Include(0, 0);
  picture->bounds.Include(20, 10);  // the square fills the left half
  HWND frame = ::GetDlgItem(toolkit.Window(), ids::kPreview);
  RECT size{};
  ::GetClientRect(frame, &size);
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, ::CreateCompatibleBitmap(screen, size.right, size.bottom));
  const auto paint = [&] {
    ::SendMessageW(frame, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const int middle = size.bottom / 2;
    return std::array{::GetPixel(dc, 0, middle), ::GetPixel(dc, size.right / 4, middle),
                      ::GetPixel(dc, size.right * 3 / 4, middle)};
  };
  toolkit.SetPicture(ids::kPreview, picture, "a red square");
  EXPECT_EQ(paint(), (std::array{RGB(0, 0, 0), RGB(255, 0, 0), RGB(255, 255, 255)}));
  EXPECT_EQ(Text(ids::kPreview), "a red square");
  toolkit.SetPicture(ids::kPreview, nullptr, "");
  EXPECT_NE(paint()[2], RGB(255, 255, 255));
  ::DeleteObject(::SelectObject(dc, old));
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
}

// One run of the program played through the real windows: the file dialog cancelled, then with
// its read-only box ticked, then given a name without its extension; Escape and the close box
// ignored; About from the window menu; F2 on the list renames, the rename box limits its field,
// refuses a name outside Windows-1252 and hands back one inside it, which is shown in Windows-1252;
// the WMF Import box hands back what was typed; Done.
TEST_F(Win32Window, ACommandRunThroughTheRealControls) {
  files.Write("Landscape.pvx", Drawing({TypeZero(1), Definition("Tree"), Reference("Tree")}));
  const std::string catalog = files.Write("Catalog.pvs", Drawing({Definition("Bench")}));
  const std::string failure = RunScripted(
      toolkit.Window(), [&] { dialog.Run(); },
      [&](const WindowDriver& user) {
        user.WaitUntilShown();
        HWND main = user.Main();
        user.Press(main, ids::kOpenClose2);
        HWND cancelled = user.WaitForDialog(L"Open Korvel File 2");
        user.Press(cancelled, IDCANCEL);
        user.WaitUntilClosed(cancelled);
        EXPECT_EQ(Text(ids::kCaption2), "File 2");
        user.Press(main, ids::kOpenClose2);
        user.ChooseFile(L"Open Korvel File 2", catalog, true);
        EXPECT_TRUE(Text(ids::kCaption2).ends_with("Catalog.pvs [ro]"));
        user.Press(main, ids::kOpenClose1);
        user.ChooseFile(L"Open Korvel File 1", files.Path("Landscape"), false);
        EXPECT_TRUE(Text(ids::kCaption1).ends_with("Landscape.pvx"));

        ::PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
        ::PostMessageW(main, WM_SYSCOMMAND, ids::kAboutCommand, 0);
        HWND about = user.WaitForDialog(L"About Runebin");
        EXPECT_TRUE(::IsWindowVisible(main));
        ::PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
        user.WaitUntilClosed(about);

        user.Select(main, ids::kList1, 0);
        ::PostMessageW(::GetDlgItem(main, ids::kList1), WM_KEYDOWN, VK_F2, 0);
        HWND rename = user.WaitForDialog(L"Rename");
        EXPECT_EQ(user.Text(rename, ids::kRenameOldName), "Tree");
        EXPECT_EQ(::SendDlgItemMessageW(rename, ids::kRenameNewName, EM_GETLIMITTEXT, 0, 0), 31);
        user.SetText(rename, ids::kRenameNewName, "\xE6\x97\xA5");  // not in Windows-1252
        user.Press(rename, IDOK);
        HWND refusal = user.WaitForDialog(L"Runebin");
        user.Press(refusal, IDOK);
        user.WaitUntilClosed(refusal);
        EXPECT_TRUE(::IsWindowVisible(rename));
        const std::string linde = "Linde \xC3\xA9t\xC3\xA9";  // "Linde été"
        user.SetText(rename, ids::kRenameNewName, linde);
        user.Press(rename, IDOK);
        user.WaitUntilClosed(rename);
        HWND report = user.WaitForDialog(L"Runebin");
        EXPECT_EQ(user.MessageText(report),
                  "1 references renamed from\n\"Tree\" to\n\"" + linde + "\".");
        user.Press(report, IDOK);
        user.WaitUntilClosed(report);
        EXPECT_EQ(ListLine(main, ids::kList1, 0), linde);

        user.Press(main, ids::kImport1);
        user.ChooseFile(L"Import WMF File as Symbol", RUNEBIN_WMF_CORPUS "/wmfjs-ellipse.wmf",
                        false);
        HWND import = user.WaitForDialog(L"WMF Import");
        EXPECT_EQ(user.Text(import, ids::kImportMaxSize), "100");
        user.SetText(import, ids::kImportName, "Ellipse");
        user.SetText(import, ids::kImportMaxSize, "25");
        user.Press(import, IDOK);
        user.WaitUntilClosed(import);
        EXPECT_EQ(ListLine(main, ids::kList1, 1), "Ellipse");
        EXPECT_EQ(dialog.LastMaxSize(), 25.0F);
        user.Press(main, ids::kDone);
      });
  EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace runebin
