#include "gui/QtToolkit.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <QStringList>

#include "gui/AboutBox.h"
#include "gui/ApplicationIcon.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxes.h"
#include "gui/OpenFileDialog.h"
#include "gui/PreviewFrame.h"
#include "gui/RenameDialog.h"
#include "gui/WindowText.h"
#include "gui/WmfImportDialog.h"
#include "resources/MainDialogLayout.h"
#include "resources/StringTable.h"

namespace runebin::gui {

QtToolkit::QtToolkit()
    : icon_(ApplicationIcon()),
      window_(std::make_unique<MainWindow>(kMainDialogLayout, icon_,
                                           TextToQt(LoadResourceString(kIdsAboutBox)))) {}

QtToolkit::~QtToolkit() = default;

QWidget* QtToolkit::Control(int id) const {
  return window_->Control(id);
}

QListWidget* QtToolkit::List(int id) const {
  return window_->List(id);
}

QWidget* QtToolkit::DialogParent() const {
  return window_->isVisible() ? window_.get() : nullptr;
}

void QtToolkit::EnableControl(int id, bool enabled) {
  if (QWidget* control = Control(id)) {
    control->setEnabled(enabled);
  }
}

void QtToolkit::SetPicture(int id, std::shared_ptr<const DisplayList> picture,
                           const std::string& description) {
  if (auto* frame = dynamic_cast<PreviewFrame*>(Control(id))) {
    frame->SetPicture(std::move(picture), TextToQt(description));
  }
}

bool QtToolkit::IsControlEnabled(int id) const {
  const QWidget* control = Control(id);
  return control != nullptr && control->isEnabled();
}

void QtToolkit::ShowControl(int id, bool shown) {
  if (QWidget* control = Control(id)) {
    control->setVisible(shown);
  }
}

bool QtToolkit::IsControlShown(int id) const {
  // Hidden by the program, as opposed to not on screen yet because the window is not.
  const QWidget* control = Control(id);
  return control != nullptr && !control->isHidden();
}

void QtToolkit::SetControlText(int id, const std::string& text) {
  if (QWidget* control = Control(id)) {
    SetControlLabel(control, TextToQt(text));
  }
}

std::string QtToolkit::GetControlText(int id) const {
  const QWidget* control = Control(id);
  if (control == nullptr) {
    return {};
  }
  const QString label = ControlLabel(control);
  const QByteArray utf8 = label.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void QtToolkit::ListReset(int id) {
  if (QListWidget* list = List(id)) {
    const QSignalBlocker programChange(list);
    list->clear();
  }
}

void QtToolkit::ListSetLines(int id, const std::vector<std::string>& lines) {
  QListWidget* list = List(id);
  if (list == nullptr) {
    return;
  }
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) {
    texts.append(NameToQt(line));
  }
  const QSignalBlocker programChange(list);
  list->setUpdatesEnabled(false);
  list->clear();
  list->addItems(texts);
  list->setUpdatesEnabled(true);
}

int QtToolkit::ListCount(int id) const {
  const QListWidget* list = List(id);
  return list == nullptr ? 0 : list->count();
}

int QtToolkit::ListGetSelection(int id) const {
  const QListWidget* list = List(id);
  if (list == nullptr) {
    return -1;
  }
  const QModelIndexList selected = list->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void QtToolkit::ListSetSelection(int id, int index) {
  QListWidget* list = List(id);
  if (list == nullptr) {
    return;
  }
  const QSignalBlocker programChange(list);
  if (index < 0 || index >= list->count()) {
    list->clearSelection();  // -1, like any index past the end, leaves no line selected
    return;
  }
  list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  list->scrollToItem(list->item(index));
}

Answer QtToolkit::ShowMessage(const std::string& text, MessageKind kind) {
  return ShowWarningMessage(DialogParent(), TextToQt(text), kind);
}

std::optional<OpenFileChoice> QtToolkit::ChooseFileToOpen(const OpenFileRequest& request) {
  return RunOpenFileDialog(DialogParent(), request, fileDialogFolder_);
}

bool QtToolkit::RunRenameDialog(RenameDialogData& data) {
  return gui::RunRenameDialog(DialogParent(), icon_, data);
}

bool QtToolkit::RunWmfImportDialog(WmfImportDialogData& data) {
  return gui::RunWmfImportDialog(DialogParent(), icon_, data);
}

void QtToolkit::RunAboutBox() {
  gui::RunAboutBox(DialogParent(), icon_);
}

void QtToolkit::RunMainWindow(WindowEvents& events) {
  window_->SetEventSink(&events);
  window_->FocusFirstTabStop();
  window_->exec();
  window_->SetEventSink(nullptr);
}

void QtToolkit::EndMainWindow() {
  window_->End();
}

}  // namespace runebin::gui
