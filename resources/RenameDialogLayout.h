#pragma once

#include "resources/ControlIds.h"
#include "resources/DialogLayout.h"

namespace runebin {

// Longest symbol name the dialogs accept: the name field of a record holds 31 bytes and a zero.
inline constexpr int kMaxSymbolNameChars = 31;

// Dialog template 129, "Rename": the old name as a static text, the new name in an edit box that
// has the focus when the dialog opens. Rows are in template order.
inline constexpr ControlLayout kRenameDialogControls[] = {
    // id, kind, label, x, y, width, height, enabled, shown, tab stop, text limit
    {kNoControlId, ControlKind::StaticText, "Old Name:", 11, 7, 34, 8, true, true, false},
    {ids::kRenameOldName, ControlKind::StaticText, "", 48, 7, 80, 8, true, true, false},
    {kNoControlId, ControlKind::StaticText, "New Name:", 7, 27, 38, 8, true, true, false},
    {ids::kRenameNewName, ControlKind::EditBox, "", 48, 24, 80, 14, true, true, true,
     kMaxSymbolNameChars},
    {ids::kDone, ControlKind::DefaultPushButton, "OK", 139, 7, 50, 14, true, true, true},
    {ids::kCancel, ControlKind::PushButton, "Cancel", 139, 24, 50, 14, true, true, true},
};

inline constexpr int kRenameDialogTemplate = 129;
inline constexpr DialogLayout kRenameDialogLayout{"Rename",        196, 46,
                                                  "MS Sans Serif", 8,   kRenameDialogControls};

}  // namespace runebin
