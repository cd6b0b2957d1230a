#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace runebin::testing {

// Plays the user of the Win32 window program from a second thread, with the messages the
// controls themselves send: BM_CLICK on buttons, LB_SETCURSEL with the list's LBN_SELCHANGE,
// WM_SETTEXT on edit boxes. Clicks and notifications are posted, as the user's input is, so that
// modal loops run as they do for a user. Every step returns once the window's thread has handled
// it (or has entered the modal loop it opened). Failures throw DriverError.
class WindowDriver {
 public:
  // `uiThread` runs the window program; `main` is its main window; `marker` is a window of that
  // thread that sets `handled` when it receives WM_APP.
  WindowDriver(DWORD uiThread, HWND main, HWND marker, HANDLE handled)
      : uiThread_(uiThread), main_(main), marker_(marker), handled_(handled) {}

  HWND Main() const { return main_; }

  // The visible dialog of the window's thread titled `title`, other than the main window, once
  // it appears (throws after a few seconds without one).
  HWND WaitForDialog(const std::wstring& title) const;
  // Waits until the main window is on screen and its loop is running.
  void WaitUntilShown() const;
  // Waits until `dialog` has gone.
  void WaitUntilClosed(HWND dialog) const;

  void Press(HWND dialog, int id) const;
  void Select(HWND dialog, int listId, int index) const;
  void SetText(HWND dialog, int id, const std::string& utf8) const;
  std::string Text(HWND dialog, int id) const;
  // The texts of a message box's static controls, joined by line breaks.
  std::string MessageText(HWND box) const;
  // Answers the open-file dialog titled `title` with `path`, ticking its read-only box if asked.
  void ChooseFile(const std::wstring& title, const std::string& path, bool readOnly) const;

  // Waits until the window's thread has handled everything posted to it so far.
  void Sync() const;

  // The titles and texts of the dialogs open over the main window, for failure reports.
  std::string OpenDialogTexts() const;
  // Gets the window program out of whatever it shows: cancels its dialogs, and Done.
  void Abandon() const;

 private:
  // The visible dialogs of the window's thread, the main window among them.
  std::vector<HWND> Dialogs() const;

  DWORD uiThread_;
  HWND main_;
  HWND marker_;
  HANDLE handled_;
};

struct DriverError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The window class of `window`: "Button", "#32770" (a dialog) and so on.
std::wstring ClassOf(HWND window);

// Runs `program` (which runs the window's modal loop) on this thread while `script` drives it
// from another. If the script fails, the window is abandoned so that `program` returns; the
// result is then the failure's text, else empty.
std::string RunScripted(HWND main, const std::function<void()>& program,
                        const std::function<void(const WindowDriver&)>& script);

}  // namespace runebin::testing
