#pragma once

#include <string>
#include <vector>

namespace runebin::packaging {

// A program's --help text, taken apart into what its manual page and its shell completion need.
// The help is plain text laid out in the usual way:
//   usage: PROGRAM ...            (further forms indented under it)
//   paragraphs of description
//   Title:                        a section: "Commands:", or any "...Options..." title
//     name synopsis               a command (2 spaces), its summary below (deeper)
//     -o, --output PATH  text     an option, its description after two or more spaces
//   paragraphs of notes, the last one "Exit status: 0 ..., 1 ..."
struct OptionEntry {
  std::vector<std::string> names;  // "-o", "--output"
  std::string argument;            // "PATH", or empty
  std::string description;
  bool everyCommand = false;  // from a section whose title says "every command"
};

struct CommandEntry {
  std::string name;
  std::string synopsis;  // the arguments after the name
  std::string summary;
  std::vector<std::string> details;  // paragraphs of the command's own --help
};

struct OptionSection {
  std::string title;
  std::vector<OptionEntry> entries;
  std::vector<std::string> trailer;  // notes written right under the entries
};

struct HelpText {
  std::vector<std::string> usage;  // each form, without "usage: "
  std::vector<std::string> description;
  std::vector<CommandEntry> commands;
  std::vector<OptionSection> optionSections;
  std::vector<std::string> notes;  // one item per sentence group, hard line breaks joined
  std::string exitStatus;          // after "Exit status: "
};

HelpText ParseHelp(const std::string& text);

// The paragraphs of a command's --help that are its own: not the usage line, and not the notes
// that every command's help repeats from the overview.
std::vector<std::string> CommandDetails(const std::string& commandHelp,
                                        const std::string& overview);

// All options of the help, in order.
std::vector<const OptionEntry*> AllOptions(const HelpText& help);
// The option tokens of a synopsis or usage line ("[-o OUT.svg]" gives "-o"), in order.
std::vector<std::string> OptionsIn(const std::string& synopsis);

}  // namespace runebin::packaging
