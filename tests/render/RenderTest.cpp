// Display lists of hand-built and imported symbols, and their SVG read back with an XML parser.

#include <expat.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "metafile/HostPalette.h"
#include "render/SvgWriter.h"
#include "tests/metafile/SymbolBytes.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// Drawn shapes in short ("P167f" a filled path in colour 167, "E0" an ellipse outline), the
// counts, and the bounds.
std::string Describe(const DisplayList& list) {
  std::string out;
  for (const runebin::Shape& s : list.shapes) {
    out += (s.kind == ShapeKind::Path ? (s.closed ? "P" : "p") : "E") +
           std::to_string(s.colourIndex) + (s.filled ? "f " : " ");
  }
  out += "| " + std::to_string(list.notDrawn) + " " + std::to_string(list.nestedReferences) +
         (list.damaged ? " damaged" : "") + (list.truncated ? " truncated" : "");
  if (!list.bounds.empty) {
    char box[96];
    std::snprintf(box, sizeof box, " [%g %g %g %g]", list.bounds.minX, list.bounds.minY,
                  list.bounds.maxX, list.bounds.maxY);
    out += box;
  }
  return out;
}

TEST(DisplayList, HandBuiltRecords) {
  const Bytes square = PathRec(167, 1, 1, true, {0, 0, 10, 0, 10, 5});
  const Bytes line = PathRec(1, 0, 2, false, {-2, 1, 3, 4});
  Bytes cutPath = PathRec(4, 0, 3, true, {0, 0, 1, 1});
  PutU16(&cutPath[38], 3);  // says 3 vertices, holds 2
  Bytes nanPath = PathRec(4, 0, 3, true, {0, 0, 1, 1});
  PutF32(&nanPath[46], std::numeric_limits<float>::infinity());
  const Bytes symbolDrawing = Definition("s", {square});
  const struct {
    std::vector<Bytes> content;
    std::string expected;
    RenderLimits limits = {};
  } rows[] = {
      {{square, line}, "P167f p1 | 0 0 [-2 0 10 5]"},
      {{PathRec(3, 0, 1, true, {})}, "| 1 0"},  // zero vertices draw nothing
      // half-axes 4 x 2 and 2 x 4 around (10, 10): smaller half-axis and width / height
      {{EllipseRec(5, 1, 1, {10, 10, 2, 4 / 2.00001F})}, "E5f | 0 0 [6 8 14 12]"},
      {{EllipseRec(5, 0, 1, {10, 10, 2, 2 / 4.00001F})}, "E5 | 0 0 [8 6 12 14]"},
      {{EllipseRec(5, 0, 1, {10, 10, 0, 0})}, "| 1 0"},         // no width: its height is lost
      {{EllipseRec(5, 0, 1, {3e38F, 0, 10, 1e38F})}, "| 1 0"},  // wider than a float
      {{Record(5, Bytes(20)), TypeZero(2), Record(28, Bytes(83))}, "| 3 0"},
      {{GroupRec(9, 1, square), Reference("r"), Group(18, {Reference("q"), line})},
       "P167f p1 | 0 2 [-2 0 10 5]"},
      {{symbolDrawing}, "P167f | 1 0 [0 0 10 5]"},  // a nested definition is not drawn itself
      {{cutPath, nanPath, line}, "p1 | 2 0 [-2 1 3 4]"},
      {{square, line}, "P167f | 0 0 truncated [0 0 10 5]", {.maxVertices = 4}},
      {{square, line}, "P167f | 0 0 truncated [0 0 10 5]", {.maxRecords = 2}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Describe(BuildDisplayList(Definition("t", row.content), row.limits)), row.expected);
  }
  // Cut in the middle of the line, and before the closing marker.
  const Bytes whole = Definition("t", {square, line});
  for (const std::size_t cut : {whole.size() - 10, whole.size() - 1}) {
    EXPECT_EQ(Describe(BuildDisplayList(std::span(whole).first(cut))),
              cut == whole.size() - 1 ? "P167f p1 | 0 0 damaged [-2 0 10 5]"
                                      : "P167f | 0 0 damaged [0 0 10 5]");
  }
}

