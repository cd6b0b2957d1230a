// runebin_docgen: writes, while the project is built, the manual pages and the bash completion
// that an installation holds, from the programs' --help, so that they follow the programs.
//
//   runebin_docgen man PROGRAM NAME SUMMARY SOURCE OUT [SEE_ALSO...]
//   runebin_docgen completion PROGRAM NAME OUT

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "packaging/Completion.h"
#include "packaging/HelpText.h"
#include "packaging/ManPage.h"

namespace {

using namespace runebin::packaging;

// What `program arguments` prints on stdout; an error when it cannot run or does not succeed.
bool Output(const std::string& program, const std::string& arguments, std::string& out) {
  const std::string command = ShellQuoted(program) + " " + arguments;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    std::fprintf(stderr, "runebin_docgen: cannot run %s\n", command.c_str());
    return false;
  }
  out.clear();
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    out.append(buffer, n);
  }
  if (::pclose(pipe) != 0) {
    std::fprintf(stderr, "runebin_docgen: %s failed\n", command.c_str());
    return false;
  }
  return true;
}

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  file.close();
  if (!file) {
    std::fprintf(stderr, "runebin_docgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

// The help of the program and of each of its commands.
bool ReadHelp(const std::string& program, HelpText& help, std::string& allHelp) {
  std::string overview;
  if (!Output(program, "--help", overview)) {
    return false;
  }
  help = ParseHelp(overview);
  if (help.usage.empty()) {
    std::fprintf(stderr, "runebin_docgen: %s --help printed no usage line\n", program.c_str());
    return false;
  }
  allHelp = overview;
  for (CommandEntry& command : help.commands) {
    std::string text;
    if (!Output(program, ShellQuoted(command.name) + " --help", text)) {
      return false;
    }
    command.details = CommandDetails(text, overview);
    allHelp += text;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 6 && args[0] == "man") {
    ManPageInfo info{args[2], args[3], args[4], {args.begin() + 6, args.end()}, ""};
    HelpText help;
    if (!ReadHelp(args[1], help, info.allHelp)) {
      return 1;
    }
    return Write(args[5], ManPage(info, help)) ? 0 : 1;
  }
  if (args.size() == 4 && args[0] == "completion") {
    HelpText help;
    std::string allHelp;
    if (!ReadHelp(args[1], help, allHelp)) {
      return 1;
    }
    return Write(args[3], BashCompletion(args[2], help)) ? 0 : 1;
  }
  std::fputs(
      "usage: runebin_docgen man PROGRAM NAME SUMMARY SOURCE OUT [SEE_ALSO...]\n"
      "       runebin_docgen completion PROGRAM NAME OUT\n",
      stderr);
  return 2;
}
