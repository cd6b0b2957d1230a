// The command line itself: usage mistakes, help and version. A usage mistake must never touch a
// file, so every case runs against a real drawing and checks it afterwards.

#include <string>
#include <vector>

#include "tests/cli/CliTest.h"

namespace runebin::testing {
namespace {

class CliUsage : public CliTest {
 protected:
  // Expects status 2, `problem` on the first line of stderr and the usage hint on the second.
  static void ExpectUsageError(const CliResult& result, const std::string& problem,
                               const std::string& usageLine) {
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "runebin-cli: " + problem + "\n" + usageLine + "\n");
  }
};

constexpr char kProgramUsage[] =
    "usage: runebin-cli COMMAND ARGUMENTS... (runebin-cli --help lists the commands)";

std::string CommandUsage(const std::string& command, const std::string& synopsis) {
  return "usage: runebin-cli " + command + " " + synopsis + " (runebin-cli " + command +
         " --help for more)";
}

TEST_F(CliUsage, MistakesExitWithTwoAndLeaveTheFileAlone) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree"), Reference("Tree")}));
  const FileState before = StateOf(file);
  const std::string name32(32, 'x');
  const std::string name31(31, 'x');
  struct Case {
    std::vector<std::string> arguments;
    std::string problem;
    std::string usage;
  };
  const std::string renameUsage = CommandUsage("rename", "FILE OLD NEW [--output PATH]");
  const std::string importUsage =
      CommandUsage("import", "FILE WMF [--name NAME] [--max-size SIZE] [--output PATH]");
  const std::string sortUsage = CommandUsage("sort", "FILE... [--output PATH]");
  const std::vector<Case> cases = {
      {{}, "no command given", kProgramUsage},
      {{"shuffle", file}, "unknown command \"shuffle\"", kProgramUsage},
      {{"--verbose"}, "unknown option \"--verbose\"", kProgramUsage},
      {{"sort", file, "--force"}, "unknown option \"--force\"", sortUsage},
      {{"rename", file, "Tree", "Oak", "--replace"},
       "rename takes no option --replace",
       renameUsage},
      {{"rename", file, "Tree"}, "missing NEW", renameUsage},
      {{"rename", file}, "missing OLD", renameUsage},
      {{"list"}, "missing FILE", CommandUsage("list", "FILE...")},
      {{"rename", file, "Tree", "Oak", "Elm"}, "unexpected argument \"Elm\"", renameUsage},
      {{"sort", file, "--output"}, "--output needs a value", sortUsage},
      {{"delete", file, "Tree", "--references=yes"},
       "--references takes no value",
       CommandUsage("delete", "FILE NAME [--references] [--output PATH]")},
      {{"sort", file, file, "--output", dir.Path("out.pvs")},
       "--output takes a single FILE",
       sortUsage},
      {{"rename", file, "Tree", name32},
       "NEW: Please enter no more than 31 characters.",
       renameUsage},
      {{"delete", file, name32},
       "NAME: Please enter no more than 31 characters.",
       CommandUsage("delete", "FILE NAME [--references] [--output PATH]")},
      {{"copy", file, dir.Path("b.pvs"), name32},
       "NAME: Please enter no more than 31 characters.",
       CommandUsage("copy", "FROM TO NAME [--replace] [--output PATH]")},
      {{"import", file, "x.wmf", "--name", name32},
       "NAME: Please enter no more than 31 characters.",
       importUsage},
      // The default name is the metafile's file name, which must fit as well.
      {{"import", file, "folder/" + name31 + ".wmf"},
       "NAME: Please enter no more than 31 characters.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size", "big"},
       "--max-size: Please enter a number.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size", "12abc"},
       "--max-size: Please enter a number.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size", ""},
       "--max-size: Please enter a number.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size=inf"},
       "--max-size: Please enter a number.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size", "nan"},
       "--max-size: Please enter a number.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size", "-0.5"},
       "--max-size: Please enter a number between 0 and 100000000.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size", "100000000.5"},
       "--max-size: Please enter a number between 0 and 100000000.",
       importUsage},
      {{"import", file, "x.wmf", "--max-size", "1e999"},
       "--max-size: Please enter a number between 0 and 100000000.",
       importUsage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.problem);
    ExpectUsageError(RunCli(c.arguments), c.problem, c.usage);
  }
  EXPECT_EQ(StateOf(file), before);
}

TEST_F(CliUsage, NamesOfExactly31BytesAreAccepted) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree")}));
  const std::string name31(31, 'n');
  const CliResult result = RunCli({"rename", file, "Tree", name31});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(file), Drawing({Definition(name31)}));
}

TEST_F(CliUsage, DoubleDashEndsTheOptions) {
  const std::string file = Write("a.pvs", Drawing({Definition("--odd")}));
  const CliResult result = RunCli({"rename", file, "--", "--odd", "--even"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(file), Drawing({Definition("--even")}));
}

TEST_F(CliUsage, OptionsMayStandBeforeTheArgumentsAndTakeTheirValueAfterAnEqualsSign) {
  const std::string file = Write("a.pvs", Drawing({Definition("B"), Definition("A")}));
  const std::string output = dir.Path("sorted.pvs");
  const CliResult result = RunCli({"sort", "--output=" + output, file});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(output), Drawing({Definition("A"), Definition("B")}));
}

TEST_F(CliUsage, HelpListsEveryCommandAndWinsOverMistakes) {
  const CliResult overview = RunCli({"--help"});
  EXPECT_EQ(overview.exitCode, 0);
  EXPECT_EQ(overview.err, "");
  for (const char* line :
       {"  list FILE...\n", "  entities FILE...\n", "  sort FILE... [--output PATH]\n",
        "  rename FILE OLD NEW [--output PATH]\n",
        "  delete FILE NAME [--references] [--output PATH]\n", "  purge FILE... [--output PATH]\n",
        "  copy FROM TO NAME [--replace] [--output PATH]\n",
        "  import FILE WMF [--name NAME] [--max-size SIZE] [--output PATH]\n"}) {
    EXPECT_NE(overview.out.find(line), std::string::npos) << line;
  }

  // COMMAND --help shows that command's usage, even with arguments missing or wrong.
  const CliResult rename = RunCli({"rename", "--bogus", "--help"});
  EXPECT_EQ(rename.exitCode, 0);
  EXPECT_EQ(rename.err, "");
  EXPECT_EQ(rename.out.rfind("usage: runebin-cli rename FILE OLD NEW [--output PATH]\n", 0), 0U);

  // After "--", "--help" is a name like any other.
  const std::string file = Write("a.pvs", Drawing({Definition("Tree")}));
  const CliResult named = RunCli({"delete", file, "--", "--help"});
  EXPECT_EQ(named.exitCode, 1);
  EXPECT_EQ(named.out, "");
}

TEST_F(CliUsage, VersionPrintsTheProgramsVersion) {
  const CliResult result = RunCli({"--version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, std::string("runebin-cli ") + RUNEBIN_VERSION + "\n");
  EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace runebin::testing
