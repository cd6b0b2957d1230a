// copy between two files, and import of Windows Metafiles.

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/cli/CliTest.h"

namespace runebin::testing {
namespace {

class CliCopy : public CliTest {
 protected:
  // The copied definition carries a nested reference and extents, so that a byte comparison
  // shows the whole group travelled.
  const Bytes tree = Definition("Tree", {Reference("Leaf"), Record(9)}, {0, 0, 4, 8});
  std::string from = Write("from.pvs", Drawing({Definition("Rock"), tree, Reference("Tree")}));
};

TEST_F(CliCopy, AppendsTheDefinitionAndLeavesTheSourceAlone) {
  const std::string to = Write("to.pvx", Drawing({Definition("tree"), Reference("tree")}));
  const FileState fromBefore = StateOf(from);
  const CliResult result = RunCli({"copy", from, to, "Tree"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  // A name differing only in case is another symbol: the copy goes beside it.
  EXPECT_EQ(ReadFileBytes(to), Drawing({Definition("tree"), tree, Reference("tree")}));
  EXPECT_EQ(StateOf(from), fromBefore);
}

TEST_F(CliCopy, ExistingNameNeedsReplaceAndThenKeepsItsPlace) {
  const std::string to =
      Write("to.pvx", Drawing({Definition("Tree"), Definition("Elm"), Reference("Tree")}));
  const FileState toBefore = StateOf(to);
  ExpectFailure(RunCli({"copy", from, to, "Tree"}),
                "There is already a symbol named\n\"Tree\"\nin file\n\"" + to +
                    "\".\nUse --replace to replace it.");
  EXPECT_EQ(StateOf(to), toBefore);

  const CliResult replaced = RunCli({"copy", from, to, "Tree", "--replace"});
  EXPECT_EQ(replaced.exitCode, 0);
  EXPECT_EQ(replaced.out, "");
  EXPECT_EQ(ReadFileBytes(to), Drawing({tree, Definition("Elm"), Reference("Tree")}));
}

TEST_F(CliCopy, OutputLeavesBothFilesAlone) {
  const std::string to = Write("to.pvx", Drawing({Definition("Elm")}));
  const FileState toBefore = StateOf(to);
  const FileState fromBefore = StateOf(from);
  const std::string output = dir.Path("out.pvx");
  ASSERT_EQ(RunCli({"copy", from, to, "Tree", "--output", output}).exitCode, 0);
  EXPECT_EQ(ReadFileBytes(output), Drawing({Definition("Elm"), tree}));
  EXPECT_EQ(StateOf(to), toBefore);
  EXPECT_EQ(StateOf(from), fromBefore);
}

TEST_F(CliCopy, RefusesUnknownNamesUnreadableFilesAndTheSameFileTwice) {
  const std::string to = Write("to.pvx", Drawing({Definition("Elm")}));
  const FileState toBefore = StateOf(to);
  ExpectFailure(RunCli({"copy", from, to, "Elm"}),
                "No symbol named \"Elm\" in file \"" + from + "\"");
  ExpectFailure(RunCli({"copy", from, from, "Tree"}), "Can't open the same file twice");
  const std::string missing = dir.Path("missing.pvx");
  ExpectFailure(RunCli({"copy", from, missing, "Tree"}), "Error Opening file \"" + missing + "\"");
  ExpectFailure(RunCli({"copy", missing, to, "Tree"}), "Error Opening file \"" + missing + "\"");
  EXPECT_EQ(StateOf(to), toBefore);
}

class CliImport : public CliTest {
 protected:
  std::string drawing = Write("a.pvx", Drawing({Definition("tri.wmf"), Reference("Rock")}));
};

TEST_F(CliImport, AppendsANewSymbolNamedAfterTheMetafile) {
  const std::string wmf = Write("tri.wmf", TriangleMetafile());
  const CliResult result = RunCli({"import", drawing, wmf, "--max-size", "10"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  // The larger side becomes 10 units; the extents are the box times Max Size. A name already in
  // the file is not refused: the file now has two.
  EXPECT_EQ(RunCli({"list", drawing}).out,
            "0\ttri.wmf\t0\t0.00\t0.00\n1\ttri.wmf\t0\t1000.00\t500.00\n");
}

TEST_F(CliImport, NameAndMaxSizeOptions) {
  const std::string wmf = Write("tri.wmf", TriangleMetafile());
  ASSERT_EQ(RunCli({"import", drawing, wmf, "--name", "Triangle"}).exitCode, 0);
  ASSERT_EQ(RunCli({"import", drawing, wmf, "--name=Flat", "--max-size=0"}).exitCode, 0);
  EXPECT_EQ(RunCli({"list", drawing}).out,
            "0\ttri.wmf\t0\t0.00\t0.00\n"
            "1\tTriangle\t0\t10000.00\t5000.00\n"
            "2\tFlat\t0\t0.00\t0.00\n");
}

TEST_F(CliImport, FailuresHaveTheWindowsMessagesAndChangeNothing) {
  const FileState before = StateOf(drawing);
  const std::string missing = dir.Path("missing.wmf");
  ExpectFailure(RunCli({"import", drawing, missing}), "Error opening file \"" + missing + "\"");
  const std::string empty = Write("empty.wmf", {});
  ExpectFailure(RunCli({"import", drawing, empty}), "Error reading from file \"" + empty + "\"");
  // A drawing file is not a metafile.
  ExpectFailure(RunCli({"import", drawing, drawing}), "Unknown file type for \"" + drawing + "\"");
  EXPECT_EQ(StateOf(drawing), before);

  const std::string wmf = Write("tri.wmf", TriangleMetafile());
  const std::string missingDrawing = dir.Path("missing.pvx");
  ExpectFailure(RunCli({"import", missingDrawing, wmf}),
                "Error Opening file \"" + missingDrawing + "\"");
}

TEST_F(CliImport, EveryMetafileOfTheCorpusImports) {
  const std::filesystem::path corpus = RUNEBIN_WMF_CORPUS;
  if (!std::filesystem::is_directory(corpus)) {
    GTEST_SKIP() << "no metafile corpus at " << corpus;
  }
  int imported = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (entry.path().extension() != ".wmf") {
      continue;
    }
    SCOPED_TRACE(entry.path().string());
    const CliResult result = RunCli({"import", drawing, entry.path().string(), "--name", "corpus"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    ++imported;
  }
  ASSERT_GT(imported, 0);
  // Each import added one definition; the file still loads and lists them all.
  const CliResult listed = RunCli({"list", drawing});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), imported + 1);
}

}  // namespace
}  // namespace runebin::testing
