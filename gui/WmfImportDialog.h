#pragma once

#include <QIcon>

#include "app/Toolkit.h"
#include "gui/LayoutDialog.h"

namespace runebin::gui {

// The WMF Import dialog: the new symbol's name (at most 31 characters) and the Max Size it is
// scaled to. OK checks Max Size first, then the name, with the program's shared checks.
class WmfImportDialog : public LayoutDialog {
  Q_OBJECT

 public:
  // Fills the fields from `data`, which must outlive the dialog; OK stores them back.
  WmfImportDialog(QWidget* parent, const QIcon& icon, WmfImportDialogData& data);

 protected:
  std::optional<FieldProblem> Validate() override;

 private:
  WmfImportDialogData& data_;
};

// Runs the WMF Import dialog modally over `parent`; true when it ended with OK.
bool RunWmfImportDialog(QWidget* parent, const QIcon& icon, WmfImportDialogData& data);

}  // namespace runebin::gui
