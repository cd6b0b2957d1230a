#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "app/Toolkit.h"
#include "render/DisplayList.h"

namespace runebin::win32 {

// The toolkit of the window program on Windows: the main window is a dialog built at run time
// from its layout table (created hidden at construction, shown by RunMainWindow), with standard
// message boxes, the common open-file dialog and the small dialogs built the same way.
//
// Runs on the thread that constructs it. Controls are addressed by the ids of the main layout;
// an id the window lacks is ignored (reads give false, 0, -1 or empty text). List selections
// made through this interface never reach WindowEvents; the user's do.
class Win32Toolkit : public Toolkit {
 public:
  Win32Toolkit();
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  void EnableControl(int id, bool enabled) override;
  bool IsControlEnabled(int id) const override;
  void ShowControl(int id, bool shown) override;
  bool IsControlShown(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  std::string GetControlText(int id) const override;

  void ListReset(int id) override;
  void ListSetLines(int id, const std::vector<std::string>& lines) override;
  int ListCount(int id) const override;
  int ListGetSelection(int id) const override;
  void ListSetSelection(int id, int index) override;
  void SetPicture(int id, std::shared_ptr<const DisplayList> picture,
                  const std::string& description) override;

  Answer ShowMessage(const std::string& text, MessageKind kind) override;
  std::optional<OpenFileChoice> ChooseFileToOpen(const OpenFileRequest& request) override;
  bool RunRenameDialog(RenameDialogData& data) override;
  bool RunWmfImportDialog(WmfImportDialogData& data) override;
  void RunAboutBox() override;

  void RunMainWindow(WindowEvents& events) override;
  void EndMainWindow() override;

  // The main window, for the program's screenshots and for tests.
  HWND Window() const { return window_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit();
  void OnControlCommand(int id, int code);
  // Delete and F2 in a symbol list press that pane's Delete and Rename, when they are enabled.
  bool HandleListKey(const MSG& message);
  void DrawPreview(const DRAWITEMSTRUCT& item) const;
  void ShowGroupCaption(HWND box, const std::wstring& caption);
  HWND Control(int id) const;
  // The owner of message boxes and dialogs: the main window while it is on screen.
  HWND DialogOwner() const;

  HWND window_ = nullptr;
  WindowEvents* events_ = nullptr;
  bool running_ = false;
  // Group-box captions as set: the box shows a shortened copy when the whole does not fit.
  std::map<int, std::wstring> captions_;
  std::map<int, std::shared_ptr<const DisplayList>> pictures_;
};

}  // namespace runebin::win32
