#pragma once

#include "resources/ControlIds.h"
#include "resources/DialogLayout.h"
#include "resources/RenameDialogLayout.h"

namespace runebin {

// Dialog template 130, "WMF Import": the new symbol's name and the maximum size it is scaled to.
// The name edit box is the first tab stop, so it has the focus when the dialog opens.
inline constexpr ControlLayout kWmfImportDialogControls[] = {
    // id, kind, label, x, y, width, height, enabled, shown, tab stop, text limit
    {kNoControlId, ControlKind::StaticText, "Name:", 17, 10, 22, 8, true, true, false},
    {ids::kImportName, ControlKind::EditBox, "", 43, 7, 86, 14, true, true, true,
     kMaxSymbolNameChars},
    {kNoControlId, ControlKind::StaticText, "Max Size:", 7, 31, 32, 8, true, true, false},
    {ids::kImportMaxSize, ControlKind::EditBox, "", 43, 28, 49, 14, true, true, true},
    {ids::kDone, ControlKind::DefaultPushButton, "OK", 146, 7, 50, 14, true, true, true},
    {ids::kCancel, ControlKind::PushButton, "Cancel", 146, 24, 50, 14, true, true, true},
};

inline constexpr int kWmfImportDialogTemplate = 130;
inline constexpr DialogLayout kWmfImportDialogLayout{
    "WMF Import", 208, 50, "MS Sans Serif", 8, kWmfImportDialogControls};

}  // namespace runebin
