// The command line itself: usage mistakes, the accepted forms, help and version.
#include <algorithm>
#include <set>
#include <sstream>

#include "symbols/Windows1252.h"
#include "tests/cli/CliTest.h"

namespace runebin::testing {
namespace {

// One row per kind of mistake: status 2, the problem, then a one-line hint with the command's
// usage (the program's when there is no command), and no file touched.
TEST_F(CliTest, UsageMistakesExitWithTwoAndTouchNothing) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree"), Reference("Tree")}));
  const FileState before = StateOf(file);
  struct Row {
    std::vector<std::string> arguments;
    std::string problem;
    std::string hint;  // whose usage is shown
  };
  const std::vector<Row> rows = {
      {{}, "no command given", "COMMAND"},
      {{"shuffle", file}, "unknown command \"shuffle\"", "COMMAND"},
      {{"sort", file, "--force"}, "sort takes no option --force", "sort"},
      {{"sort", file, "--forse"}, "unknown option \"--forse\"", "sort"},
      {{"rename", file, "Tree", ""}, "NEW: a name is needed", "rename"},
      {{"rename", file, "Tree", "a\tb"},
       "NEW: control characters are not allowed in a name",
       "rename"},
      {{"rename", file, "Tree", "\xE6\x97\xA5"},
       "NEW: \"\xE6\x97\xA5\" has a character that Windows-1252 lacks",
       "rename"},
#ifndef _WIN32  // there the command line is UTF-16
      {{"rename", file, "Tree", "\xE9"}, "NEW: \"\xEF\xBF\xBD\" is not UTF-8 text", "rename"},
#endif
      {{"rename", file, "Tree", "#2"}, "NEW: \"#2\" would be taken for a list index", "rename"},
      {{"rename", file, "Tree"}, "missing NEW", "rename"},
      {{"list"}, "missing FILE", "list"},
      {{"rename", file, "Tree", "Oak", "Elm"}, "unexpected argument \"Elm\"", "rename"},
      {{"sort", file, "--output"}, "--output needs a value", "sort"},
      {{"delete", file, "Tree", "--references=yes"}, "--references takes no value", "delete"},
      {{"purge", file, file, "--output", dir.Path("o")}, "--output takes a single FILE", "purge"},
      {{"rename", file, "Tree", std::string(32, 'x')},
       "NEW: Please enter no more than 31 characters.",
       "rename"},
      {{"import", file, "folder/\xE6\x97\xA5.wmf"},
       "NAME: \"\xE6\x97\xA5.wmf\" has a character that Windows-1252 lacks (--name gives another)",
       "import"},
      {{"move", file, "Tree"}, "missing --to N", "move"},
      {{"move", file, "Tree", "--to", "-1"},
       "--to: a list index (a whole number from 0) is needed",
       "move"},
      {{"move", file, "Tree", "--to", "1"},
       "--to: \"" + file + "\" has list indices 0 to 0",
       "move"},
      {{"import", file, "a.wmf", "b.wmf", "--name", "N"}, "--name takes a single WMF", "import"},
      {{"import", file, "a.wmf", "--replace", "--skip-existing"},
       "--replace and --skip-existing exclude each other",
       "import"},
      {{"import", file, "x.wmf", "--max-size=inf"}, "--max-size: Please enter a number.", "import"},
      {{"import", file, "x.wmf", "--max-size", "100000000.5"},
       "--max-size: Please enter a number between 0 and 100000000.",
       "import"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.problem);
    const CliResult result = RunCli(row.arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind(
                  "runebin-cli: " + row.problem + "\nusage: runebin-cli " + row.hint + " ", 0),
              0U)
        << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2) << result.err;
  }
  EXPECT_EQ(StateOf(file), before);
}

// Names of exactly 31 characters (62 bytes of UTF-8); "--" before a name that looks like an option;
// -q before the command; -o with its value attached. --output writes PATH even when nothing
// changed, and leaves FILE alone.
TEST_F(CliTest, AcceptedArgumentFormsAndOutput) {
  const std::string file = Write("a.pvs", Drawing({Definition("B"), Definition("--odd")}));
  const std::string name31 = Windows1252ToUtf8(std::string(31, '\xC4'));  // "Ä" 31 times
  EXPECT_EQ(Succeed({"rename", file, "--", "--odd", name31}), "");
  const FileState renamed = StateOf(file);
  EXPECT_EQ(std::get<Bytes>(renamed),
            Drawing({Definition("B"), Definition(std::string(31, '\xC4'))}));
  EXPECT_EQ(Succeed({"-q", "sort", "--dry-run", file}), "");
  const std::string output = dir.Path("sorted.pvs");
  EXPECT_EQ(Succeed({"sort", "-o" + output, file}), "");
  EXPECT_EQ(ReadFileBytes(output), std::get<Bytes>(renamed));
  EXPECT_EQ(StateOf(file), renamed);
}

TEST_F(CliTest, HelpWinsOverMistakesAndVersionPrintsTheVersion) {
  const CliResult overview = RunCli({"--help"});
  EXPECT_EQ(overview.exitCode, 0);
  EXPECT_EQ(overview.out.rfind("usage: runebin-cli COMMAND ARGUMENTS...\n", 0), 0U);
  const CliResult rename = RunCli({"rename", "--bogus", "--help"});
  EXPECT_EQ(rename.exitCode, 0);
  EXPECT_EQ(rename.err, "");
  EXPECT_EQ(
      rename.out.rfind(
          "usage: runebin-cli rename FILE OLD NEW [--force] [--dry-run] [--output PATH]\n", 0),
      0U);
  // After "--", "--help" is a name like any other.
  const std::string file = Write("a.pvs", Drawing({Definition("Tree")}));
  ExpectFailure({"delete", file, "--", "--help"},
                "No symbol named \"--help\" in file \"" + file + "\"");
  EXPECT_EQ(Succeed({"--version"}), std::string("runebin-cli ") + RUNEBIN_VERSION + "\n");
  EXPECT_EQ(Succeed({"-V"}), Succeed({"--version"}));
  EXPECT_EQ(Succeed({"-h"}), overview.out);
}

// The manual page and the shell completion are built from --help: every option that a command's
// synopsis shows must also be explained in an options section of the overview.
TEST_F(CliTest, EveryOptionOfASynopsisIsExplained) {
  std::istringstream overview(Succeed({"--help"}));
  std::set<std::string> shown;
  std::set<std::string> explained;
  std::string section;
  for (std::string line; std::getline(overview, line);) {
    if (!line.empty() && line[0] != ' ') {
      section = line;
    } else if (section == "Commands:" && line.rfind("  ", 0) == 0 && line[2] != ' ') {
      std::replace_if(
          line.begin(), line.end(), [](char c) { return c == '[' || c == ']' || c == '|'; }, ' ');
      std::istringstream words(line);
      for (std::string word; words >> word;) {
        if (word.size() > 1 && word[0] == '-') {
          shown.insert(word);
        }
      }
    } else if (section.find("Options") != std::string::npos && line.rfind("  -", 0) == 0) {
      std::istringstream words(line.substr(0, line.find("   ")));
      for (std::string word; words >> word && word[0] == '-';) {
        explained.insert(word.back() == ',' ? word.substr(0, word.size() - 1) : word);
      }
    }
  }
  EXPECT_FALSE(shown.empty());
  for (const std::string& option : shown) {
    EXPECT_TRUE(explained.count(option) == 1) << option << " is not under Options";
  }
}

}  // namespace
}  // namespace runebin::testing
