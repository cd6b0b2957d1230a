// sort, rename, delete and purge, and how every changing command writes its result back.

#include <sys/stat.h>

#include <string>

#include "tests/cli/CliTest.h"

namespace runebin::testing {
namespace {

using CliSort = CliTest;

TEST_F(CliSort, SortsByBytesAndRewritesTheFile) {
  const std::string file =
      Write("a.pvs", Drawing({Definition("b"), Definition("B"), Definition("a"), Definition("A")}));
  const CliResult result = RunCli({"sort", file});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(ReadFileBytes(file),
            Drawing({Definition("A"), Definition("B"), Definition("a"), Definition("b")}));
}

TEST_F(CliSort, FileAlreadyInOrderIsNotRewritten) {
  const std::string file =
      Write("a.pvs", Drawing({Definition("A"), Definition("B"), Reference("A")}));
  const FileState before = StateOf(file);
  const CliResult result = RunCli({"sort", file});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(StateOf(file), before);
}

TEST_F(CliSort, OutputIsWrittenEvenWhenNothingChangedAndTheFileIsLeftAlone) {
  const Bytes sorted = Drawing({Definition("A"), Definition("B")});
  const std::string file = Write("a.pvs", sorted);
  const FileState before = StateOf(file);
  const std::string output = dir.Path("copy.pvs");
  const CliResult result = RunCli({"sort", file, "--output", output});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(output), sorted);
  EXPECT_EQ(StateOf(file), before);
}

using CliWriteBack = CliTest;

TEST_F(CliWriteBack, FailedWriteIsReportedAndLeavesTheFileAsItWas) {
  const std::string file = Write("a.pvs", Drawing({Definition("B"), Definition("A")}));
  ::chmod(file.c_str(), 0444);  // read-only on disk: refused, never replaced
  const FileState before = StateOf(file);
  ExpectFailure(RunCli({"sort", file}), "Can't write to file \"" + file + "\".");
  EXPECT_EQ(StateOf(file), before);

  const std::string nowhere = dir.Path("no-such-folder/out.pvs");
  ExpectFailure(RunCli({"purge", file, "--output", nowhere}),
                "Can't write to file \"" + nowhere + "\".");
  EXPECT_EQ(StateOf(file), before);
}

TEST_F(CliWriteBack, ReportFollowsOnlyASuccessfulWrite) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree"), Reference("Tree")}));
  ::chmod(file.c_str(), 0444);
  ExpectFailure(RunCli({"rename", file, "Tree", "Oak"}), "Can't write to file \"" + file + "\".");
}

using CliRename = CliTest;

TEST_F(CliRename, RenamesTheDefinitionAndItsReferencesAndReportsThem) {
  const std::string file = Write(
      "a.pvx", Drawing({Definition("Rock"), Definition("Tree"), Reference("Tree"),
                        Reference("tree"), Reference("Tree"), Group(17, {Reference("Tree")})}));
  const CliResult result = RunCli({"rename", file, "Tree", "Oak"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "3 references renamed from\n\"Tree\" to\n\"Oak\".\n");
  EXPECT_EQ(ReadFileBytes(file),
            Drawing({Definition("Rock"), Definition("Oak"), Reference("Oak"), Reference("tree"),
                     Reference("Oak"), Group(17, {Reference("Oak")})}));
}

TEST_F(CliRename, UnreferencedSymbolIsRenamedWithoutReport) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree")}));
  const CliResult result = RunCli({"rename", file, "Tree", ""});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  // The name field keeps the bytes behind the new terminating zero.
  EXPECT_EQ(ReadFileBytes(file), Drawing({Definition(std::string_view("\0ree", 4))}));
  EXPECT_EQ(RunCli({"list", file}).out, "0\t\t0\t0.00\t0.00\n");
}

