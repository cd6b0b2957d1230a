#pragma once

#include <span>
#include <string>
#include <string_view>

namespace runebin::packaging {

// The kinds of file the programs read and write, by extension: the FILES section of the manual
// pages, and the names the shell completion offers.
struct FileKind {
  std::string_view extension;
  std::string_view description;
  std::string_view mentionedAs;  // shown on a page only when its help says this
};

std::span<const FileKind> FileKinds();

// What the completion offers for a word in a synopsis (an argument or an option's value):
//   "ext:GLOB"    files whose extension matches GLOB (extended, case-blind), and folders:
//                 drawings, catalogs and templates for FILE, FROM, TO, A, B, PATH;
//                 metafiles for WMF; .svg for OUT.svg
//   "dir"         folders                            FOLDER, DIR
//   "symbol"      the names of the symbols of the first FILE   NAME, OLD
//   "words:A|B"   those words                        json, text|json
//   "none"        nothing (a new name, a number)     NEW, SIZE, PX, N, ...
// `option` says whether the word is an option's value (--name NAME is a new name).
std::string KindOf(std::string_view word, bool option);

// "pvx|pvs|pvt" as a case-blind extended glob: "[pP][vV][xX]|...".
std::string DrawingPattern();

}  // namespace runebin::packaging
