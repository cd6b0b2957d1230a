#include "packaging/ManPage.h"

#include <algorithm>
#include <cctype>
#include <regex>

#include "packaging/FileKinds.h"

namespace runebin::packaging {
namespace {

// Text for a roff text line: backslashes escaped, the dashes that begin options typed as minus
// signs (so that they can be searched for and copied), a leading control character neutralised.
std::string Escape(const std::string& text) {
  std::string out;
  bool inOption = false;  // within a word that began with a dash
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool wordStart =
        i == 0 || std::string_view(" ([|\"'/,=").find(text[i - 1]) != std::string_view::npos;
    if (wordStart) {
      inOption = c == '-';
    }
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && inOption) {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) {
    out.insert(0, "\\&");
  }
  return out;
}

std::string Bold(const std::string& text) {
  return "\\fB" + Escape(text) + "\\fR";
}

// A synopsis with options and literal words in bold, the words to be replaced in italics.
std::string Styled(const std::string& synopsis) {
  std::string out;
  std::string word;
  const auto flush = [&] {
    if (word.empty()) {
      return;
    }
    std::string ellipsis;
    if (word.size() > 3 && word.ends_with("...")) {
      word.resize(word.size() - 3);
      ellipsis = "...";
    }
    const bool upper = std::any_of(word.begin(), word.end(), [](char c) {
      return std::isupper(static_cast<unsigned char>(c));
    });
    out += (upper && word[0] != '-' ? "\\fI" + Escape(word) + "\\fR" : Bold(word)) + ellipsis;
    word.clear();
  };
  for (const char c : synopsis) {
    if (c == ' ' || c == '[' || c == ']' || c == '|') {
      flush();
      out += c;
    } else {
      word += c;
    }
  }
  flush();
  return out;
}

// "list the symbols" becomes "List the symbols."
std::string Sentence(std::string text) {
  if (!text.empty()) {
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (text.back() != '.') {
      text += '.';
    }
  }
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

void Paragraphs(std::string& page, const std::vector<std::string>& paragraphs, const char* macro) {
  for (const std::string& paragraph : paragraphs) {
    page += std::string(macro) + "\n" + Escape(paragraph) + "\n";
  }
}

void Synopsis(std::string& page, const ManPageInfo& info, const HelpText& help) {
  page += ".SH SYNOPSIS\n";
  std::vector<std::string> forms;
  for (const std::string& usage : help.usage) {
    const std::string rest = usage.starts_with(info.program + " ")
                                 ? usage.substr(info.program.size() + 1)
                                 : (usage == info.program ? "" : usage);
    forms.push_back(Bold(info.program) + " " + Styled(rest));
  }
  for (const CommandEntry& command : help.commands) {
    forms.push_back(Bold(info.program) + " " + Bold(command.name) + " " + Styled(command.synopsis));
  }
  // Each form on its own line; a form that is too long goes on indented.
  page += ".in +4n\n";
  for (const std::string& form : forms) {
    page += ".ti -4n\n" + form + "\n.br\n";
  }
  page += ".in -4n\n";
}

void Commands(std::string& page, const HelpText& help) {
  if (help.commands.empty()) {
    return;
  }
  page += ".SH COMMANDS\n";
  for (const CommandEntry& command : help.commands) {
    page += ".TP\n" + Bold(command.name) + " " + Styled(command.synopsis) + "\n" +
            Escape(Sentence(command.summary)) + "\n";
    Paragraphs(page, command.details, ".IP");
  }
}

void Options(std::string& page, const HelpText& help) {
  std::vector<std::string> described;
  for (const OptionEntry* entry : AllOptions(help)) {
    described.insert(described.end(), entry->names.begin(), entry->names.end());
  }
  // Options in a synopsis that no section explains, with the commands that take them.
  std::vector<std::pair<std::string, std::string>> undescribed;
  const auto note = [&](const std::string& option, const std::string& taker) {
    if (std::find(described.begin(), described.end(), option) != described.end()) {
      return;
    }
    auto found = std::find_if(undescribed.begin(), undescribed.end(),
                              [&](const auto& row) { return row.first == option; });
    if (found == undescribed.end()) {
      undescribed.emplace_back(option, taker);
    } else if (!taker.empty()) {
      found->second += (found->second.empty() ? "" : ", ") + taker;
    }
  };
  for (const std::string& usage : help.usage) {
    for (const std::string& option : OptionsIn(usage)) {
      note(option, "");
    }
  }
  for (const CommandEntry& command : help.commands) {
    for (const std::string& option : OptionsIn(command.synopsis)) {
      note(option, command.name);
    }
  }
  if (help.optionSections.empty() && undescribed.empty()) {
    return;
  }
  page += ".SH OPTIONS\n";
  for (std::size_t s = 0; s < help.optionSections.size(); ++s) {
    const OptionSection& section = help.optionSections[s];
    if (s > 0) {
      page += ".SS " + Escape(section.title) + "\n";
    }
    for (const OptionEntry& entry : section.entries) {
      std::string tag;
      for (const std::string& name : entry.names) {
        tag += (tag.empty() ? "" : ", ") + Bold(name);
      }
      if (!entry.argument.empty()) {
        tag += " " + Styled(entry.argument);
      }
      page += ".TP\n" + tag + "\n" + Escape(Sentence(entry.description)) + "\n";
    }
    Paragraphs(page, section.trailer, ".PP");
  }
  for (const auto& [option, takers] : undescribed) {
    page += ".TP\n" + Bold(option) + "\n" +
            Escape(takers.empty() ? "See SYNOPSIS." : "Taken by " + takers + ".") + "\n";
  }
}

void ExitStatus(std::string& page, const HelpText& help) {
  if (help.exitStatus.empty()) {
    return;
  }
  page += ".SH EXIT STATUS\n";
  // "0 success, 1 failure (...), 2 usage error." gives one tagged paragraph per status.
  static const std::regex item(R"((\d+) (.*?)(?:, (?=\d+ )|\.?$))");
  std::string rest = help.exitStatus;
  std::smatch match;
  std::string items;
  while (!rest.empty() && std::regex_search(rest, match, item) && match.position(0) == 0) {
    items += ".TP\n" + Bold(match[1].str()) + "\n" + Escape(Sentence(match[2].str())) + "\n";
    rest = match.suffix().str();
  }
  page += rest.empty() ? items : Escape(help.exitStatus) + "\n";
}

void Files(std::string& page, const ManPageInfo& info) {
  page += ".SH FILES\n";
  for (const FileKind& kind : FileKinds()) {
    if (kind.mentionedAs.empty() || info.allHelp.find(kind.mentionedAs) != std::string::npos) {
      page += ".TP\n\\fI*." + std::string(kind.extension) + "\\fR\n" +
              Escape(Sentence(std::string(kind.description))) + "\n";
    }
  }
}

}  // namespace

std::string ManPage(const ManPageInfo& info, const HelpText& help) {
  std::string page = ".\\\" Generated from \"" + info.program +
                     " --help\" when the program is built; edit the help text, not this file.\n";
  page += ".TH " + Upper(info.program) + " 1 \"\" \"" + info.source + "\" \"User Commands\"\n";
  // Options and file names are neither hyphenated nor stretched.
  page += ".nh\n.ad l\n";
  page += ".SH NAME\n" + Escape(info.program) + " \\- " + Escape(info.summary) + "\n";
  Synopsis(page, info, help);
  page += ".SH DESCRIPTION\n";
  Paragraphs(page, help.description, ".PP");
  Paragraphs(page, help.notes, ".PP");
  Commands(page, help);
  Options(page, help);
  ExitStatus(page, help);
  Files(page, info);
  if (!info.seeAlso.empty()) {
    page += ".SH SEE ALSO\n";
    for (std::size_t i = 0; i < info.seeAlso.size(); ++i) {
      page += Bold(info.seeAlso[i]) + "(1)" + (i + 1 < info.seeAlso.size() ? ",\n" : "\n");
    }
  }
  return page;
}

}  // namespace runebin::packaging
