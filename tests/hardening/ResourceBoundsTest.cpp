// Hostile drawings and metafiles finish within bounded time and memory. Each workload runs in a
// child process that measures its own peak resident memory and is stopped by an alarm if it runs
// too long; the time limits catch loops and quadratic work, they do not time the code. Under
// AddressSanitizer only time is checked, on inputs a fifth of the size (its shadow memory and
// quarantine make resident memory meaningless).

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "metafile/DrawingState.h"
#include "metafile/ImportMetafile.h"
#include "model/DrawingFile.h"
#include "model/Format.h"
#include "platform/OutputFile.h"
#include "symbols/SymbolCommands.h"
#include "tests/hardening/ChildProcess.h"
#include "tests/metafile/SymbolBytes.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/MetafileBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {
namespace {

constexpr bool kUnderAddressSanitizer = RUNEBIN_SANITIZED;  // set by the build

class CountingOutput final : public OutputFile {
 public:
  bool Write(const void*, std::size_t size) override {
    written += size;
    return true;
  }
  std::size_t written = 0;
};

long PeakRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Runs `work` in a child stopped after `seconds`, which checks its own memory growth against
// `memoryKb` (when resident memory means something in this build).
void ExpectBounded(const std::function<void()>& work, unsigned seconds, long memoryKb) {
  const int result = RunInChild([&] {
    const long startKb = PeakRssKb();
    const auto start = std::chrono::steady_clock::now();
    ::alarm(seconds);
    work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const long growthKb = PeakRssKb() - startKb;
    std::printf("  took %.2f s, peak memory growth %ld KiB (bound %ld KiB%s)\n", took.count(),
                growthKb, memoryKb, kUnderAddressSanitizer ? ", not checked" : "");
    EXPECT_TRUE(kUnderAddressSanitizer || growthKb <= memoryKb);
    return kChildPassed;
  });
  EXPECT_EQ(result, kChildPassed) << (result == 128 + SIGALRM ? "did not finish in time" : "");
}

// Millions of records in the tests below; a fifth of them under the sanitizers.
constexpr int kMillion = kUnderAddressSanitizer ? 200'000 : 1'000'000;

TEST(HostileDrawing, MillionsOfTinyRecordsLoadChangeAndWrite) {
  // A 5-byte definition (no room for a name), then pairs of 5-byte records: a reference to it
  // and another record. About 85 bytes per record once loaded, plus the file.
  constexpr int kPairs = kMillion;
  Bytes file = Join({Header(), Record(kTypeSymbolDef), GroupClose(),
                     Repeat(Join({Record(kTypeSymbolRef), Record(9)}), kPairs)});
  TempDir dir;
  const auto path = dir.Write("tiny.pvx", file);
  const long fileKb = static_cast<long>(file.size() / 1024);
  file = Bytes();

  ExpectBounded(
      [&] {
        DrawingFile drawing("");
        ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
        ASSERT_EQ(drawing.SymbolDefs().GetSize(), 1);
        EXPECT_EQ(drawing.SymbolDefs().GetAt(0).useCount, kPairs);
        EXPECT_EQ(drawing.OtherEntities().GetSize(), 2 * kPairs);
        // Delete with references: every other entry goes.
        const std::string name = DeleteSymbol(drawing, 0);
        EXPECT_EQ(drawing.RemoveReferences(name), kPairs);
        EXPECT_EQ(drawing.OtherEntities().GetSize(), kPairs);
        CountingOutput out;
        EXPECT_TRUE(drawing.WriteTo(out));
        EXPECT_EQ(out.written, kHeaderSize + 5 * static_cast<std::size_t>(kPairs));
      },
      60, 2 * fileKb + 2 * kPairs * 120 / 1024);
}

// A definition whose group nests `depth` levels deep, with a reference at the bottom. Loaded, it
// takes its bytes twice (the mapped file and the entity's copy).
Bytes DeeplyNested(int depth, bool closed) {
  Bytes definition = Definition("Deep");
  definition.resize(kDefRecordLength);  // without the builder's own (empty) group
  const auto levels = static_cast<std::size_t>(depth);
  return Join({Header(), definition, Repeat(GroupOpen(), levels), Reference("Deep"),
               Repeat(GroupClose(), closed ? levels : levels - 1)});
}

TEST(HostileDrawing, GroupsNestedAMillionDeep) {
  constexpr int kDepth = kMillion;
  TempDir dir;
  const Bytes closed = DeeplyNested(kDepth, true);
  const Bytes open = DeeplyNested(kDepth, false);
  const auto closedPath = dir.Write("closed.pvx", closed);
  const auto openPath = dir.Write("open.pvx", open);
  const long fileKb = static_cast<long>(closed.size() / 1024);

  ExpectBounded(
      [&] {
        DrawingFile drawing("");
        ASSERT_EQ(drawing.Load(closedPath), LoadResult::Loaded);
        ASSERT_EQ(drawing.SymbolDefs().GetSize(), 1);
        EXPECT_EQ(drawing.SymbolDefs().GetAt(0).Length(), closed.size() - kHeaderSize);
        EXPECT_EQ(drawing.SymbolDefs().GetAt(0).NestedReferenceNames(),
                  std::vector<std::string>{"Deep"});
        EXPECT_EQ(RenameSymbol(drawing, 0, "Renamed"), 1);
        CountingOutput out;
        EXPECT_TRUE(drawing.WriteTo(out));
        EXPECT_EQ(out.written, closed.size());
        EXPECT_EQ(DeleteUnusedSymbols(drawing), 1);  // only its own group places it

        // Never closed: the whole body is kept as it is.
        ASSERT_EQ(drawing.Load(openPath), LoadResult::Loaded);
        EXPECT_EQ(drawing.SymbolDefs().GetSize(), 0);
        ASSERT_EQ(drawing.OtherEntities().GetSize(), 1);
        EXPECT_EQ(drawing.OtherEntities().GetAt(0).Length(), open.size() - kHeaderSize);
      },
      30, 3 * fileKb + 16 * 1024);
}

// Every saved state copies the 512-slot object table, so a flood of SaveDC records, each with
// changed objects to remember, must not grow memory with the number of records.
TEST(HostileMetafile, SaveDCFlood) {
  // A deep save under which all 512 slots (64 under the sanitizers) fill with pens and empty.
  constexpr int kSlots = kUnderAddressSanitizer ? 64 : kObjectSlotCount;
  Wmf level;
  level.SaveDC();
  for (int slot = 0; slot < kSlots; ++slot) {
    level.Pen(kSolid, static_cast<std::uint32_t>(slot));
  }
  for (int slot = 0; slot < kSlots; ++slot) {
    level.Delete(static_cast<std::int16_t>(slot));
  }
  constexpr int kLevels = 1100;
  const Bytes data =
      Join({Wmf().Pen(kSolid, kRed).Select(0).Data(), Repeat(level.Records(), kLevels),
            Repeat(Wmf().SaveDC().Records(), kMillion),
            Repeat(Wmf().RestoreDC().Records(), kMillion + kLevels),
            Wmf().Polygon({{0, 0}, {100, 0}, {100, 50}}).End().Records()});

  ExpectBounded(
      [&] {
        // The outermost restore brings back the red pen: the polygon, the last record, is drawn
        // filled (black brush) and outlined.
        EXPECT_EQ(Imported(data, 10.0F).size(),
                  kDefRecordLength + 2 * kMarkerLength + 2 * (42 + 3 * 8));
      },
      60, 48 * 1024);
}

// The largest counts a record can carry: a set of 65,535 polygons of no points, each of which
// becomes two group records with their markers and an empty path - 10.7 MB from 131 KB. Within
// the symbol limit they make the symbol, once; past it (14 MB of them would ask for 1.2 GB, 128 MiB
// for 10.5 GiB) the import gives no symbol rather than gigabytes.
TEST(HostileMetafile, MaximalCountsWithinAndPastTheSymbolLimit) {
  constexpr std::size_t kOutput = 65535 * 2 * (30 + 5 + 42 + 5);
  // Measuring 14 MB of these takes ten seconds under the sanitizers, where memory is not checked.
  for (const std::size_t records : {std::size_t{4}, kOversizedSets}) {
    if (kUnderAddressSanitizer && records > 4) {
      std::printf("  past the limit: checked in the build without sanitizers\n");
      continue;
    }
    const Bytes data = EmptyPolygonSets(records);
    const std::size_t expected =
        records == 4 ? kDefRecordLength + 2 * kMarkerLength + 4 * kOutput : 0;
    ExpectBounded(
        [&] {
          std::unique_ptr<SymbolDef> symbol;
          ImportDetails details;
          ASSERT_EQ(ImportMetafileBytes(data, "Counts", 10.0F, symbol, details),
                    ImportResult::Succeeded);
          EXPECT_EQ(symbol ? symbol->Length() : 0, expected);
          EXPECT_EQ(details.walkEnd, WalkEnd::EndRecord);
        },
        60, static_cast<long>(expected / 1024) + 16 * 1024);
  }
}

}  // namespace
}  // namespace runebin::testing
