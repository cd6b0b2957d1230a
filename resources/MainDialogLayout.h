#pragma once

#include "resources/ControlIds.h"
#include "resources/DialogLayout.h"

namespace runebin {

// The main window: File 1 on the left, File 2 on the right, the Copy button, an empty frame, the
// details text and Done between them. Rows are in tab order.
inline constexpr ControlLayout kMainDialogControls[] = {
    // id, kind, label, x, y, width, height, enabled, shown, tab stop
    {ids::kCaption1, ControlKind::GroupBox, "File 1", 7, 7, 138, 215, true, true, false},
    {ids::kOpenClose1, ControlKind::PushButton, "Open...", 15, 19, 50, 14, true, true, true},
    {ids::kImport1, ControlKind::PushButton, "Import...", 65, 19, 50, 14, false, true, true},
    {ids::kList1, ControlKind::ListBox, "", 15, 34, 100, 136, true, true, true},
    {ids::kUp1, ControlKind::PushButton, "Up", 117, 62, 20, 14, false, true, true},
    {ids::kDn1, ControlKind::PushButton, "Dn", 117, 111, 20, 14, false, true, true},
    {ids::kSort1, ControlKind::PushButton, "Sort", 16, 172, 50, 14, false, true, true},
    {ids::kDelete1, ControlKind::PushButton, "Delete", 66, 172, 50, 14, false, true, true},
    {ids::kRename1, ControlKind::PushButton, "Rename", 16, 187, 50, 14, false, true, true},
    {ids::kScaleAll1, ControlKind::PushButton, "Scale All", 66, 187, 50, 14, false, false, true},
    {ids::kXUnused1, ControlKind::PushButton, "X Unused", 16, 201, 50, 14, false, true, true},
    {ids::kRefPage1, ControlKind::PushButton, "Ref Page", 66, 201, 50, 14, false, false, true},
    {ids::kCopy, ControlKind::PushButton, "Copy", 164, 19, 60, 14, false, true, true},
    {ids::kPreview, ControlKind::BlackFrame, "", 153, 40, 81, 77, true, true, false},
    {ids::kDetails, ControlKind::StaticText, "", 154, 124, 81, 75, true, true, false},
    {ids::kDone, ControlKind::DefaultPushButton, "Done", 168, 207, 50, 14, true, true, true},
    {ids::kCaption2, ControlKind::GroupBox, "File 2", 243, 7, 138, 215, true, true, false},
    {ids::kOpenClose2, ControlKind::PushButton, "Open...", 252, 19, 50, 14, true, true, true},
    // File 2's Import starts enabled; from the first time File 2's buttons are computed it
    // follows the same rule as File 1's.
    {ids::kImport2, ControlKind::PushButton, "Import...", 302, 19, 50, 14, true, true, true},
    {ids::kList2, ControlKind::ListBox, "", 251, 34, 100, 136, true, true, true},
    {ids::kUp2, ControlKind::PushButton, "Up", 353, 62, 20, 14, false, true, true},
    {ids::kDn2, ControlKind::PushButton, "Dn", 353, 111, 20, 14, false, true, true},
    {ids::kSort2, ControlKind::PushButton, "Sort", 252, 172, 50, 14, false, true, true},
    {ids::kDelete2, ControlKind::PushButton, "Delete", 302, 172, 50, 14, false, true, true},
    {ids::kRename2, ControlKind::PushButton, "Rename", 252, 187, 50, 14, false, true, true},
    {ids::kScaleAll2, ControlKind::PushButton, "Scale All", 302, 187, 50, 14, false, false, true},
    {ids::kXUnused2, ControlKind::PushButton, "X Unused", 252, 201, 50, 14, false, true, true},
    {ids::kRefPage2, ControlKind::PushButton, "Ref Page", 302, 201, 50, 14, false, false, true},
};

// A fixed-size window with a title bar and a window menu; list boxes are single-selection,
// unsorted, with a vertical scroll bar.
inline constexpr DialogLayout kMainDialogLayout{"Runebin",       388, 231,
                                                "MS Sans Serif", 8,   kMainDialogControls};

}  // namespace runebin
