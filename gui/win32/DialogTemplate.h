#pragma once

#include <windows.h>

#include <vector>

#include "resources/DialogLayout.h"

namespace runebin::win32 {

// The face of every dialog: the system's logical dialog font, which each Windows version (and
// Wine) maps onto its own user-interface face, at the layout's point size.
inline constexpr wchar_t kDialogFontFace[] = L"MS Shell Dlg";

// The resource id of the application icon (runebin.rc).
inline constexpr int kAppIconResource = 1;

// Builds an in-memory dialog template (DLGTEMPLATE with DS_SETFONT and its DLGITEMTEMPLATEs) for
// `layout`: every control with the id, rectangle in dialog units, text and initial state of its
// row, in the row order (which is the tab order). `dialogStyle` and `extendedStyle` describe the
// dialog's own frame. The result is DWORD-aligned as the system requires; pass data() to
// DialogBoxIndirectParamW or CreateDialogIndirectParamW.
std::vector<DWORD> BuildDialogTemplate(const DialogLayout& layout, DWORD dialogStyle,
                                       DWORD extendedStyle);

// The window style of a control of `row`'s kind and initial state.
DWORD ControlStyle(const ControlLayout& row);

}  // namespace runebin::win32