// Every real metafile's import draws whole, within its bounds, nothing cut short or damaged.
TEST(DisplayList, ImportedRealMetafilesDrawWhole) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(RUNEBIN_CORPUS_DIR)) {
    if (entry.path().extension() == ".wmf" && ++files > 0) {
      std::unique_ptr<SymbolDef> symbol;
      ASSERT_EQ(ImportMetafile(entry.path().string(), "t", 100, symbol), ImportResult::Succeeded);
      const DisplayList list = BuildDisplayList(*symbol);
      EXPECT_EQ(list.bounds.empty, list.shapes.empty()) << entry.path();
      for (const Point& p : list.vertices) {  // the bounds are those of the drawn vertices
        EXPECT_TRUE(p.x >= list.bounds.minX && p.x <= list.bounds.maxX && p.y >= list.bounds.minY &&
                    p.y <= list.bounds.maxY)
            << entry.path();
      }
      EXPECT_FALSE(list.damaged || list.truncated || list.nestedReferences) << entry.path();
    }
  }
  EXPECT_GT(files, 10);
}

// Elements and their paint, read back with expat; a document that is not well formed fails.
struct SvgSeen {
  std::map<std::string, int> count;  // elements, and "fill=#RRGGBB" and the like
  std::string text;
};

SvgSeen ReadSvg(const std::string& svg) {
  SvgSeen seen;
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetUserData(parser, &seen);
  XML_SetStartElementHandler(parser, [](void* data, const char* name, const char** attributes) {
    auto& count = static_cast<SvgSeen*>(data)->count;
    ++count[name];
    for (int i = 0; attributes[i]; i += 2) {
      const std::string key = attributes[i];
      if (key == "fill" || key == "stroke" || key == "viewBox") {
        ++count[key + "=" + attributes[i + 1]];
      }
    }
  });
  XML_SetCharacterDataHandler(parser, [](void* data, const char* text, int length) {
    static_cast<SvgSeen*>(data)->text.append(text, length);
  });
  EXPECT_EQ(XML_Parse(parser, svg.data(), static_cast<int>(svg.size()), 1), XML_STATUS_OK) << svg;
  XML_ParserFree(parser);
  return seen;
}

TEST(Svg, ElementsColoursAndUprightViewBox) {
  const Bytes symbol = Definition(
      "t", {PathRec(167, 1, 1, true, {0, 0, 10, 0, 10, 5}), PathRec(0, 0, 2, true, {0, 0, 10, 5}),
            EllipseRec(15, 0, 3, {5, 10, 2, 1}), Record(5, Bytes(4))});
  const std::string svg =
      WriteSvg(BuildDisplayList(symbol), {.size = 100, .title = "A<&>\"\x01\xC3\xA9"});
  const auto seen = ReadSvg(svg).count;
  EXPECT_EQ(seen.at("svg"), 1);
  EXPECT_EQ(seen.at("path"), 2);
  EXPECT_EQ(seen.at("ellipse"), 1);
  EXPECT_EQ(seen.at("fill=#FE0A03"), 1);  // palette 167, filled
  EXPECT_EQ(seen.at("fill=none"), 2);
  EXPECT_EQ(seen.at("stroke=#000000"), 1);
  EXPECT_EQ(seen.at("stroke=#FFFFFF"), 1);
  // x from 0 to 10, y up to 12 at the top turned over; one pixel of 100 on each side for outlines
  EXPECT_EQ(seen.at("viewBox=-0.12 -12.12 10.24 12.24"), 1) << svg;
  EXPECT_EQ(ReadSvg(svg).text, "\nA<&>\"?\xC3\xA9\n\n\n\n");  // title, line breaks
  EXPECT_EQ(ReadSvg(WriteSvg(BuildDisplayList(Definition("e", {})), {})).count.at("svg"), 1);
}

}  // namespace
}  // namespace runebin
