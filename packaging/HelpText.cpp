#include "packaging/HelpText.h"

#include <algorithm>
#include <sstream>

namespace runebin::packaging {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::size_t Indent(const std::string& line) {
  const std::size_t first = line.find_first_not_of(' ');
  return first == std::string::npos ? line.size() : first;
}

bool Blank(const std::string& line) {
  return Indent(line) == line.size();
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void Append(std::string& text, const std::string& more) {
  text += text.empty() ? Trim(more) : " " + Trim(more);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// "Title:" on its own, with indented lines under it.
bool IsSectionTitle(const std::vector<std::string>& lines, std::size_t i) {
  const std::string& line = lines[i];
  return Indent(line) == 0 && !line.empty() && line.back() == ':' && i + 1 < lines.size() &&
         Indent(lines[i + 1]) > 0 && !Blank(lines[i + 1]);
}

// "-o, --output PATH" gives the names -o and --output and the argument PATH.
OptionEntry ParseOptionSynopsis(const std::string& synopsis) {
  OptionEntry entry;
  std::istringstream words(synopsis);
  for (std::string word; words >> word;) {
    const bool more = !word.empty() && word.back() == ',';
    if (more) {
      word.pop_back();
    }
    if (StartsWith(word, "-") && entry.argument.empty()) {
      entry.names.push_back(word);
    } else {
      Append(entry.argument, word);
    }
  }
  return entry;
}

// Hard-wrapped lines, joined; a line after one that ends a sentence starts a new item.
std::vector<std::string> Items(const std::vector<std::string>& block) {
  std::vector<std::string> items;
  bool ended = true;
  for (const std::string& line : block) {
    if (ended) {
      items.emplace_back();
    }
    Append(items.back(), line);
    ended = !line.empty() && line.back() == '.';
  }
  return items;
}

}  // namespace

HelpText ParseHelp(const std::string& text) {
  HelpText help;
  const std::vector<std::string> lines = Lines(text);
  std::size_t i = 0;
  while (i < lines.size() && Blank(lines[i])) {
    ++i;
  }
  if (i < lines.size() && StartsWith(lines[i], "usage: ")) {
    help.usage.push_back(Trim(lines[i].substr(7)));
    for (++i; i < lines.size() && !Blank(lines[i]) && Indent(lines[i]) > 0; ++i) {
      help.usage.push_back(Trim(lines[i]));
    }
  }
  bool seenSection = false;
  while (i < lines.size()) {
    if (Blank(lines[i])) {
      ++i;
      continue;
    }
    if (IsSectionTitle(lines, i)) {
      seenSection = true;
      const std::string title = lines[i].substr(0, lines[i].size() - 1);
      const bool commands = title == "Commands";
      OptionSection section{title, {}, {}};
      for (++i; i < lines.size() && !Blank(lines[i]) && Indent(lines[i]) > 0; ++i) {
        const std::string& line = lines[i];
        const bool entryLine = Indent(line) <= 2;
        if (commands) {
          if (entryLine) {
            const std::string body = Trim(line);
            const std::size_t space = body.find(' ');
            help.commands.push_back({body.substr(0, space),
                                     space == std::string::npos ? "" : body.substr(space + 1),
                                     "",
                                     {}});
          } else if (!help.commands.empty()) {
            Append(help.commands.back().summary, line);
          }
          continue;
        }
        if (entryLine) {
          const std::string body = Trim(line);
          const std::size_t gap = body.find("  ");
          OptionEntry entry = ParseOptionSynopsis(body.substr(0, gap));
          entry.description = gap == std::string::npos ? "" : Trim(body.substr(gap));
          entry.everyCommand = title.find("every command") != std::string::npos;
          section.entries.push_back(std::move(entry));
        } else if (!section.entries.empty()) {
          Append(section.entries.back().description, line);
        }
      }
      // Text right under the entries, without a blank line, belongs to the section.
      std::vector<std::string> trailer;
      for (; i < lines.size() && !Blank(lines[i]) && Indent(lines[i]) == 0 &&
             !IsSectionTitle(lines, i);
           ++i) {
        trailer.push_back(lines[i]);
      }
      section.trailer = Items(trailer);
      if (!commands) {
        help.optionSections.push_back(std::move(section));
      }
      continue;
    }
    std::vector<std::string> block;
    for (; i < lines.size() && !Blank(lines[i]) && !IsSectionTitle(lines, i); ++i) {
      block.push_back(lines[i]);
    }
    for (std::string& item : Items(block)) {
      if (StartsWith(item, "Exit status: ")) {
        help.exitStatus = item.substr(13);
      } else {
        (seenSection ? help.notes : help.description).push_back(std::move(item));
      }
    }
  }
  return help;
}

std::vector<std::string> CommandDetails(const std::string& commandHelp,
                                        const std::string& overview) {
  std::vector<std::string> paragraphs;
  std::vector<std::string> block;
  const auto flush = [&] {
    std::string joined;
    for (const std::string& line : block) {
      joined += line + "\n";
    }
    const bool own = !block.empty() && !StartsWith(block.front(), "usage: ") &&
                     overview.find(joined) == std::string::npos;
    if (own) {
      for (std::string& item : Items(block)) {
        paragraphs.push_back(std::move(item));
      }
    }
    block.clear();
  };
  for (const std::string& line : Lines(commandHelp)) {
    if (Blank(line)) {
      flush();
    } else {
      block.push_back(line);
    }
  }
  flush();
  return paragraphs;
}

std::vector<const OptionEntry*> AllOptions(const HelpText& help) {
  std::vector<const OptionEntry*> options;
  for (const OptionSection& section : help.optionSections) {
    for (const OptionEntry& entry : section.entries) {
      options.push_back(&entry);
    }
  }
  return options;
}

std::vector<std::string> OptionsIn(const std::string& synopsis) {
  std::vector<std::string> options;
  std::string word;
  const auto flush = [&] {
    if (word.size() > 1 && word[0] == '-' && word != "--" &&
        std::find(options.begin(), options.end(), word) == options.end()) {
      options.push_back(word);
    }
    word.clear();
  };
  for (const char c : synopsis) {
    if (c == ' ' || c == '[' || c == ']' || c == '|') {
      flush();
    } else {
      word += c;
    }
  }
  flush();
  return options;
}

}  // namespace runebin::packaging
