#include <filesystem>

#include "model/NamedEntity.h"
#include "tests/app/AppTest.h"

namespace runebin::testing {
namespace {

// Real metafiles from the shared corpus; the tests that need one skip without it.
std::string CorpusFile(const std::string& name) {
  return std::string(RUNEBIN_WMF_CORPUS) + "/" + name;
}

class ImportCommand : public AppTest {
 protected:
  void SetUp() override {
    file1 = WriteDrawing("file1.pvx", {Definition("Tree"), Reference("Tree")});
    Open1(file1);
  }
  // Presses File 1's Import, chooses `path` and then answers the WMF Import dialog as
  // `answerDialog` scripts it.
  template <typename Script>
  void Import(const std::string& path, Script answerDialog) {
    ui.ChooseFile(path);
    answerDialog();
    Press(ids::kImport1);
  }
  std::string file1;
};

#define REQUIRE_CORPUS(name)                                               \
  if (!std::filesystem::exists(CorpusFile(name))) {                        \
    GTEST_SKIP() << "metafile corpus not found at " << RUNEBIN_WMF_CORPUS; \
  }

TEST_F(ImportCommand, AppendsTheMetafileAsANewUnusedSymbol) {
  REQUIRE_CORPUS("wmfjs-rect.wmf");
  const auto path = CorpusFile("wmfjs-rect.wmf");
  Import(path, [&] { ui.EnterWmfImport("Box", std::nullopt); });
  ASSERT_EQ(ui.fileDialogs.size(), 2U);
  EXPECT_EQ(ui.fileDialogs[1].title, "Import WMF File as Symbol");
  EXPECT_EQ(ui.fileDialogs[1].filter, "Windows Metafile (*.wmf)|*.wmf||");
  EXPECT_EQ(ui.fileDialogs[1].defaultExtension, ".wmf");
  ASSERT_EQ(ui.importDialogs.size(), 1U);
  EXPECT_EQ(ui.importDialogs[0].name, "wmfjs-rect.wmf");  // the name without its folder
  EXPECT_EQ(ui.importDialogs[0].maxSizeText, "100");
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree", "Box"}));
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
  Select(ids::kList1, 1);
  EXPECT_EQ(Text(ids::kDetails).substr(0, 13), "Used 0 times\n");
}

TEST_F(ImportCommand, TheConfirmedMaxSizeScalesTheSymbol) {
  REQUIRE_CORPUS("wmfjs-rect.wmf");
  const auto path = CorpusFile("wmfjs-rect.wmf");
  Import(path, [&] { ui.EnterWmfImport("Big", "100"); });
  Import(path, [&] { ui.EnterWmfImport("Small", "50"); });
  ASSERT_EQ(dialog.Pane1().drawing.symbolDefs.GetSize(), 3);
  float width[2];
  for (int i = 0; i < 2; ++i) {
    float lowX, lowY, highX, highY;
    dialog.Pane1().drawing.symbolDefs.GetAt(1 + i).GetExtents(lowX, lowY, highX, highY);
    width[i] = highX - lowX;
  }
  EXPECT_GT(width[1], 0.0F);
  EXPECT_FLOAT_EQ(width[0], 2 * width[1]);
}

TEST_F(ImportCommand, SameMetafileTwiceGivesTwoDefinitions) {
  REQUIRE_CORPUS("wmfjs-ellipse.wmf");
  Import(CorpusFile("wmfjs-ellipse.wmf"), [&] { ui.EnterWmfImport("Egg", std::nullopt); });
  Import(CorpusFile("wmfjs-ellipse.wmf"), [&] { ui.EnterWmfImport("Egg", std::nullopt); });
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree", "Egg", "Egg"}));
}

TEST_F(ImportCommand, MaxSizeZeroIsAcceptedAndGivesAPoint) {
  REQUIRE_CORPUS("wmfjs-rect.wmf");
  Import(CorpusFile("wmfjs-rect.wmf"), [&] { ui.EnterWmfImport(std::nullopt, "0"); });
  ASSERT_EQ(dialog.Pane1().drawing.symbolDefs.GetSize(), 2);
  float lowX, lowY, highX, highY;
  dialog.Pane1().drawing.symbolDefs.GetAt(1).GetExtents(lowX, lowY, highX, highY);
  EXPECT_EQ(highX - lowX, 0.0F);
  EXPECT_EQ(highY - lowY, 0.0F);
  EXPECT_EQ(dialog.LastMaxSize(), 0.0F);
}

TEST_F(ImportCommand, CancelsChangeNothingNotEvenTheMaxSize) {
  ui.CancelFileDialog();
  Press(ids::kImport1);
  Import(dir.Write("x.wmf", Bytes(40, 1)), [&] { ui.CancelWmfImport(); });
  EXPECT_EQ(dialog.LastMaxSize(), 100.0F);
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree"}));
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ImportCommand, FailuresHaveTheirMessagesAndLeaveFile1Alone) {
  const auto drawing = WriteDrawing("notmeta.pvx", {Definition("x")});
  const auto empty = dir.Write("empty.wmf", {});
  const auto missing = dir.Path("missing.wmf");
  for (const auto& path : {drawing, empty, missing}) {
    Import(path, [&] { ui.EnterWmfImport(std::nullopt, std::nullopt); });
  }
  EXPECT_EQ(Messages(), (Names{"Unknown file type for \"" + drawing + "\"",
                               "Error reading from file \"" + empty + "\"",
                               "Error opening file \"" + missing + "\""}));
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree"}));
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
}

TEST_F(ImportCommand, LastMaxSizeIsOfferedNextEvenAfterAFailure) {
  const auto notMeta = dir.Write("bad.wmf", Bytes(64, 7));
  Import(notMeta, [&] { ui.EnterWmfImport(std::nullopt, "25"); });
  Import(notMeta, [&] { ui.CancelWmfImport(); });
  ASSERT_EQ(ui.importDialogs.size(), 2U);
  EXPECT_EQ(ui.importDialogs[0].maxSizeText, "100");
  EXPECT_EQ(ui.importDialogs[1].maxSizeText, "25");
  EXPECT_EQ(dialog.LastMaxSize(), 25.0F);
}

TEST_F(ImportCommand, DialogRefusesBadInputUntilCorrected) {
  const auto notMeta = dir.Write("bad.wmf", Bytes(64, 7));
  Import(notMeta, [&] {
    ui.EnterWmfImport(std::nullopt, "big");
    ui.EnterWmfImport(std::nullopt, "100000001");
    ui.EnterWmfImport(std::string(32, 'n'), "12.5");
    ui.EnterWmfImport(std::string(31, 'n'), "12.5");
  });
  EXPECT_EQ(Messages(),
            (Names{"Please enter a number.", "Please enter a number between 0 and 100000000.",
                   "Please enter no more than 31 characters.",
                   "Unknown file type for \"" + notMeta + "\""}));
  ASSERT_EQ(ui.refusals.size(), 3U);
  EXPECT_EQ(ui.refusals[0].controlId, ids::kImportMaxSize);
  EXPECT_EQ(ui.refusals[2].controlId, ids::kImportName);
  EXPECT_EQ(dialog.LastMaxSize(), 12.5F);
}

}  // namespace
}  // namespace runebin::testing
