// ImportMetafile of a large generated metafile against a plain read of the same file, the peak
// memory of an import, and the cost of colour lookups. Prints the ratios at the end.
//
//   metafile_bench [--benchmark_filter=...]   (the metafiles are generated once in $TMPDIR)
//
// The big metafile holds at least 64 MB and 1 million drawing records: polygons, polylines,
// sets of polygons, ellipses and rectangles, with pens and brushes created, selected and deleted
// between them (a new colour every few shapes, and the same few colours again and again).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/Inputs.h"
#include "metafile/HostPalette.h"
#include "metafile/ImportMetafile.h"

namespace {

using Clock = std::chrono::steady_clock;

using runebin::bench::MetafileMix;
constexpr const MetafileMix* kMixes[] = {&runebin::bench::kClipArt, &runebin::bench::kDense};

using Generated = runebin::bench::GeneratedMetafile;
using runebin::bench::GenerateMetafile;

// Benchmark arguments: the mix (index into kMixes) and the number of drawing records.
const Generated& Metafile(const benchmark::State& state) {
  static std::map<std::pair<std::int64_t, std::int64_t>, Generated> generated;
  const auto key = std::make_pair(state.range(0), state.range(1));
  auto found = generated.find(key);
  if (found == generated.end()) {
    const MetafileMix& mix = *kMixes[static_cast<std::size_t>(key.first)];
    found = generated.emplace(key, GenerateMetafile(mix, static_cast<int>(key.second))).first;
  }
  return found->second;
}

// Best wall and CPU (user + system) seconds per benchmark, mix and size.
struct Best {
  double wall = 0;
  double cpu = 0;
};
std::map<std::string, Best> g_best;

std::string Key(const char* what, const benchmark::State& state) {
  return std::string(what) + "/" + std::to_string(state.range(0)) + "/" +
         std::to_string(state.range(1));
}

double ProcessCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Times one run of `work` into the benchmark and the bests.
template <typename Work>
void Timed(benchmark::State& state, const char* what, Work work) {
  const double cpuStart = ProcessCpuSeconds();
  const auto start = Clock::now();
  work();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = ProcessCpuSeconds() - cpuStart;
  state.SetIterationTime(wall);
  Best& best = g_best[Key(what, state)];
  best.wall = best.wall == 0 ? wall : std::min(best.wall, wall);
  best.cpu = best.cpu == 0 ? cpu : std::min(best.cpu, cpu);
}

// The baseline: the whole file into one fresh, uninitialised buffer with read().
std::size_t PlainRead(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  const auto size = static_cast<std::size_t>(::lseek(fd, 0, SEEK_END));
  std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[size]);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, data.get() + done, size - done, static_cast<off_t>(done));
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  benchmark::DoNotOptimize(data.get());
  return done;
}

void BM_PlainRead(benchmark::State& state) {
  const Generated& metafile = Metafile(state);
  for (auto _ : state) {
    Timed(state, "read", [&] { benchmark::DoNotOptimize(PlainRead(metafile.path)); });
  }
  state.counters["MB"] = static_cast<double>(metafile.bytes) / 1e6;
}

std::map<std::string, std::size_t> g_outputBytes;

void BM_ImportMetafile(benchmark::State& state) {
  const Generated& metafile = Metafile(state);
  std::size_t output = 0;
  for (auto _ : state) {
    bool ok = true;
    Timed(state, "import", [&] {
      std::unique_ptr<runebin::SymbolDef> symbol;
      ok = runebin::ImportMetafile(metafile.path, "bench", 100.0F, symbol) ==
               runebin::ImportResult::Succeeded &&
           symbol;
      output = ok ? symbol->Length() : 0;
    });
    if (!ok) {
      state.SkipWithError("import failed");
      break;
    }
  }
  g_outputBytes[Key("import", state)] = output;
  state.counters["MB"] = static_cast<double>(metafile.bytes) / 1e6;
  state.counters["outMB"] = static_cast<double>(output) / 1e6;
}

