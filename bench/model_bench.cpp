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

#include "model/ByteOrder.h"
#include "model/DrawingFile.h"
#include "model/Format.h"
#include "platform/TempFolder.h"

namespace {

using runebin::DrawingFile;
using Clock = std::chrono::steady_clock;

constexpr int kDefinitions = 20000;
constexpr int kReferences = 500000;
constexpr int kOtherRecords = 1500000;
constexpr int kTypeZeroRecords = 500000;

void PutRecord(std::vector<std::uint8_t>& out, std::uint8_t type, std::size_t length) {
  const std::size_t at = out.size();
  out.resize(at + length, 0);
  runebin::PutU32(out.data() + at, static_cast<std::uint32_t>(length));
  out[at + 4] = type;
}

void PutName(std::vector<std::uint8_t>& out, std::size_t recordStart, std::size_t offset, int n) {
  const std::string name = "Symbol" + std::to_string(n);
  std::memcpy(out.data() + recordStart + offset, name.data(), name.size());
}

// About 300 MB: 20,000 definitions with groups, 500,000 references, 2 million other records.
std::string GenerateDrawing() {
  const std::string path = runebin::platform::TemporaryFolder() + "/runebin-bench-drawing.pvx";
  if (FILE* existing = std::fopen(path.c_str(), "rb")) {
    std::fclose(existing);
    return path;
  }
  std::vector<std::uint8_t> out(runebin::kHeaderSize, 0);
  std::memcpy(out.data(), "PVX (Plotvex for Windows) 6", 27);
  for (int i = 0; i < kTypeZeroRecords; ++i) {
    PutRecord(out, 0, 40 + i % 64);
    out[out.size() - (40 + i % 64) + 5] = static_cast<std::uint8_t>(i);
  }
  for (int i = 0; i < kDefinitions; ++i) {
    const std::size_t start = out.size();
    PutRecord(out, runebin::kTypeSymbolDef, 88);
    PutName(out, start, runebin::kDefNameOffset, i);
    out.insert(out.end(), std::begin(runebin::kGroupOpen), std::end(runebin::kGroupOpen));
    for (int j = 0; j < 24; ++j) {
      PutRecord(out, 3, 100);
    }
    out.insert(out.end(), std::begin(runebin::kGroupClose), std::end(runebin::kGroupClose));
  }
  for (int i = 0; i < kReferences; ++i) {
    const std::size_t start = out.size();
    PutRecord(out, runebin::kTypeSymbolRef, 84);
    PutName(out, start, runebin::kRefNameOffset, static_cast<int>(i * 7919LL % kDefinitions));
  }
  for (int i = 0; i < kOtherRecords; ++i) {
    PutRecord(out, static_cast<std::uint8_t>(1 + i % 16), 120 + (i % 5) * 16);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(out.data(), 1, out.size(), file);
  std::fclose(file);
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
      if (drawing.Load(DrawingPath()) != 0) {
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
    if (drawing.Save(target) != 0) {
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
    _exit(drawing.Load(DrawingPath()) == 0 ? 0 : 1);
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
