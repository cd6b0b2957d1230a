// The metafile import held against a second, plain reading of the conversion rules: on the real
// metafiles shared beside the project, on cut and bit-flipped copies of them, and on random
// record sequences. Runs of imports in a row, so nothing may carry over from one to the next.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "metafile/ConvertRecords.h"
#include "metafile/DrawingState.h"
#include "metafile/HostPalette.h"
#include "metafile/RecordKinds.h"
#include "tests/metafile/SymbolBytes.h"
#include "tests/support/MetafileBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

struct Plain {
  bool recognised = false;
  BoundingBox box;
  Bytes symbol;  // named "t"
};

// What importing `d` should give, worked out the plain way: objects in a map, SaveDC copying the
// whole state, every record looked at by its full function number, one pass for the box and one
// for the records.
Plain ReadPlainly(const Bytes& d, float maxSize) {
  Plain out;
  const auto u16 = [&](std::size_t at) -> std::size_t { return d[at] | d[at + 1] << 8; };
  const auto u32 = [&](std::size_t at) { return std::uint32_t(u16(at) | u16(at + 2) << 16); };
  std::uint32_t first = 0;
  for (std::size_t i = 0; i < 4 && i < d.size(); ++i) {
    first |= static_cast<std::uint32_t>(d[i]) << 8 * i;
  }
  const bool placeable = (first & 0xFFFF) > 1;
  out.recognised = !d.empty() && (!placeable || first == 0x9AC6CDD7);
  double scale = 1, dx = 0, dy = 0;
  for (int pass = 0; pass < 2 && out.recognised; ++pass) {
    struct Tool {
      std::uint32_t colour = 0;
      int style = 0;
      char kind = 'P';  // pen, brush or other
    };
    struct State {
      Tool pen, brush;
      std::map<int, Tool> objects;
    } s;
    std::vector<State> saved;
    std::size_t ignoredSaves = 0;
    std::uint32_t number = 6826;
    BoundingBox box;
    std::vector<Bytes> records;
    const auto X = [&](int x) { return static_cast<float>((x + dx) * scale); };
    const auto Y = [&](int y) { return static_cast<float>((dy - y) * scale); };
    const auto widen = [&](double x, double y) {
      const auto bound = [](double v) { return std::clamp(std::trunc(v), -32768.0, 32767.0); };
      box.IncludePoint(static_cast<std::int16_t>(bound(x)), static_cast<std::int16_t>(bound(y)));
    };
    const auto create = [&](Tool tool) {
      for (int slot = 0; slot < kObjectSlotCount && !s.objects.emplace(slot, tool).second;) {
        ++slot;
      }
    };
    for (std::size_t at = placeable ? 40 : 18; at + 6 <= d.size(); at += 2 * u32(at)) {
      const std::uint32_t words = u32(at);
      const std::size_t function = u16(at + 4), p = at + 6;
      if ((words == 3 && function == 0) || words < 3 || 2ull * words > d.size() - at) {
        break;
      }
      const auto n = [&](std::size_t i) { return u16(p + 2 * i); };
      const auto w = [&](std::size_t i) { return static_cast<std::int16_t>(u16(p + 2 * i)); };
      // The parameter bytes the record must hold for what is read from it.
      const std::size_t size = 2 * words - 6, sets = size >= 2 ? n(0) : 0;
      static const std::map<std::size_t, std::size_t> kNeed = {
          {0x0127, 2}, {0x012D, 2}, {0x01F0, 2}, {0x02FA, 10}, {0x02FC, 6},
          {0x041B, 8}, {0x0418, 8}, {0x0324, 2}, {0x0325, 2},  {0x0538, 2}};
      std::size_t need = kNeed.contains(function) ? kNeed.at(function) : 0;
      if (size >= 2 && (function == 0x0324 || function == 0x0325)) {
        need = 2 + 4 * n(0);
      } else if (size >= 2 && function == 0x0538) {
        need = 2 + 2 * sets;  // the counts, then the points they count
        for (std::size_t i = 0; i < sets && need <= size; ++i) {
          need += 4 * n(1 + i);
        }
      }
      static const std::set<std::size_t> kOthers = {0x00F7, 0x00F8, 0x0142, 0x01F9,
                                                    0x02FB, 0x02FD, 0x06FE, 0x06FF};
      if (size < need) {
        break;
      }
      const auto points = [&](std::size_t firstWord, std::size_t count) {
        std::vector<float> xy;
        for (std::size_t i = firstWord; i < firstWord + 2 * count; i += 2) {
          xy.insert(xy.end(), {X(w(i)), Y(w(i + 1))});
          widen(w(i), w(i + 1));
        }
        return xy;
      };
      const auto polygon = [&](std::size_t firstWord, std::size_t count, bool grouped) {
        const std::vector<float> xy = points(firstWord, count);
        for (const Tool* tool : {&s.brush, &s.pen}) {
          const int colour = NearestPaletteIndex(tool->colour), fill = tool == &s.brush;
          if (tool->style != (fill == 1 ? 1 : 5) && grouped) {
            number += 2;
            records.push_back(
                GroupRec(colour, number - 2, PathRec(colour, fill, number - 1, true, xy)));
          } else if (tool->style != (fill == 1 ? 1 : 5)) {
            records.push_back(PathRec(colour, fill, number++, true, xy));
          }
        }
      };
      if (function == 0x001E && saved.size() < kMaxSavedStates) {
        saved.push_back(s);
      } else if (function == 0x001E) {
        ++ignoredSaves;
      } else if (function == 0x0127 && w(0) == -1 && ignoredSaves > 0) {
        --ignoredSaves;
      } else if (function == 0x0127 && w(0) == -1 && !saved.empty()) {
        s = saved.back();
        saved.pop_back();
      } else if (kOthers.contains(function)) {
        create({0, 0, 'O'});
      } else if (function == 0x02FA) {
        create({u32(p + 6), w(0), 'P'});
      } else if (function == 0x02FC) {
        create({u32(p + 2), w(0), w(0) >= 0 && w(0) <= 2 ? 'B' : 'O'});
      } else if ((function == 0x012D || function == 0x01F0) && s.objects.count(w(0)) != 0) {
        const Tool tool = s.objects[w(0)];
        if (function == 0x01F0) {
          s.objects.erase(w(0));
        } else if (tool.kind != 'O') {
          (tool.kind == 'P' ? s.pen : s.brush) = tool;
        }
      } else if (function == 0x0324) {
        polygon(1, n(0), false);
      } else if (function == 0x0325 && s.pen.style != 5) {
        records.push_back(PathRec(1, 0, number++, false, points(1, n(0))));
      } else if (function == 0x0538) {
        for (std::size_t i = 0, first = 1 + sets; i < sets; first += 2 * n(1 + i), ++i) {
          polygon(first, n(1 + i), true);
        }
      } else if (function == 0x041B || function == 0x0418) {
        const float x1 = X(w(3)), y1 = Y(w(2)), x2 = X(w(1)), y2 = Y(w(0));
        widen(x1, y1);
        widen(x2, y2);
        const int pen = NearestPaletteIndex(s.pen.colour);
        const double halfWidth = std::fabs(double{x2} - x1) / 2;
        const double halfHeight = std::fabs(double{y2} - y1) / 2;
        const std::vector<float> geometry = {
            static_cast<float>((double{x1} + x2) / 2), static_cast<float>((double{y1} + y2) / 2),
            static_cast<float>(std::min(halfWidth, halfHeight)),
            static_cast<float>(halfWidth / (halfHeight + 0.00001))};
        if (function == 0x041B) {
          records.push_back(PathRec(pen, 0, number++, true, {x1, y1, x2, y1, x2, y2, x1, y2}));
        } else if (s.brush.style != 1) {
          records.push_back(EllipseRec(NearestPaletteIndex(s.brush.colour), 1, number, geometry));
        }
        if (function == 0x0418) {
          records.push_back(EllipseRec(pen, 0, number++, geometry));
        }
      }
    }
    if (pass == 0) {
      out.box = box;
      scale = double{maxSize} / std::max({box.maxX - box.minX, box.maxY - box.minY, 1});
      dx = box.maxX;
      dy = box.maxY;
    }
    out.symbol = SymbolOf(out.box, maxSize, records);
  }
  return out;
}

