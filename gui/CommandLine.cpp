#include "gui/CommandLine.h"

#include <string_view>

namespace runebin::gui {
namespace {

// Also the source of the manual page, which is generated from it when the program is built.
constexpr std::string_view kHelp =
    "usage: runebin [-h|--help] [-V|--version]\n"
    "\n"
    "Opens the symbol manager window: two drawing files (.pvx), symbol catalogs (.pvs)\n"
    "or templates (.pvt) side by side, each with its symbol definitions, their use\n"
    "counts, sizes and a preview. Symbols can be reordered, sorted, renamed together\n"
    "with their references, copied from one file to the other, deleted, and imported\n"
    "from Windows Metafiles (.wmf). A file's changes are written back, safely, when\n"
    "its pane is closed, unless it was opened read-only.\n"
    "\n"
    "Options:\n"
    "  -h, --help      show this help and exit\n"
    "  -V, --version   show the version and exit\n"
    "Qt's own options (such as -platform NAME) are taken as well.\n"
    "\n"
    "Exit status: 0 when the window is closed, 1 when it cannot be opened.\n";

void Put(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::FILE* out) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help") {
      Put(out, kHelp);
      return 0;
    }
    if (argument == "-V" || argument == "--version") {
      Put(out, std::string_view("runebin " RUNEBIN_VERSION "\n"));
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace runebin::gui
