#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/Toolkit.h"

namespace runebin::win32 {

// The "Description|patterns|...||" filter of an OpenFileRequest in the form the common dialog
// takes: the same fields separated by NULs and ended by two.
std::wstring ToDialogFilter(std::string_view filter);

// The standard open-file dialog, with its read-only check box shown (unticked) and its state
// returned. A typed name need not exist: loading reports that. The first filter is selected;
// the default extension is added to a name typed without one.
std::optional<OpenFileChoice> RunOpenFileDialog(HWND owner, const OpenFileRequest& request);

}  // namespace runebin::win32
