#pragma once

#include <QDialog>
#include <QIcon>
#include <optional>

#include "app/DialogValidation.h"
#include "gui/LayoutForm.h"

class QLineEdit;

namespace runebin::gui {

// A small modal dialog built from its layout table, with OK (id 1) and, where the layout has
// one, Cancel (id 2). OK asks Validate(); a refusal is shown in a message box and the offending
// field gets the focus with its text selected, and the dialog stays open. Escape and the close
// box cancel.
class LayoutDialog : public QDialog {
  Q_OBJECT

 public:
  LayoutDialog(QWidget* parent, const DialogLayout& layout, const QIcon& icon);

  const LayoutForm& Form() const { return form_; }
  QWidget* Control(int id) const { return form_.Control(id); }
  QLineEdit* Edit(int id) const;

 protected:
  // Checks the fields and takes their values; nothing means OK may close the dialog.
  virtual std::optional<FieldProblem> Validate() { return std::nullopt; }

 private:
  void OnOk();

  LayoutForm form_;
};

}  // namespace runebin::gui
