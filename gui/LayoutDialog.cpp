#include "gui/LayoutDialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "gui/MessageBoxes.h"
#include "gui/WindowText.h"
#include "resources/ControlIds.h"

namespace runebin::gui {

LayoutDialog::LayoutDialog(QWidget* parent, const DialogLayout& layout, const QIcon& icon)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      form_(*this, layout, icon) {
  setModal(true);
  if (auto* ok = qobject_cast<QPushButton*>(form_.Control(ids::kDone))) {
    connect(ok, &QPushButton::clicked, this, &LayoutDialog::OnOk);
  }
  if (auto* cancel = qobject_cast<QPushButton*>(form_.Control(ids::kCancel))) {
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }
  if (QWidget* first = form_.FirstTabStop()) {
    first->setFocus(Qt::OtherFocusReason);
  }
}

QLineEdit* LayoutDialog::Edit(int id) const {
  return qobject_cast<QLineEdit*>(form_.Control(id));
}

void LayoutDialog::OnOk() {
  const std::optional<FieldProblem> problem = Validate();
  if (!problem) {
    accept();
    return;
  }
  ShowWarningMessage(this, TextToQt(problem->message), MessageKind::Ok);
  if (QWidget* field = form_.Control(problem->controlId)) {
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      edit->selectAll();
    }
  }
}

}  // namespace runebin::gui
