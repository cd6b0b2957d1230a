#pragma once

#include <QIcon>

#include "app/Toolkit.h"
#include "gui/LayoutDialog.h"

namespace runebin::gui {

// The Rename dialog: the old name as a static text and the new name in an edit box that has the
// focus when the dialog opens and takes at most 31 characters typed or pasted (a longer name
// already there stays whole, and OK refuses it until it is shortened).
class RenameDialog : public LayoutDialog {
  Q_OBJECT

 public:
  // Shows `data.m_oldName` and puts `data.m_newName` in the edit box. `data` must outlive the
  // dialog; OK stores the edit box's text in data.m_newName.
  RenameDialog(QWidget* parent, const QIcon& icon, RenameDialogData& data);

 protected:
  std::optional<FieldProblem> Validate() override;

 private:
  RenameDialogData& data_;
};

// Runs the Rename dialog modally over `parent`; true when it ended with OK.
bool RunRenameDialog(QWidget* parent, const QIcon& icon, RenameDialogData& data);

}  // namespace runebin::gui
