// Load and Save of a large drawing against plain read() and write()+fsync() of the same bytes,
// and the peak memory of a load. Prints the ratios at the end.
//
//   model_bench [--benchmark_filter=...]      (the file is generated once in $TMPDIR)

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/Inputs.h"
#include "model/DrawingFile.h"
#include "platform/TempFolder.h"

namespace {

using runebin::DrawingFile;
using Clock = std::chrono::steady_clock;

// About 300 MB: 20,000 definitions with groups, 500,000 references, 2 million other records.
constexpr runebin::bench::DrawingShape kDrawing = {500000, 20000, 24, 500000, 1500000, 120};

std::string GenerateDrawing() {
  const std::string path = runebin::platform::TemporaryFolder() + "/runebin-bench-drawing.pvx";
  runebin::bench::GenerateDrawing(path, kDrawing);
  return path;
}

const std::string& DrawingPath() {
  static const std::string path = GenerateDrawing();
  return path;
}

std::map<std::string, double> g_seconds;

void Record(benchmark::State& state, const char* name, double seconds) {
  state.SetIterationTime(seconds);
  auto& best = g_seconds[name];
  best = best == 0 ? seconds : std::min(best, seconds);
}

// The baseline: the whole file into one fresh, uninitialised buffer with read().
struct FileBytes {
  std::unique_ptr<std::uint8_t[]> data;
  std::size_t size = 0;
};

FileBytes PlainRead(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  FileBytes bytes;
  bytes.size = static_cast<std::size_t>(::lseek(fd, 0, SEEK_END));
  bytes.data.reset(new std::uint8_t[bytes.size]);
  std::size_t done = 0;
  while (done < bytes.size) {
    const ssize_t got =
        ::pread(fd, bytes.data.get() + done, bytes.size - done, static_cast<off_t>(done));
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return bytes;
}

void BM_PlainRead(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = Clock::now();
    auto bytes = PlainRead(DrawingPath());
    benchmark::DoNotOptimize(bytes.data.get());
    Record(state, "read", std::chrono::duration<double>(Clock::now() - start).count());
  }
}

void BM_Load(benchmark::State& state) {
  const std::string listing = runebin::platform::TemporaryFolder() + "/runebin-bench-entities.txt";
  for (auto _ : state) {
    const auto start = Clock::now();
    {
      DrawingFile drawing(listing);
      if (drawing.Load(DrawingPath()) != runebin::LoadResult::Loaded) {
        state.SkipWithError("load failed");
      }
      Record(state, "load", std::chrono::duration<double>(Clock::now() - start).count());
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
}

void BM_PlainWriteFsync(benchmark::State& state) {
  const auto bytes = PlainRead(DrawingPath());
  const std::string target = runebin::platform::TemporaryFolder() + "/runebin-bench-plain.pvx";
  for (auto _ : state) {
    ::unlink(target.c_str());
    const auto start = Clock::now();
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, bytes.data.get(), bytes.size) != static_cast<ssize_t>(bytes.size)) {
      state.SkipWithError("write failed");
    }
    ::fsync(fd);
    ::close(fd);
    Record(state, "write", std::chrono::duration<double>(Clock::now() - start).count());
  }
  ::unlink(target.c_str());
}

void BM_Save(benchmark::State& state) {
  DrawingFile drawing("");
  drawing.Load(DrawingPath());
  const std::string target = runebin::platform::TemporaryFolder() + "/runebin-bench-saved.pvx";
  for (auto _ : state) {
    ::unlink(target.c_str());
    const auto start = Clock::now();
    if (!drawing.Save(target).Saved()) {
      state.SkipWithError("save failed");
    }
    Record(state, "save", std::chrono::duration<double>(Clock::now() - start).count());
  }
  ::unlink(target.c_str());
}

// Peak resident memory of a load, in a child process so nothing else counts.
double LoadPeakOverFileSize() {
  const pid_t child = ::fork();
  if (child == 0) {
    DrawingFile drawing("");
    _exit(drawing.Load(DrawingPath()) == runebin::LoadResult::Loaded ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const auto bytes = PlainRead(DrawingPath()).size;
  return static_cast<double>(usage.ru_maxrss) * 1024.0 / static_cast<double>(bytes);
}

BENCHMARK(BM_PlainRead)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteFsync)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::printf("drawing: %s\n", DrawingPath().c_str());
  const double peak = LoadPeakOverFileSize();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  auto ratio = [](const char* ours, const char* base) {
    return g_seconds[base] > 0 ? g_seconds[ours] / g_seconds[base] : 0.0;
  };
  std::printf("Load / plain read (best of 3):        %.2f  (goal <= 1.5)\n", ratio("load", "read"));
  std::printf("Save / write+fsync (best of 3):       %.2f  (goal <= 1.3)\n",
              ratio("save", "write"));
  std::printf("Load peak memory / file size:         %.2f  (goal <= 2.2)\n", peak);
  return 0;
}
