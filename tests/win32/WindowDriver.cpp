#include "tests/win32/WindowDriver.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "gui/win32/WideText.h"

namespace runebin::testing {

namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 10s;

// Ids of the common open-file dialog's controls.
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kReadOnlyBox = 0x410;    // chx1

std::wstring WindowTextOf(HWND window) {
  wchar_t buffer[4096] = {};
  ::SendMessageW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

BOOL CALLBACK CollectDialogs(HWND window, LPARAM context) {
  if (::IsWindowVisible(window) && ClassOf(window) == L"#32770") {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticTexts(HWND window, LPARAM context) {
  if (ClassOf(window) == L"Static") {
    const std::wstring text = WindowTextOf(window);
    if (!text.empty()) {
      auto* texts = reinterpret_cast<std::wstring*>(context);
      *texts += (texts->empty() ? L"" : L"\n") + text;
    }
  }
  return TRUE;
}

HWND Child(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  if (control == nullptr) {
    throw DriverError("no control " + std::to_string(id));
  }
  return control;
}

}  // namespace

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  ::GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
  return buffer;
}

std::vector<HWND> WindowDriver::Dialogs() const {
  std::vector<HWND> dialogs;
  ::EnumThreadWindows(uiThread_, CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

// Polls `done` until it holds, or throws "`what`" after a few seconds.
template <typename Condition>
void WaitFor(const Condition& done, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw DriverError(what);
    }
    std::this_thread::sleep_for(20ms);
  }
}

HWND WindowDriver::WaitForDialog(const std::wstring& title) const {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND dialog : Dialogs()) {
          found = dialog != main_ && WindowTextOf(dialog) == title ? dialog : found;
        }
        return found != nullptr;
      },
      "no dialog titled \"" + win32::WideToText(title) + "\" appeared");
  return found;
}

void WindowDriver::WaitUntilShown() const {
  WaitFor([&] { return ::IsWindowVisible(main_) != FALSE; }, "the main window did not appear");
  Sync();
}

void WindowDriver::WaitUntilClosed(HWND dialog) const {
  WaitFor([&] { return !::IsWindowVisible(dialog); }, "a dialog stayed open");
}

void WindowDriver::Sync() const {
  // Posted messages are handled in order, by whichever loop runs: once the marker's arrives,
  // everything posted before it has been handled. Once Done has ended the main window, nothing
  // is handled any more.
  ::ResetEvent(handled_);
  ::PostMessageW(marker_, WM_APP, 0, 0);
  WaitFor(
      [&] {
        return ::WaitForSingleObject(handled_, 0) == WAIT_OBJECT_0 || !::IsWindowVisible(main_);
      },
      "the window does not respond");
}

void WindowDriver::Press(HWND dialog, int id) const {
  ::PostMessageW(Child(dialog, id), BM_CLICK, 0, 0);
  Sync();
}

void WindowDriver::Select(HWND dialog, int listId, int index) const {
  HWND list = Child(dialog, listId);
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  Sync();
}

void WindowDriver::SetText(HWND dialog, int id, const std::string& utf8) const {
  const std::wstring text = win32::TextToWide(utf8);
  ::SendMessageW(Child(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string WindowDriver::Text(HWND dialog, int id) const {
  return win32::WideToText(WindowTextOf(Child(dialog, id)));
}

std::string WindowDriver::MessageText(HWND box) const {
  std::wstring texts;
  ::EnumChildWindows(box, CollectStaticTexts, reinterpret_cast<LPARAM>(&texts));
  return win32::WideToText(texts);
}

void WindowDriver::ChooseFile(const std::wstring& title, const std::string& path,
                              bool readOnly) const {
  HWND dialog = WaitForDialog(title);
  // A path of the Unix side (the tests' data under Wine) is found on Wine's drive Z:.
  std::string windowsPath = path.starts_with('/') ? "Z:" + path : path;
  for (char& c : windowsPath) {
    c = c == '/' ? '\\' : c;
  }
  const int nameId =
      ::GetDlgItem(dialog, kFileNameEdit) != nullptr ? kFileNameEdit : kFileNameCombo;
  SetText(dialog, nameId, windowsPath);
  if (readOnly) {
    ::SendMessageW(Child(dialog, kReadOnlyBox), BM_SETCHECK, BST_CHECKED, 0);
  }
  Press(dialog, IDOK);
  WaitUntilClosed(dialog);
}

std::string WindowDriver::OpenDialogTexts() const {
  std::string texts;
  for (HWND dialog : Dialogs()) {
    if (dialog != main_) {
      texts += "[" + win32::WideToText(WindowTextOf(dialog)) + ": " + MessageText(dialog) + "]";
    }
  }
  return texts;
}

void WindowDriver::Abandon() const {
  for (HWND dialog : Dialogs()) {
    ::PostMessageW(dialog, WM_COMMAND, dialog == main_ ? IDOK : IDCANCEL, 0);
  }
}

LRESULT CALLBACK MarkerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    ::SetEvent(reinterpret_cast<HANDLE>(::GetWindowLongPtrW(window, GWLP_USERDATA)));
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

std::string RunScripted(HWND main, const std::function<void()>& program,
                        const std::function<void(const WindowDriver&)>& script) {
  static const ATOM markerClass = [] {
    WNDCLASSW marker{};
    marker.lpfnWndProc = MarkerProc;
    marker.hInstance = ::GetModuleHandleW(nullptr);
    marker.lpszClassName = L"RunebinDriverMarker";
    return ::RegisterClassW(&marker);
  }();
  HWND marker = ::CreateWindowExW(0, MAKEINTATOM(markerClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
  HANDLE handled = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetWindowLongPtrW(marker, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handled));
  const WindowDriver driver(::GetCurrentThreadId(), main, marker, handled);
  std::string failure;
  std::atomic<bool> ended = false;
  std::thread user([&] {
    try {
      script(driver);
      // The script has ended the program; a box it did not expect would hold it open.
      WaitFor([&] { return ended.load(); }, "the program did not end");
    } catch (const std::exception& error) {
      failure = error.what() + (" " + driver.OpenDialogTexts());
      driver.Abandon();
    }
  });
  program();
  ended = true;
  user.join();
  ::DestroyWindow(marker);
  ::CloseHandle(handled);
  return failure;
}

}  // namespace runebin::testing