// What any import of this file must pay for memory alone: a fresh buffer of the input's size and
// one of the symbol's size, each written once. On machines where first touches of memory are
// dear, this floor, not the conversion, decides the ratio.
void BM_MemoryFloor(benchmark::State& state) {
  const Generated& metafile = Metafile(state);
  std::unique_ptr<runebin::SymbolDef> symbol;
  if (runebin::ImportMetafile(metafile.path, "bench", 100.0F, symbol) !=
          runebin::ImportResult::Succeeded ||
      !symbol) {
    state.SkipWithError("import failed");
    return;
  }
  const std::size_t output = symbol->Length();
  symbol.reset();
  for (auto _ : state) {
    Timed(state, "floor", [&] {
      for (std::size_t size : {metafile.bytes, output}) {
        std::unique_ptr<std::uint8_t[]> fresh(new std::uint8_t[size]);
        std::memset(fresh.get(), 1, size);
        benchmark::DoNotOptimize(fresh.get());
      }
    });
  }
}

// Peak resident memory of one import, in a child process so nothing else counts.
double ImportPeakMiB(const std::string& path) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::unique_ptr<runebin::SymbolDef> symbol;
    _exit(runebin::ImportMetafile(path, "bench", 100.0F, symbol) ==
                      runebin::ImportResult::Succeeded &&
                  symbol
              ? 0
              : 1);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0
             ? static_cast<double>(usage.ru_maxrss) / 1024.0
             : 0.0;
}

// Colour lookups: the plain search against the per-import memory, on a stream of colours where
// a few repeat, as in real drawings.
std::vector<std::uint32_t> ColourStream() {
  std::mt19937 random(5);
  std::vector<std::uint32_t> colours(1 << 16);
  for (auto& colour : colours) {
    colour = random() % 16 == 0 ? random() & 0xFFFFFF : (random() % 12) * 0x151515u;
  }
  return colours;
}

void BM_NearestPaletteIndex(benchmark::State& state) {
  const auto colours = ColourStream();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(runebin::NearestPaletteIndex(colours[i++ & 0xFFFF]));
  }
}

void BM_PaletteMatcher(benchmark::State& state) {
  const auto colours = ColourStream();
  runebin::PaletteMatcher matcher;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(matcher.IndexOf(colours[i++ & 0xFFFF]));
  }
}

// {mix, drawing records}: a size sweep of the clip-art mix, and the dense mix at full size.
constexpr std::int64_t kClipArtMix = 0;
constexpr std::int64_t kDenseMix = 1;
constexpr std::int64_t kFullSize = 1000000;
constexpr std::int64_t kDenseSize = 1300000;

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Args({kClipArtMix, kFullSize / 16})
      ->Args({kClipArtMix, kFullSize})
      ->Args({kDenseMix, kDenseSize})
      ->UseManualTime()
      ->Iterations(3)
      ->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_PlainRead)->Apply(Sizes);
BENCHMARK(BM_ImportMetafile)->Apply(Sizes);
BENCHMARK(BM_MemoryFloor)->Apply(Sizes);
BENCHMARK(BM_NearestPaletteIndex);
BENCHMARK(BM_PaletteMatcher);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\nImportMetafile against a plain read of the same file (best of 3; goal <= 3):\n");
  for (const auto& [mix, records] :
       {std::pair{kClipArtMix, kFullSize / 16}, std::pair{kClipArtMix, kFullSize},
        std::pair{kDenseMix, kDenseSize}}) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on a + b + c of strings.
    std::string size = "/";
    size += std::to_string(mix);
    size += '/';
    size += std::to_string(records);
    const Best read = g_best["read" + size];
    const Best import = g_best["import" + size];
    const Best floor = g_best["floor" + size];
    if (read.wall <= 0 || import.wall <= 0) {
      continue;
    }
    const Generated generated =
        GenerateMetafile(*kMixes[static_cast<std::size_t>(mix)], static_cast<int>(records));
    std::printf(
        "  %-8s %8lld drawing records, %6.1f MB in, %6.1f MB out: wall %.2f, cpu %.2f"
        " (memory floor: wall %.2f, cpu %.2f)",
        kMixes[static_cast<std::size_t>(mix)]->name, static_cast<long long>(records),
        static_cast<double>(generated.bytes) / 1e6,
        static_cast<double>(g_outputBytes["import" + size]) / 1e6, import.wall / read.wall,
        import.cpu / read.cpu, floor.wall / read.wall, floor.cpu / read.cpu);
    if (records >= kFullSize) {
      std::printf(", peak memory of one import %.0f MiB", ImportPeakMiB(generated.path));
    }
    std::printf("\n");
  }
  return 0;
}
