#include "gui/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QToolTip>

#include "resources/ControlIds.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace runebin::gui {

MainWindow::MainWindow(const DialogLayout& layout, const QIcon& icon, const QString& aboutItemText)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      form_(*this, layout, icon) {
  setModal(true);
  ConnectControls();
  if (!aboutItemText.isEmpty()) {
    AddAboutItem(aboutItemText);
  }
}

QListWidget* MainWindow::List(int id) const {
  return qobject_cast<QListWidget*>(form_.Control(id));
}

void MainWindow::ConnectControls() {
  for (const LayoutForm::Entry& entry : form_.Controls()) {
    const int id = entry.layout->id;
    if (id == kNoControlId) {
      continue;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(entry.widget)) {
      connect(button, &QAbstractButton::clicked, this, [this, id] { SendCommand(id); });
    } else if (auto* list = qobject_cast<QListWidget*>(entry.widget)) {
      // The program's own selection changes are made with the list's signals blocked, so this
      // reports the user's changes only, by mouse and keyboard alike.
      connect(list, &QListWidget::itemSelectionChanged, this,
              [this, id] { SendSelectionChange(id); });
      list->installEventFilter(this);
      list->viewport()->installEventFilter(this);
    }
  }
}

void MainWindow::AddAboutItem(const QString& text) {
#ifdef Q_OS_WIN
  // The system menu exists once the native window does.
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  if (menu != nullptr) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ids::kAboutCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
    return;
  }
#endif
  aboutAction_ = new QAction(text, this);
  connect(aboutAction_, &QAction::triggered, this, [this] { SendCommand(ids::kAboutCommand); });
  addAction(aboutAction_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MainWindow::FocusFirstTabStop() {
  if (QWidget* first = form_.FirstTabStop()) {
    first->setFocus(Qt::OtherFocusReason);
  }
}

void MainWindow::End() {
  QDialog::done(QDialog::Accepted);
}

void MainWindow::reject() {}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  QListWidget* list1 = List(ids::kList1);
  QListWidget* list2 = List(ids::kList2);
  if (event->type() == QEvent::KeyPress && (watched == list1 || watched == list2)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete || key == Qt::Key_F2) {
      const bool first = watched == list1;
      PressIfEnabled(key == Qt::Key_Delete ? (first ? ids::kDelete1 : ids::kDelete2)
                                           : (first ? ids::kRename1 : ids::kRename2));
      return true;
    }
  }
  // A name wider than the list is cut off on screen; its tool tip shows it whole.
  auto* list = qobject_cast<QListWidget*>(watched->parent());
  if (event->type() == QEvent::ToolTip && list != nullptr && (list == list1 || list == list2)) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const QListWidgetItem* item = list->itemAt(help->pos())) {
      QToolTip::showText(help->globalPos(), item->text(), list->viewport());
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

#ifdef Q_OS_WIN
bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const auto* msg = static_cast<const MSG*>(message);
  // The low four bits of a system command are the system's own.
  if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == ids::kAboutCommand) {
    SendCommand(ids::kAboutCommand);
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}
#endif

void MainWindow::SendCommand(int id) {
  if (events_ != nullptr) {
    events_->OnCommand(id);
  }
}

void MainWindow::PressIfEnabled(int id) {
  const QWidget* button = Control(id);
  if (button != nullptr && button->isEnabled() && button->isVisible()) {
    SendCommand(id);
  }
}

void MainWindow::SendSelectionChange(int id) {
  if (events_ != nullptr) {
    events_->OnSelectionChange(id);
  }
}

}  // namespace runebin::gui
