#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace runebin::gui {

// Conversions between the program's 8-bit strings and Qt's text.
//
// Symbol names are stored in drawing files as single-byte text in the Windows-1252 code page;
// NameToQt shows them so that every byte value survives a round trip through an edit box. What
// the user typed goes back as UTF-8 (TextFromQt), which the dialogs' checks convert to a name,
// refusing characters the code page lacks.
QString NameToQt(std::string_view name);
std::string TextFromQt(const QString& text);

// Other texts (messages, captions) may carry both file paths, which are UTF-8 here, and symbol
// names: they are read as UTF-8 when they are valid UTF-8 and as Windows-1252 otherwise.
QString TextToQt(std::string_view text);

// File paths as the file system spells them.
QString PathToQt(const std::string& path);
std::string PathFromQt(const QString& path);

// A control label without its keyboard-mnemonic markers: "&Open" reads "Open", "&&" reads "&".
QString WithoutMnemonics(const QString& label);

}  // namespace runebin::gui
