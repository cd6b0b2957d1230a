#pragma once

#include <windows.h>

#include "app/Toolkit.h"

namespace runebin::win32 {

// The three small modal dialogs, built from their layout tables. OK (id 1) runs the same checks
// as every toolkit (app/DialogValidation.h); a refusal is shown in a message box, the field at
// fault gets the focus with its text selected, and the dialog stays open. Cancel, Escape and the
// close box cancel. `owner` is disabled while the dialog runs (null: none).
bool RunRenameDialog(HWND owner, RenameDialogData& data);
bool RunWmfImportDialog(HWND owner, WmfImportDialogData& data);
// OK, Escape and the close box all dismiss it.
void RunAboutBox(HWND owner);

// The application's icons, loaded once from the program's resources.
HICON LargeAppIcon();
HICON SmallAppIcon();
// Gives `window` the application icon in its title bar and task-bar entry.
void SetAppIcon(HWND window);

// A modal message box: caption "Runebin", warning icon, OK or Yes and No.
Answer ShowWarningMessage(HWND owner, const std::wstring& text, MessageKind kind);

}  // namespace runebin::win32
