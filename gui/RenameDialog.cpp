#include "gui/RenameDialog.h"

#include <QLabel>
#include <QLineEdit>

#include "gui/WindowText.h"
#include "resources/ControlIds.h"
#include "resources/RenameDialogLayout.h"

namespace runebin::gui {

RenameDialog::RenameDialog(QWidget* parent, const QIcon& icon, RenameDialogData& data)
    : LayoutDialog(parent, kRenameDialogLayout, icon), data_(data) {
  if (auto* oldName = qobject_cast<QLabel*>(Control(ids::kRenameOldName))) {
    oldName->setText(NameToQt(data.m_oldName));
  }
  if (QLineEdit* newName = Edit(ids::kRenameNewName)) {
    SetLimitedText(newName, NameToQt(data.m_newName));
    newName->selectAll();
  }
}

std::optional<FieldProblem> RenameDialog::Validate() {
  const QLineEdit* newName = Edit(ids::kRenameNewName);
  return ValidateRenameDialog(newName != nullptr ? NameFromQt(newName->text()) : std::string(),
                              data_);
}

bool RunRenameDialog(QWidget* parent, const QIcon& icon, RenameDialogData& data) {
  RenameDialog dialog(parent, icon, data);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace runebin::gui
