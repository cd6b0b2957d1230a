// list and entities, refused files, and commands over several files.

#include <string>

#include "tests/cli/CliTest.h"

namespace runebin::testing {
namespace {

using CliList = CliTest;

TEST_F(CliList, PrintsIndexNameUseCountWidthAndHeightPerDefinition) {
  const std::string file =
      Write("a.pvs", Drawing({Definition("Tree", {}, {0, 0, 12.5F, 3}),
                              Definition("Rock", {}, {5, 1, 2, 1}),  // high below low
                              Definition("Tree", {}, {-1, -2, 1, 2}), Reference("Tree"),
                              Reference("Tree"), Reference("tree"), Reference("Rock")}));
  const FileState before = StateOf(file);
  const CliResult result = RunCli({"list", file});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  // References count for the last definition of their name, compared case-sensitively.
  EXPECT_EQ(result.out,
            "0\tTree\t0\t12.50\t3.00\n"
            "1\tRock\t1\t-3.00\t0.00\n"
            "2\tTree\t2\t2.00\t4.00\n");
  EXPECT_EQ(StateOf(file), before);
}

TEST_F(CliList, SubtractsTheStoredFloatsAndPrintsNamesAsRawBytes) {
  // 1048576.125 - (-0.06) is 1048576.185 exactly, but 1048576.125 as a float: the width is the
  // float difference, as the window shows it.
  const std::string file =
      Write("a.pvs", Drawing({Definition("Caf\xE9", {}, {-0.06F, 0, 1048576.125F, 0})}));
  const CliResult result = RunCli({"list", file});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "0\tCaf\xE9\t0\t1048576.12\t0.00\n");
}

using CliEntities = CliTest;

TEST_F(CliEntities, PrintsTheListingWithLineFeedsOnly) {
  const std::string file = Write("a.pvx", Drawing({TypeZero(3), Definition("A", {Reference("B")}),
                                                   Record(9), Reference("A"), Record(255)}));
  const CliResult result = RunCli({"entities", file});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "     #      Type   SubType\n"
            "     0         0         3\n"
            "     1        28         0\n"
            "     2         9         0\n"
            "     3        29         0\n"
            "     4       255         0\n");
}

using CliRefusedFile = CliTest;

TEST_F(CliRefusedFile, EachLoadResultHasTheWindowsMessage) {
  const std::string missing = dir.Path("missing.pvx");
  ExpectFailure(RunCli({"list", missing}), "Error Opening file \"" + missing + "\"");

  const std::string text = Write("notes.txt", {'h', 'e', 'l', 'l', 'o'});
  ExpectFailure(RunCli({"sort", text}), "\"" + text + "\" does not appear to be a Korvel file");

  const std::string old = Write("old.pvx", Drawing({Definition("A")}));
  auto bytes = ReadFileBytes(old);
  bytes[26] = '5';
  Write("old.pvx", bytes);
  ExpectFailure(RunCli({"rename", old, "A", "B"}),
                "\"" + old + "\" is not a version 6 Korvel file");
  EXPECT_EQ(ReadFileBytes(old), bytes);

  const std::string packed = Write("packed.pvx", Header('6', 1));
  ExpectFailure(
      RunCli({"entities", packed}),
      "\"" + packed +
          "\" is a compressed Korvel file,\n"
          "which can't be processed by this program.\n"
          "\n"
          "You can save the file as an uncompressed file by:\n"
          "   loading it into Korvel,\n"
          "   selecting Tools>>Options to bring up the Options dialog,\n"
          "   clicking the PVX,PVT,PVS button to bring up the Korvel PVX Drawing Options dialog,\n"
          "   deselecting the File compression checkbox,\n"
          "   clicking OK to dismiss the Korvel PVX Drawing Options dialog,\n"
          "   clicking OK to dismiss the Options dialog, and\n"
          "   saving the file. It will be uncompressed.");
}

using CliManyFiles = CliTest;

TEST_F(CliManyFiles, HeadsEachFilesOutputAndGoesOnAfterAFailure) {
  const std::string a = Write("a.pvs", Drawing({Definition("A")}));
  const std::string missing = dir.Path("missing.pvs");
  const std::string b = Write("b.pvs", Drawing({Definition("B"), Reference("B")}));
  const CliResult result = RunCli({"list", a, missing, b});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "==> " + a + " <==\n0\tA\t0\t0.00\t0.00\n==> " + missing + " <==\n==> " +
                            b + " <==\n0\tB\t1\t0.00\t0.00\n");
  EXPECT_EQ(result.err, "Error Opening file \"" + missing + "\"\n");
}

TEST_F(CliManyFiles, PurgeRewritesOnlyTheFilesItChanged) {
  const std::string changed =
      Write("a.pvs", Drawing({Definition("Old"), Definition("Used"), Reference("Used")}));
  const std::string same = Write("b.pvs", Drawing({Definition("Used"), Reference("Used")}));
  const FileState sameBefore = StateOf(same);
  const CliResult result = RunCli({"purge", changed, same});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "==> " + changed + " <==\n1 symbols deleted\n==> " + same +
                            " <==\n0 symbols deleted\n");
  EXPECT_EQ(ReadFileBytes(changed), Drawing({Definition("Used"), Reference("Used")}));
  EXPECT_EQ(StateOf(same), sameBefore);
}

}  // namespace
}  // namespace runebin::testing
