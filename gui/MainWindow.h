#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

#include "app/Toolkit.h"
#include "gui/LayoutForm.h"

class QAction;
class QListWidget;

namespace runebin::gui {

// The main window: a fixed-size dialog built from the main layout table, which turns button
// presses and the user's list selections into WindowEvents. Requests to close it (Escape, the
// close box, the window manager) are ignored: only End() ends its modal loop. In a symbol list,
// Delete presses the pane's Delete and F2 its Rename (when enabled), and each line shows its
// whole name as a tool tip.
//
// The About item (command kAboutCommand) goes into the window's system menu on Windows and into
// the window's context menu elsewhere; it is left out when `aboutItemText` is empty.
class MainWindow : public QDialog {
  Q_OBJECT

 public:
  MainWindow(const DialogLayout& layout, const QIcon& icon, const QString& aboutItemText);

  const LayoutForm& Form() const { return form_; }
  QWidget* Control(int id) const { return form_.Control(id); }
  QListWidget* List(int id) const;
  // The About item of the context menu; null where the system menu carries it instead.
  QAction* AboutAction() const { return aboutAction_; }

  // Where events go while the modal loop runs; null drops them. Not owned.
  void SetEventSink(WindowEvents* events) { events_ = events; }
  // Gives the focus to the first tab stop, File 1's "Open...".
  void FocusFirstTabStop();
  // Ends the modal loop.
  void End();

 public slots:
  // Escape and every other cancel request land here and are ignored.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  void ConnectControls();
  void AddAboutItem(const QString& text);
  void SendCommand(int id);
  void PressIfEnabled(int id);
  void SendSelectionChange(int id);

  LayoutForm form_;
  WindowEvents* events_ = nullptr;
  QAction* aboutAction_ = nullptr;
};

}  // namespace runebin::gui