// Imports `data` and holds the result against the plain reading; returns how the walk ended.
WalkEnd ExpectPlain(const Bytes& data, float maxSize, const std::string& what) {
  const Plain plain = ReadPlainly(data, maxSize);
  ImportDetails details;
  const Bytes actual = Imported(data, maxSize, &details);
  EXPECT_EQ(!actual.empty(), plain.recognised) << what;
  if (actual.empty()) {
    return details.walkEnd;
  }
  EXPECT_TRUE(actual == plain.symbol)
      << what << ": differs from the plain reading at byte "
      << std::ranges::mismatch(actual, plain.symbol).in1 - actual.begin();
  EXPECT_EQ(details.box, plain.box) << what;
  // The measuring pass counts exactly what the output pass writes (the symbol's framing aside).
  MetafileReader reader;
  reader.UseBytes(data);
  BoundingBox box;
  PaletteMatcher palette;
  EXPECT_EQ(ConvertRecords(reader, box, 1.0F, nullptr, palette).outputBytes + 98, actual.size())
      << what;
  return details.walkEnd;
}

std::vector<std::filesystem::path> CorpusFiles() {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(RUNEBIN_CORPUS_DIR, error)) {
    if (entry.path().extension() == ".wmf") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Corpus, EveryRealFileImportsAsThePlainReadingSays) {
  const auto files = CorpusFiles();
  if (files.empty()) {
    GTEST_SKIP() << "no metafile corpus at " RUNEBIN_CORPUS_DIR;
  }
  for (const auto& file : files) {
    const std::string name = file.filename().string();
    std::unique_ptr<SymbolDef> symbol;
    EXPECT_EQ(ImportMetafile(file.string(), name, 100, symbol), ImportSucceeded) << name;
    EXPECT_TRUE(symbol) << name;
    // One file was cut by a fuzzer: its last record runs past its end.
    EXPECT_EQ(ExpectPlain(ReadFileBytes(file.string()), 100, name),
              name == "poi-61338.wmf" ? WalkEnd::MalformedRecord : WalkEnd::EndRecord)
        << name;
  }
}

