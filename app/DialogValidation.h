#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/Toolkit.h"

namespace runebin {

// What the dialogs check when OK is pressed, shared by every toolkit so that all of them refuse
// the same input with the same words. A refusal names the message to show and the control that
// gets the focus; the dialog then stays open.
struct FieldProblem {
  int controlId;
  std::string message;
};

// The texts typed are UTF-8; the names in the dialogs' data are the file's Windows-1252 names. A
// name must hold only characters Windows-1252 has, and at most 31 of them.
//
// Rename dialog: on success stores the new name in data.m_newName.
std::optional<FieldProblem> ValidateRenameDialog(std::string_view newNameText,
                                                 RenameDialogData& data);

// WMF Import dialog: Max Size must be a number from 0 to 100000000, then the name as above. On
// success stores both in `data`; on a refusal `data` is unchanged.
std::optional<FieldProblem> ValidateWmfImportDialog(std::string_view nameText,
                                                    std::string_view maxSizeText,
                                                    WmfImportDialogData& data);

// The text the Max Size edit box shows for `value`: the shortest decimal that reads back as the
// same value, without an exponent for the values the dialog accepts ("100", "25", "0.5").
std::string FormatMaxSize(float value);

// Reads a Max Size text: blanks around a decimal number are allowed, nothing else is. Returns
// nothing when the text is not a number.
std::optional<double> ParseMaxSize(std::string_view text);

}  // namespace runebin
