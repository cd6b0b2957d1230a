#include "gui/RenameDialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

#include "gui/WindowText.h"
#include "resources/ControlIds.h"
#include "resources/RenameDialogLayout.h"

namespace runebin::gui {

RenameDialog::RenameDialog(QWidget* parent, const QIcon& icon, RenameDialogData& data)
    : LayoutDialog(parent, kRenameDialogLayout, icon), data_(data) {
  if (auto* oldName = qobject_cast<QLabel*>(Control(ids::kRenameOldName))) {
    // One line: a name too wide for it is shortened on screen, and kept whole in the tool tip
    // and for assistive tools.
    const QString name = NameToQt(data.m_oldName);
    const QString shown =
        QFontMetrics(oldName->font()).elidedText(name, Qt::ElideRight, oldName->width());
    oldName->setWordWrap(false);
    oldName->setText(shown);
    oldName->setAccessibleName(name);
    oldName->setToolTip(shown == name ? QString() : name);
  }
  if (QLineEdit* newName = Edit(ids::kRenameNewName)) {
    SetLimitedText(newName, NameToQt(data.m_newName));
    newName->selectAll();
  }
}

std::optional<FieldProblem> RenameDialog::Validate() {
  const QLineEdit* newName = Edit(ids::kRenameNewName);
  return ValidateRenameDialog(newName != nullptr ? TextFromQt(newName->text()) : std::string(),
                              data_);
}

bool RunRenameDialog(QWidget* parent, const QIcon& icon, RenameDialogData& data) {
  RenameDialog dialog(parent, icon, data);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace runebin::gui
