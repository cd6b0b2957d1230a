#include "packaging/FileKinds.h"

#include <array>
#include <cctype>

namespace runebin::packaging {
namespace {

constexpr std::array kKinds = {
    FileKind{"pvx", "drawings", ""},
    FileKind{"pvs", "symbol catalogs", ""},
    FileKind{"pvt", "templates", ""},
    FileKind{"wmf", "Windows Metafiles, imported as symbols", "Metafile"},
    FileKind{"svg", "pictures of symbols, written by render", "SVG"},
};

// The drawing format's three kinds share a format; the first three rows.
constexpr std::size_t kDrawingKinds = 3;

std::string CaseBlind(std::string_view extension) {
  std::string glob;
  for (const char c : extension) {
    const auto u = static_cast<unsigned char>(c);
    glob += std::isalpha(u) != 0 ? std::string{'[', static_cast<char>(std::tolower(u)),
                                               static_cast<char>(std::toupper(u)), ']'}
                                 : std::string(1, c);
  }
  return glob;
}

}  // namespace

std::span<const FileKind> FileKinds() {
  return kKinds;
}

std::string DrawingPattern() {
  std::string pattern;
  for (std::size_t i = 0; i < kDrawingKinds; ++i) {
    pattern += (i == 0 ? "" : "|") + CaseBlind(kKinds[i].extension);
  }
  return pattern;
}

std::string KindOf(std::string_view word, bool option) {
  if (word.ends_with("...")) {
    word.remove_suffix(3);
  }
  bool lower = !word.empty();
  for (const char c : word) {
    lower = lower && (std::islower(static_cast<unsigned char>(c)) != 0 || c == '|');
  }
  if (lower) {
    return "words:" + std::string(word);
  }
  const std::size_t dot = word.rfind('.');
  if (dot != std::string_view::npos) {
    return "ext:" + CaseBlind(word.substr(dot + 1));
  }
  for (const std::string_view drawing : {"FILE", "FROM", "TO", "A", "B", "PATH"}) {
    if (word == drawing) {
      return "ext:" + DrawingPattern();
    }
  }
  if (word == "WMF") {
    return "ext:" + CaseBlind("wmf");
  }
  if (word == "FOLDER" || word == "DIR") {
    return "dir";
  }
  if (!option && (word == "NAME" || word == "OLD")) {
    return "symbol";
  }
  return "none";
}

}  // namespace runebin::packaging
