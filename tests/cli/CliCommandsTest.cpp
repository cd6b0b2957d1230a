// Each command end to end: what it prints, its exit status and the bytes it leaves on disk.
#include <sys/stat.h>

#include <algorithm>

#include "symbols/Windows1252.h"
#include "tests/cli/CliTest.h"
#include "tests/support/MetafileBuilder.h"

namespace runebin::testing {
namespace {

TEST_F(CliTest, ListAndEntitiesPrintTheContractFormatsAndOnlyRead) {
  // References count for the last definition of their name, case-sensitively; names are raw
  // Windows-1252 shown as UTF-8, with control and unassigned bytes escaped; sizes are differences
  // of the stored floats (1048576.125 + 0.06 stays 1048576.125).
  const std::string file = Write(
      "a.pvx", Drawing({Definition("Tree", {}, {0, 0, 12.5F, 3}),
                        Definition("Caf\xE9", {}, {-0.06F, 5, 1048576.125F, 1}), Definition("Tree"),
                        Definition("a\tb\\\x81\x7F"), Reference("Tree"), Reference("tree")}));
  const std::string other = Write("b.pvx", Drawing({TypeZero(3), Reference("Tree")}));
  const FileState before = StateOf(file);
  EXPECT_EQ(Succeed({"list", file}),
            "0\tTree\t0\t12.50\t3.00\n"
            "1\tCaf\xC3\xA9\t0\t1048576.12\t-4.00\n"
            "2\tTree\t1\t0.00\t0.00\n"
            "3\ta\\tb\\\\\\x81\\x7F\t0\t0.00\t0.00\n");
  EXPECT_EQ(StateOf(file), before);
  EXPECT_EQ(Succeed({"entities", other}),
            "     #      Type   SubType\n     0         0         3\n     1        29         0\n");
  // A file cut short lists what could be read, says so on stderr, and still succeeds.
  Bytes cut = Drawing({Definition("A"), Definition("B")});
  cut.resize(cut.size() - 3);
  const std::string damaged = Write("cut.pvx", cut);
  const CliResult listed = RunCli({"list", damaged});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_EQ(listed.out, "0\tA\t0\t0.00\t0.00\n");
  EXPECT_EQ(listed.err, "runebin-cli: " + damaged +
                            ": damaged at byte 226; the last 95 bytes are kept as they are, and "
                            "symbols in them are not shown\n");
}

TEST_F(CliTest, SeveralFilesAreHeadedAndAFailureDoesNotStopTheOthers) {
  const std::string a = Write("a.pvs", Drawing({Definition("A")}));
  const std::string missing = dir.Path("\xE9\x9B\xAA.pvs");  // "雪"
  const std::string b = Write("b.pvs", Drawing({Definition("B"), Reference("B")}));
  const CliResult result = RunCli({"list", a, missing, b});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "==> " + a + " <==\n0\tA\t0\t0.00\t0.00\n==> " + missing + " <==\n==> " +
                            b + " <==\n0\tB\t1\t0.00\t0.00\n");
  EXPECT_EQ(result.err,
            "runebin-cli: Error Opening file \"" + missing + "\": No such file or directory\n");
  // purge rewrites only the files it changed, and goes on after a file it cannot write.
  const std::string readOnly = Write("ro.pvs", Drawing({Definition("R")}));
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  const FileState bBefore = StateOf(b);
  const CliResult purge = RunCli({"purge", "--force", a, readOnly, b});
  EXPECT_EQ(purge.exitCode, 1);
  EXPECT_EQ(purge.out, "==> " + a + " <==\n1 symbols deleted\n==> " + readOnly + " <==\n==> " + b +
                           " <==\n0 symbols deleted\n");
  EXPECT_EQ(purge.err,
            "runebin-cli: Can't write to file \"" + readOnly + "\": Permission denied\n");
  EXPECT_EQ(ReadFileBytes(a), Drawing({}));
  EXPECT_EQ(ReadFileBytes(readOnly), Drawing({Definition("R")}));
  EXPECT_EQ(StateOf(b), bBefore);
}

// One row per outcome of the commands that change a file in place (FILE): the report and the
// bytes left. A file whose bytes the command did not change must not have been rewritten at all.
// Paths and names outside ASCII reach the program and come back byte for byte (on Windows through
// the UTF-16 command line).
TEST_F(CliTest, ChangingCommandsReportAndRewriteOnlyWhatChanged) {
  const Bytes tree = Definition("Tree"), rock = Definition("Rock"), toTree = Reference("Tree");
  const Bytes a = Definition("a"), b = Definition("b"), B = Definition("B");
  const Bytes smallTree = Definition("Tree", {}, {0, 0, 1, 1}), toRock = Reference("Rock");
  const std::string renamedTree = "1 references renamed from\n\"Tree\" to\n\"";
  // The copied definition carries its whole group; FROM is only read.
  const Bytes copied = Definition("Tree", {Reference("Leaf"), Record(9)}, {0, 0, 4, 8});
  const std::string from = Write("from.pvs", Drawing({rock, copied, toTree}));
  const FileState fromBefore = StateOf(from);
  const std::string plan = "Plan \xC3\xB8 \xE9\x9B\xAA.pvx";  // "ø 雪"
  const std::string dryRun = "Dry run: nothing written; \"" + dir.Path(plan) + "\" would ";
  struct Row {
    std::vector<std::string> arguments;
    std::vector<Bytes> before;
    std::string out;
    std::vector<Bytes> after;
  };
  const std::vector<Row> rows = {
      // The last definition of the name (which references reach is the core's to test).
      {{"rename", "FILE", "Tree", "Oak"},
       {smallTree, tree, toTree},
       renamedTree + "Oak\".\n",
       {smallTree, Definition("Oak"), Reference("Oak")}},
      {{"rename", "FILE", "Rock", "Stone"}, {rock}, "", {Definition("Stone")}},
      {{"delete", "FILE", "Tree", "--references"},
       {tree, rock, toTree},
       "1 references to symbol \"Tree\" removed.\n",
       {rock}},
      {{"delete", "FILE", "Tree", "--references"}, {tree}, "No references found\n", {}},
      {{"delete", "FILE", "Tree"}, {smallTree, tree, toTree}, "", {smallTree, toTree}},
      {{"delete", "FILE", "#0"}, {smallTree, tree, toTree}, "", {tree, toTree}},
      {{"purge", "FILE"}, {a, rock, toRock}, "1 symbols deleted\n", {rock, toRock}},
      {{"purge", "FILE", "--dry-run"},
       {Definition("a\nb"), b, rock, toRock},
       "a\\nb\nb\n2 symbols would be deleted\n",
       {Definition("a\nb"), b, rock, toRock}},
      {{"delete", "FILE", "Tree", "--references", "--dry-run"},
       {tree, toTree},
       "Tree\n1 symbols would be deleted\n1 references would be removed\n",
       {tree, toTree}},
      // The definition is gone already; --references still removes what places nothing.
      {{"delete", "FILE", "Tree", "--references"},
       {rock, toTree},
       "1 references to symbol \"Tree\" removed.\n",
       {rock}},
      {{"rename", "FILE", "Tree", "Rock", "--force"},
       {tree, rock, toTree},
       renamedTree + "Rock\".\n",
       {Definition("Rock"), rock, toRock}},
      {{"rename", "FILE", "Tree", "Oak", "--dry-run"},
       {tree, toTree},
       dryRun + "change\n1 references would be renamed\n",
       {tree, toTree}},
      {{"move", "FILE", "b", "--to", "0", "--dry-run"}, {b, a}, dryRun + "stay as it is\n", {b, a}},
      // Names are typed in UTF-8 and stored in Windows-1252.
      {{"rename", "FILE", "Tree", "\xC3\x84pfel"},
       {tree, toTree},
       renamedTree + "\xC3\x84pfel\".\n",
       {Definition("\xC4pfel"), Reference("\xC4pfel")}},
      {{"rename", "FILE", "Tree", "Tree"}, {tree, tree}, "", {tree, tree}},
      {{"sort", "FILE"}, {b, B, a}, "", {B, a, b}},
      {{"move", "FILE", "#2", "--to", "0"}, {b, B, a}, "", {a, b, B}},
      {{"copy", from, "FILE", "Tree"}, {rock}, "", {rock, copied}},
      {{"copy", from, "FILE", "Tree", "--replace"}, {tree, rock}, "", {copied, rock}},
      {{"copy", from, "FILE", "Rock", "Tree", "--replace"}, {rock, copied}, "", {rock, copied}},
  };
  for (const Row& row : rows) {
    const std::string file = Write(plan, Drawing(row.before));
    std::vector<std::string> arguments = row.arguments;
    std::replace(arguments.begin(), arguments.end(), std::string("FILE"), file);
    SCOPED_TRACE(arguments[0] + " " + row.arguments.back());
    const FileState before = StateOf(file);
    EXPECT_EQ(Succeed(arguments), row.out);
    EXPECT_EQ(ReadFileBytes(file), Drawing(row.after));
    if (row.after == row.before) {
      EXPECT_EQ(StateOf(file), before);
    }
  }
  EXPECT_EQ(StateOf(from), fromBefore);
}

TEST_F(CliTest, ImportAppendsMetafilesAsNewSymbols) {
  const Bytes triangle = Wmf().Polygon({{0, 0}, {100, 0}, {100, 50}}).End().Data();
  const std::string file = Write("a.pvx", Drawing({Definition("tri"), Reference("tri")}));
  const std::string wmf = Write("tri.wmf", triangle);
  // Names are the file names without extension, cut to 31 characters; one that FILE has (also
  // from this run) is skipped when asked, or replaced in its place, keeping its references.
  const auto umlauts = [](std::size_t count) {
    return Windows1252ToUtf8(std::string(count, '\xC4'));
  };
  const std::string longName = Write(umlauts(40) + ".x.wmf", triangle);
  const CliResult skipped = RunCli({"import", file, longName, wmf, "--skip-existing"});
  EXPECT_EQ(skipped.exitCode, 0);
  EXPECT_EQ(skipped.err, "runebin-cli: Skipped \"" + wmf + "\": \"" + file +
                             "\" already has a symbol named \"tri\"\n");
  EXPECT_EQ(Succeed({"import", file, wmf, "--replace", "--max-size", "10"}), "");
  EXPECT_EQ(Succeed({"import", file, wmf, "--name", "Triangle"}), "");
  const std::string nothing = Write("nothing.wmf", Wmf().End().Data());
  EXPECT_EQ(Succeed({"import", file, nothing, "--allow-empty"}), "");
  EXPECT_EQ(Succeed({"list", file}),
            "0\ttri\t1\t1000.00\t500.00\n"
            "1\t" +
                umlauts(31) +
                "\t0\t10000.00\t5000.00\n"
                "2\tTriangle\t0\t10000.00\t5000.00\n"
                "3\tnothing\t0\t0.00\t0.00\n");
}

// Status 1 with the window program's words, nothing on stdout (no report of a change that was
// not written), and no file changed.
TEST_F(CliTest, FailuresExitWithOneAndChangeNothing) {
  const Bytes toTree = Reference("Tree");
  const std::string file = Write("a.pvx", Drawing({Definition("Tree"), Definition("Oak"),
                                                   Reference("Tree"), Group(17, {toTree})}));
  const std::string to = Write("to.pvx", Drawing({Definition("Tree")}));
  // A catalog places none of its symbols, not even those that place each other.
  const std::string catalog =
      Write("c.pvs", Drawing({Definition("Leaf"), Definition("Tree", {Reference("Leaf")})}));
  const std::string nowhere = dir.Path("no-such-folder/out.pvx");
  const std::string version5 = Write("v5.pvx", Header('5'));
#ifndef _WIN32
  const std::string pipe = dir.Path("pipe");  // no writer: opening it must not wait for one
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
#endif
  const std::string nothing = Write("no.wmf", Wmf().End().Data());
  // Another program holds this file locked, as a runebin-cli run does from load to write-back.
  const std::string locked = Write("locked.pvx", Drawing({Definition("B"), Definition("A")}));
  const FileHeldElsewhere holder(locked);
  ASSERT_TRUE(holder.Holds());
  const FileState fileBefore = StateOf(file), toBefore = StateOf(to),
                  catalogBefore = StateOf(catalog);
  const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
      {{"rename", file, "tree", "Oak"}, "No symbol named \"tree\" in file \"" + file + "\""},
      {{"delete", file, "#2"}, "No symbol named \"#2\" in file \"" + file + "\""},
      {{"new", dir.Path("n.pvs"), file}, "\"" + file + "\" already exists"},
      {{"rename", file, "Oak", "Tree"},
       "There is already a symbol named\n\"Tree\"\nin file\n\"" + file +
           "\".\nUse --force to rename anyway."},
      {{"purge", "--dry-run", catalog},
       "\"" + catalog +
           "\" places none of its symbols: purge would delete all 2 symbols.\nUse --force to "
           "delete them."},
      {{"copy", file, file, "Tree"}, "Can't open the same file twice"},
      {{"copy", file, to, "Oak", "Elm"}, "No symbol named \"Elm\" in file \"" + file + "\""},
      {{"copy", to, dir.Path(".") + "/to.pvx", "Tree"}, "Can't open the same file twice"},
      {{"copy", file, version5, "Tree"}, "\"" + version5 + "\" is not a version 6 Korvel file"},
      {{"copy", file, to, "Tree"},
       "There is already a symbol named\n\"Tree\"\nin file\n\"" + to +
           "\".\nUse --replace to replace it."},
      // Also a name an earlier WMF of the run gave: nothing is written.
      {{"import", file, nothing, dir.Path("Oak.wmf"), "--allow-empty"},
       "There is already a symbol named\n\"Oak\"\nin file\n\"" + file +
           "\".\nUse --replace to replace it, or --skip-existing to keep it."},
      {{"import", file, nothing, dir.Path("sub/no.emf"), "--allow-empty"},
       "There is already a symbol named\n\"no\"\nin file\n\"" + file +
           "\".\nUse --replace to replace it, or --skip-existing to keep it."},
#ifndef _WIN32  // Windows has no named pipes in the file system to open by path
      {{"list", pipe}, "Error Opening file \"" + pipe + "\": Not a regular file"},
#endif
      {{"import", file, nothing},
       "\"" + nothing +
           "\" contains nothing that can be imported\nUse --allow-empty to import it anyway."},
      {{"sort", locked}, "Error Opening file \"" + locked + "\": in use by another program"},
      {{"list", dir.Path("")}, "Error Opening file \"" + dir.Path("") + "\": Is a directory"},
      {{"rename", file, "Tree", "Elm", "--output", nowhere},
       "Can't write to file \"" + nowhere + "\": No such file or directory"},
      {{"render", file, "Tree", "-o", nowhere},
       "Can't write to file \"" + nowhere + "\": No such file or directory"},
      {{"import", file, nowhere},
       "Error opening file \"" + nowhere + "\": No such file or directory"},
  };
  for (const auto& [arguments, message] : rows) {
    SCOPED_TRACE(message);
    ExpectFailure(arguments, message);
  }
  EXPECT_EQ(StateOf(file), fileBefore);
  EXPECT_EQ(StateOf(to), toBefore);
  EXPECT_EQ(StateOf(catalog), catalogBefore);
  EXPECT_EQ(ReadFileBytes(dir.Path("n.pvs")), Drawing({}));  // the other FILEs are still written
#ifndef _WIN32
  // Output that cannot be written fails too, with the reason.
  ASSERT_EQ(RunProgram(RUNEBIN_CLI_PATH, {"list", file}, "/dev/full", dir.Path("err")), 1);
  const std::string full = "runebin-cli: Can't write the output: No space left on device\n";
  EXPECT_EQ(ReadFileBytes(dir.Path("err")), Bytes(full.begin(), full.end()));
#endif
  // A delete that leaves references placing nothing succeeds, and says how to remove those at
  // the top level.
  const CliResult deleted = RunCli({"delete", file, "Tree"});
  EXPECT_EQ(deleted.exitCode, 0);
  EXPECT_EQ(deleted.err,
            "runebin-cli: Warning: 1 references to \"Tree\" now place nothing.\nUse runebin-cli "
            "delete " +
                file +
                " Tree --references to remove them.\nrunebin-cli: Warning: 1 symbols or groups "
                "that place \"Tree\" from inside now draw without it.\n");
}

}  // namespace
}  // namespace runebin::testing