// Objects, selections and saved states mostly, with shapes now and then, and when `damaged`
// records too short for what is read from them.
Bytes RandomMetafile(std::mt19937& random, bool damaged) {
  const auto pick = [&](int n) { return static_cast<std::int16_t>(random() % unsigned(n)); };
  const std::uint32_t colours[] = {kBlack, kRed, kGreen, kBlue, 0x8CE6F0};
  Wmf w;
  for (int i = 0; i < 300; ++i) {
    const std::uint32_t colour = colours[pick(5)];
    const std::int16_t style = pick(6), slot = static_cast<std::int16_t>(pick(14) - 1);
    const Pt a{static_cast<std::int16_t>(pick(200) - 100), pick(100)};
    const Pt b{pick(100), static_cast<std::int16_t>(pick(200) - 100)};
    const auto kind = static_cast<std::size_t>(pick(21)), words = static_cast<std::size_t>(pick(5));
    const std::function<void()> steps[] = {
        [&] { w.Pen(style, colour); },
        [&] { w.Brush(static_cast<std::int16_t>(style % 4), colour); },
        [&] { w.Font(); },
        [&] { w.Select(slot); },
        [&] { w.Delete(slot); },
        [&] { w.SaveDC(); },
        [&] { w.RestoreDC(style == 0 ? -2 : -1); },
        [&] {
          w.Polygon({a, b, {0, 0}}).Polyline({b, a, {0, 0}});
        },
        [&] {
          w.PolyPolygon({{a, b}, {}, {b}});
        },
        [&] { w.Rectangle(a.x, a.y, b.x, b.y).Ellipse(b.x, b.y, a.x, a.y); },
        // One of the 21 handled kinds (the table's first rows) with up to 4 parameter words.
        [&] { w.Record(RecordKindTable[kind].function, std::vector<std::uint16_t>(words, 1)); },
    };
    steps[pick(damaged ? 11 : 10)]();
  }
  return w.End().Data();
}

TEST(Corpus, CutFlippedAndRandomMetafilesImportAsThePlainReadingSays) {
  std::mt19937 random(1234);
  for (const auto& file : CorpusFiles()) {
    const Bytes data = ReadFileBytes(file.string());
    const std::string name = file.filename().string();
    // Every length up to 64 (the headers), then about 150 cuts.
    const std::size_t step = std::max<std::size_t>(1, data.size() / 150);
    for (std::size_t size = 0; size < data.size() && !HasFailure(); size += size < 64 ? 1 : step) {
      ExpectPlain(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size)), 37.5F,
                  name + " cut at " + std::to_string(size));
    }
    for (int trial = 0; trial < 60 && !HasFailure(); ++trial) {
      Bytes flipped = data;
      for (unsigned flips = 1 + random() % 4; flips > 0; --flips) {
        flipped[random() % flipped.size()] ^= static_cast<std::uint8_t>(1u << random() % 8);
      }
      ExpectPlain(flipped, 1000, name + " flipped, trial " + std::to_string(trial));
    }
  }
  for (int run = 0; run < 200 && !HasFailure(); ++run) {
    ExpectPlain(RandomMetafile(random, run % 2 == 1), run % 3 == 0 ? 0.0F : 50.0F,
                "random metafile " + std::to_string(run));
  }
}

}  // namespace
}  // namespace runebin
