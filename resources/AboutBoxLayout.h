#pragma once

#include <string_view>

#include "resources/ControlIds.h"
#include "resources/DialogLayout.h"

namespace runebin {

// Texts of the about box. Line breaks inside a text are '\n'; the rest wraps to the control's
// width.
inline constexpr std::string_view kAboutVersionLine = "Runebin Version 1.0 alpha 2";
inline constexpr std::string_view kAboutPurpose =
    "A simple symbol manager for Korvel\n"
    "version 6.x and higher only. Version 5.x NOT supported. Compressed files are also "
    "unsupported.";
inline constexpr std::string_view kAboutMayhem =
    "This software may cause all manner of mayhem with your files. Backup, backup, backup.";
inline constexpr std::string_view kAboutWarning =
    "You should back up all files before using this software. It may work, it may not. The "
    "author takes no responsibility for any damage it may cause.";
inline constexpr std::string_view kAboutCredits =
    "Written by the Runebin developers. Send comments to the project's issue tracker.";

// The about box: the icon at the top left, the texts to its right, OK at the top right. OK,
// Escape and the close box all dismiss it.
inline constexpr ControlLayout kAboutBoxControls[] = {
    // id, kind, label, x, y, width, height, enabled, shown, tab stop
    // Texts are sized for about 42 characters a line at 8 dialog units a line.
    {kNoControlId, ControlKind::Icon, "", 11, 10, 21, 20, true, true, false},
    {kNoControlId, ControlKind::StaticText, kAboutVersionLine, 40, 10, 130, 8, true, true, false},
    {kNoControlId, ControlKind::StaticText, kAboutPurpose, 40, 24, 185, 34, true, true, false},
    {kNoControlId, ControlKind::StaticText, kAboutMayhem, 40, 62, 185, 26, true, true, false},
    {kNoControlId, ControlKind::StaticText, kAboutWarning, 40, 92, 185, 34, true, true, false},
    {kNoControlId, ControlKind::StaticText, kAboutCredits, 40, 130, 185, 18, true, true, false},
    {ids::kDone, ControlKind::DefaultPushButton, "OK", 178, 7, 50, 14, true, true, true},
};

inline constexpr DialogLayout kAboutBoxLayout{"About Runebin", 235, 159,
                                              "MS Sans Serif", 8,   kAboutBoxControls};

}  // namespace runebin
