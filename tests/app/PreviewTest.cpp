// The preview frame follows the selection: the symbol's shapes, its extents' outline when it
// draws nothing, empty without a selection; its description for assistive tools.
#include "render/DisplayList.h"
#include "tests/app/AppTest.h"
#include "tests/metafile/SymbolBytes.h"

namespace runebin::testing {
namespace {

using Preview = AppTest;

TEST_F(Preview, FollowsTheSelection) {
  const Bytes square = PathRec(167, 1, 1, true, {0, 0, 10, 0, 10, 5});
  Open1(WriteDrawing("a.pvx", {Definition("Tree", {square, Reference("Oak"), Record(5, Bytes(4))}),
                               Definition("Box", {Record(5, Bytes(4))}, {1, 2, 4, 3}),
                               Definition("Dot"), Reference("Tree")}));
  const struct {
    int line;
    std::string description;
    std::size_t vertices;
  } rows[] = {
      {0, "Preview of symbol \"Tree\": 1 shape drawn, 2 records not drawn", 3},
      {1, "Preview of symbol \"Box\": nothing drawable, its extents outlined, 1 record not drawn",
       4},
      {2, "Preview of symbol \"Dot\": nothing drawable, 0 records not drawn", 0},
      {-1, "No symbol selected", 0},
  };
  for (const auto& row : rows) {
    Select(ids::kList1, row.line);
    EXPECT_EQ(ui.PictureDescription(ids::kPreview), row.description);
    const DisplayList* picture = ui.Picture(ids::kPreview);
    ASSERT_EQ(picture != nullptr, row.line >= 0);
    EXPECT_EQ(picture ? picture->vertices.size() : 0, row.vertices);
  }
  Select(ids::kList1, 1);
  EXPECT_EQ(ui.Picture(ids::kPreview)->bounds.maxX, 4);  // the outline is the extents
  Press(ids::kOpenClose1);                               // closing the file empties the frame
  EXPECT_EQ(ui.Picture(ids::kPreview), nullptr);
}

}  // namespace
}  // namespace runebin::testing