TEST_F(CliRename, PicksTheLastDefinitionOfTheName) {
  const std::string file =
      Write("a.pvs",
            Drawing({Definition("Tree", {}, {0, 0, 1, 1}), Definition("Tree", {}, {0, 0, 2, 2})}));
  ASSERT_EQ(RunCli({"rename", file, "Tree", "Oak"}).exitCode, 0);
  EXPECT_EQ(ReadFileBytes(file),
            Drawing({Definition("Tree", {}, {0, 0, 1, 1}), Definition("Oak", {}, {0, 0, 2, 2})}));
}

TEST_F(CliRename, UnknownNameFailsAndLeavesTheFileAlone) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree")}));
  const FileState before = StateOf(file);
  ExpectFailure(RunCli({"rename", file, "tree", "Oak"}),
                "No symbol named \"tree\" in file \"" + file + "\"");
  EXPECT_EQ(StateOf(file), before);
}

using CliDelete = CliTest;

TEST_F(CliDelete, WithReferencesRemovesThemAndReportsHowMany) {
  const std::string file =
      Write("a.pvx",
            Drawing({Definition("Tree"), Definition("Rock"), Reference("Tree"), Reference("Rock"),
                     Reference("Tree"), Reference("TREE"), Reference("Tree")}));
  const CliResult result = RunCli({"delete", file, "Tree", "--references"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "3 references to symbol \"Tree\" removed.\n");
  EXPECT_EQ(ReadFileBytes(file),
            Drawing({Definition("Rock"), Reference("Rock"), Reference("TREE")}));
}

TEST_F(CliDelete, WithoutReferencesKeepsThemSilently) {
  const std::string file = Write("a.pvx", Drawing({Definition("Tree"), Reference("Tree")}));
  const CliResult result = RunCli({"delete", file, "Tree"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(ReadFileBytes(file), Drawing({Reference("Tree")}));
}

TEST_F(CliDelete, UnreferencedSymbolReportsNoReferencesFound) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree"), Definition("Rock")}));
  const CliResult result = RunCli({"delete", file, "Tree", "--references"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "No references found\n");
  EXPECT_EQ(ReadFileBytes(file), Drawing({Definition("Rock")}));
}

TEST_F(CliDelete, OutputKeepsTheFileAndUnknownNameFails) {
  const std::string file = Write("a.pvs", Drawing({Definition("Tree"), Definition("Rock")}));
  const FileState before = StateOf(file);
  const std::string output = dir.Path("out.pvs");
  ASSERT_EQ(RunCli({"delete", file, "Rock", "--output", output}).exitCode, 0);
  EXPECT_EQ(ReadFileBytes(output), Drawing({Definition("Tree")}));
  EXPECT_EQ(StateOf(file), before);

  ExpectFailure(RunCli({"delete", file, "Elm"}),
                "No symbol named \"Elm\" in file \"" + file + "\"");
  EXPECT_EQ(StateOf(file), before);
}

using CliPurge = CliTest;

TEST_F(CliPurge, DeletesWhatNothingPlacesAndKeepsTheOrder) {
  const Bytes leaf = Definition("Leaf");
  const std::string file =
      Write("a.pvx", Drawing({Definition("A"), Definition("Tree", {Reference("Leaf")}),
                              Definition("B"), Definition("C"), leaf, Definition("Rock"),
                              Reference("Tree"), Group(18, {Reference("Rock")})}));
  const CliResult result = RunCli({"purge", file});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "3 symbols deleted\n");
  // Leaf is placed only inside Tree, which stays; Rock only from a group record.
  EXPECT_EQ(ReadFileBytes(file),
            Drawing({Definition("Tree", {Reference("Leaf")}), leaf, Definition("Rock"),
                     Reference("Tree"), Group(18, {Reference("Rock")})}));
}

TEST_F(CliPurge, NothingUnusedReportsZeroAndDoesNotRewrite) {
  const std::string file = Write("a.pvs", Drawing({Definition("A"), Reference("A")}));
  const FileState before = StateOf(file);
  const CliResult result = RunCli({"purge", file});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "0 symbols deleted\n");
  EXPECT_EQ(StateOf(file), before);
}

}  // namespace
}  // namespace runebin::testing
