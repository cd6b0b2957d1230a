#pragma once

#include <QIcon>
#include <QString>
#include <memory>

#include "app/Toolkit.h"

class QListWidget;
class QWidget;

namespace runebin::gui {

class MainWindow;

// The toolkit of the window program, made of Qt Widgets: the main window built from its layout
// table (created at construction, shown by RunMainWindow), standard message boxes, Qt's own
// file dialog with a read-only check box, and the Rename, WMF Import and about dialogs built
// from their layout tables.
//
// Needs a QApplication that outlives it. Controls are addressed by the ids of the main layout;
// an id the layout lacks is ignored (reads give false, 0, -1 or empty text). List selections
// made through this interface never reach WindowEvents; the user's do.
class QtToolkit : public Toolkit {
 public:
  QtToolkit();
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

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

  // The real widgets, for the program's screenshots and for tests.
  MainWindow& Window() { return *window_; }
  const MainWindow& Window() const { return *window_; }

 private:
  QWidget* Control(int id) const;
  QListWidget* List(int id) const;
  // The owner of message boxes and dialogs: the main window while it is on screen.
  QWidget* DialogParent() const;

  QIcon icon_;
  std::unique_ptr<MainWindow> window_;
  QString fileDialogFolder_;  // where the next file dialog starts: the last folder chosen
};

}  // namespace runebin::gui
