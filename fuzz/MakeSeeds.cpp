// Writes the seed corpora of the fuzz targets: small drawings and metafiles built with the test
// record builders, each showing the fuzzer one shape of input it should vary.
//
//   fuzz_seeds <folder>   writes <folder>/drawing/*.pvx and <folder>/wmf/*.wmf

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/DrawingBuilder.h"
#include "tests/support/MetafileBuilder.h"

namespace runebin::testing {
namespace {

namespace fs = std::filesystem;

void Save(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// The drawing target reads a script of commands from header bytes 49 on (see DrawingFuzzer.cpp):
// 0 sort, 1 up, 2 down, 3 rename, 4 delete with references, 5 delete unused, 6 copy, 7 remove
// references; 0x10 picks the second document; a zero byte ends the script.
// The last header byte asks for a save to disk when it is 1 modulo 64.
Bytes WithScript(Bytes drawing, const std::vector<std::uint8_t>& script, bool save = false) {
  for (std::size_t i = 0; i < script.size() && 49 + i < 127; ++i) {
    drawing[49 + i] = script[i];
  }
  drawing[127] = save ? 1 : 0;
  return drawing;
}

std::vector<std::pair<std::string, Bytes>> DrawingSeeds() {
  const Bytes placed =
      Join({Definition("Leaf", {Record(3, Bytes(40, 1))}),
            Definition("Tree", {Reference("Leaf"), Group(17, {Reference("Leaf")})}),
            Reference("Tree"), Reference("Tree")});
  Bytes truncated = Drawing({Definition("Cut", {Record(3, Bytes(30, 2))})});
  truncated.resize(truncated.size() - 3);
  Bytes shortHeader = Header();
  shortHeader.resize(60);
  return {
      {"header-only", Header()},
      {"short-header", shortHeader},
      {"mixed", Drawing({Reference("A"), Definition("A"), TypeZero(1), Record(9),
                         Definition("B", {}, {0, 0, 10, 20}), TypeZero(2)})},
      {"placed", Drawing({placed})},
      {"nested-groups",
       Drawing({Definition("Deep",
                           {Group(17, {Group(18, {Reference("Deep"), GroupOpen(), GroupClose()})}),
                            Record(5, {}), Record(7, Bytes(3, 0))})})},
      {"group-records", Drawing({Group(17, {Reference("A")}), Group(18, {}), Definition("A"),
                                 Definition("Unused"), Reference("Gone")})},
      {"short-named-records", Drawing({Definition("Short", {}, {}, 60), Reference("Short", 54),
                                       Definition("Tiny", {}, {}, 5), Reference("Tiny", 20)})},
      {"duplicate-names", Drawing({Definition("Same"), Definition("Same", {Record(3, Bytes(8, 3))}),
                                   Reference("Same"), Definition("Other")})},
      {"stray-markers", Drawing({GroupClose(), GroupOpen(), Record(2), Definition("A")})},
      {"unclosed-group",
       Join({Drawing({Definition("Open")}), Record(28, Bytes(83, 0)), GroupOpen()})},
      {"short-length", Join({Drawing({Reference("X")}), Bytes{3, 0, 0, 0, 1, 9, 9}})},
      {"runs-past-end", truncated},
      {"sort-and-rename", WithScript(Drawing({Definition("b"), Definition("B"), Definition("a"),
                                              Reference("a"), Definition("Ab")}),
                                     {0x00 + 8, 0x03, 1, 200, 'N', 'e', 'w', 0x01, 2, 0x02, 0})},
      {"delete-and-purge", WithScript(Drawing({placed, Definition("Loose"), Reference("Loose")}),
                                      {0x04, 2, 0x05, 0x07, 0x80, 0x0D, 0})},
      {"copy-both-ways", WithScript(Drawing({placed, Definition("Lone", {Group(18, {})})}),
                                    {0x04, 0, 0x16, 1, 1, 0x06, 0, 0, 0x15, 0x13, 0, 0}, true)},
  };
}

std::vector<std::pair<std::string, Bytes>> MetafileSeeds() {
  auto objects = [](Wmf& wmf) -> Wmf& {
    // A pen, a brush, a font (takes a slot too), a null pen, a hollow brush and a palette.
    return wmf.Pen(kSolid, kBlack)
        .Brush(kSolid, kRed)
        .Font()
        .Pen(kNullPen, 0)
        .Brush(kHollowBrush, 0)
        .Palette();
  };
  Wmf states;
  objects(states).SaveDC().Select(3).Select(4).SaveDC().Delete(0).Polygon({{1, 2}, {3, 4}});
  states.RestoreDC().RestoreDC(-2).RestoreDC().RestoreDC().Select(2).Select(600).Polygon({});
  Wmf shapes;
  shapes.Placeable();
  objects(shapes).Select(0).Select(1).Rectangle(0, 0, 100, 50).Ellipse(-20, -10, 30, 40);
  shapes.Polyline({{-5, 5}, {7, -7}, {9, 9}});
  return {
      {"polygon", Wmf()
                      .Brush(kSolid, kRed)
                      .Select(0)
                      .Pen(kSolid, kBlack)
                      .Select(1)
                      .Polygon({{0, 0}, {100, 0}, {100, 50}})
                      .End()
                      .Data()},
      {"placeable-shapes", shapes.End().Data()},
      {"poly-polygon",
       Wmf().PolyPolygon({{{0, 0}, {10, 0}, {10, 10}}, {}, {{-3, -3}, {3, 3}}}).End().Data()},
      {"objects-and-states", states.End().Data()},
      // Cut short: no end record, and a polygon whose record runs past the data.
      {"damaged", Wmf().Polygon({{1, 1}, {2, 2}}).RecordSized(20, 0x0324, {5, 1, 1}).Data()},
      // A polygon claiming more points than its record holds; a record of size 2.
      {"short-parameters", Wmf().Record(0x0324, {9, 1, 1}).RecordSized(2, 0x001E).End().Data()},
      // A record sharing the low byte of Polygon, an unhandled kind, and a function-0 record
      // that is not the end record.
      {"unknown-records", Wmf()
                              .Record(0x0124, {3, 0, 0, 5, 5, 9, 9})
                              .Record(0x0213, {4, 4})
                              .Record(0x0000, {1})
                              .Rectangle(1, 1, 2, 2)
                              .End()
                              .Data()},
  };
}

}  // namespace
}  // namespace runebin::testing

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  const std::pair<const char*, std::vector<std::pair<std::string, runebin::testing::Bytes>>>
      corpora[] = {{"drawing", runebin::testing::DrawingSeeds()},
                   {"wmf", runebin::testing::MetafileSeeds()}};
  for (const auto& [folder, seeds] : corpora) {
    fs::create_directories(root / folder);
    for (const auto& [name, bytes] : seeds) {
      runebin::testing::Save(
          root / folder / (name + (folder == std::string("wmf") ? ".wmf" : ".pvx")), bytes);
    }
  }
  return 0;
}
