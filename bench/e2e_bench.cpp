// runebin-cli as a user runs it, against plain copies of the same bytes, in one run:
//
//   list big.pvx                              against  dd read of big.pvx
//   rename big.pvx OLD NEW --output out.pvx   against  dd copy of big.pvx with conv=fsync
//   import small.pvs big.wmf --output out.pvs against  dd read of big.wmf + dd write, with
//                                                      conv=fsync, of as many bytes as out.pvs
//
// big.pvx is a 256 MB drawing (2.2 million top-level records, 20,000 definitions, 550,000
// references), big.wmf a 64 MB metafile; both are generated once in $TMPDIR. Every command runs
// as a child process; its time is wall-clock, its memory the child's peak resident set
// (wait4). Each round times every command once, and the ratios are taken within the round.
//
//   e2e_bench [--rounds N] [--cli PATH] [--cold]
//
// With --cold, the inputs are dropped from the page cache before every command, so that each
// command (ours and the baseline alike) reads them from the disk.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/Inputs.h"
#include "platform/TempFolder.h"

namespace {

using runebin::bench::DrawingShape;

constexpr DrawingShape kBigDrawing = {330000, 20000, 24, 550000, 1300000, 82};
constexpr DrawingShape kSmallCatalog = {100, 50, 8, 500, 1000, 82};
constexpr int kMetafileShapes = 560000;  // of the clip-art mix: 64 MB

struct Outcome {
  double seconds = 0;
  double peakMiB = 0;
};

// Runs `args` with stdout (and for the baselines stderr) thrown away. Exits on failure: a ratio
// against a command that failed would mean nothing.
Outcome Run(const std::vector<std::string>& args, bool quiet = false) {
  std::vector<char*> argv;
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);
  std::fflush(stdout);  // the child must not write our pending output again
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    if (quiet) {
      std::freopen("/dev/null", "w", stderr);
    }
    ::execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  Outcome outcome;
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", args[0].c_str());
    std::exit(1);
  }
  return outcome;
}

// Asks the system to forget the cached pages of `paths` (they are clean, so nothing is lost).
void DropFromCache(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
      ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
      ::close(fd);
    }
  }
}

std::size_t FileSize(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return 0;
  }
  std::fseek(file, 0, SEEK_END);
  const auto size = static_cast<std::size_t>(std::ftell(file));
  std::fclose(file);
  return size;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 3;
  std::string cli = RUNEBIN_CLI;
  bool cold = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--cold") == 0) {
      cold = true;
    } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--cli") == 0 && i + 1 < argc) {
      cli = argv[++i];
    }
  }
  const std::string folder = runebin::platform::TemporaryFolder();
  const std::string big = folder + "/runebin-e2e-big.pvx";
  const std::string small = folder + "/runebin-e2e-small.pvs";
  const std::string outDrawing = folder + "/runebin-e2e-out.pvx";
  const std::string outCatalog = folder + "/runebin-e2e-out.pvs";
  const std::string baseCopy = folder + "/runebin-e2e-dd.out";
  const std::size_t bigBytes = runebin::bench::GenerateDrawing(big, kBigDrawing);
  runebin::bench::GenerateDrawing(small, kSmallCatalog);
  const auto metafile = runebin::bench::GenerateMetafile(runebin::bench::kClipArt, kMetafileShapes);
  const std::string oldName = runebin::bench::DefinitionName(7);

  const std::vector<std::string> list = {cli, "list", big};
  const std::vector<std::string> rename = {cli,       "rename",   big,       oldName,
                                           "Renamed", "--output", outDrawing};
  const std::vector<std::string> import = {cli,      "import", small,      metafile.path,
                                           "--name", "Big",    "--output", outCatalog};
  // A first import warms the caches and tells how many bytes the baseline writes.
  Run(list);
  Run(import);
  const std::size_t importBytes = FileSize(outCatalog);
  std::printf("drawing %.1f MB, metafile %.1f MB, import output %.1f MB, %s cache; cli %s\n",
              static_cast<double>(bigBytes) / 1e6, static_cast<double>(metafile.bytes) / 1e6,
              static_cast<double>(importBytes) / 1e6, cold ? "cold" : "warm", cli.c_str());
  const auto timed = [&](const std::vector<std::string>& args, bool quiet = false) {
    if (cold) {
      DropFromCache({big, small, metafile.path});
    }
    return Run(args, quiet);
  };

  const std::vector<std::string> ddRead = {"dd", "if=" + big, "of=/dev/null", "bs=1M"};
  const std::vector<std::string> ddCopy = {"dd", "if=" + big, "of=" + baseCopy, "bs=1M",
                                           "conv=fsync"};
  const std::vector<std::string> ddReadMetafile = {"dd", "if=" + metafile.path, "of=/dev/null",
                                                   "bs=1M"};
  const std::vector<std::string> ddWriteImport = {"dd",
                                                  "if=/dev/zero",
                                                  "of=" + baseCopy,
                                                  "bs=1M",
                                                  "iflag=count_bytes",
                                                  "conv=fsync",
                                                  "count=" + std::to_string(importBytes)};

  std::vector<double> listRatios, listPeaks, renameRatios, importRatios;
  std::printf("%-6s %22s %12s %22s %22s\n", "round", "list (s / dd, ratio)", "peak/size",
              "rename (s / dd, ratio)", "import (s / dd, ratio)");
  for (int round = 1; round <= rounds; ++round) {
    const Outcome readBase = timed(ddRead, true);
    const Outcome listed = timed(list);
    ::unlink(baseCopy.c_str());
    const Outcome copyBase = timed(ddCopy, true);
    ::unlink(outDrawing.c_str());
    const Outcome renamed = timed(rename);
    ::unlink(baseCopy.c_str());
    const Outcome importRead = timed(ddReadMetafile, true);
    const Outcome importWrite = timed(ddWriteImport, true);
    ::unlink(outCatalog.c_str());
    const Outcome imported = timed(import);
    const double importBase = importRead.seconds + importWrite.seconds;
    listRatios.push_back(listed.seconds / readBase.seconds);
    listPeaks.push_back(listed.peakMiB * 1048576.0 / static_cast<double>(bigBytes));
    renameRatios.push_back(renamed.seconds / copyBase.seconds);
    importRatios.push_back(imported.seconds / importBase);
    std::printf(
        "%-6d %5.2f / %5.2f = %4.2fx %8.0f MiB %5.2f / %5.2f = %4.2fx %5.2f / %5.2f = %4.2fx\n",
        round, listed.seconds, readBase.seconds, listRatios.back(), listed.peakMiB, renamed.seconds,
        copyBase.seconds, renameRatios.back(), imported.seconds, importBase, importRatios.back());
  }
  ::unlink(baseCopy.c_str());
  ::unlink(outDrawing.c_str());
  ::unlink(outCatalog.c_str());
  std::printf(
      "median: list %.2fx (goal <= 1.0), list peak %.2fx file size (goal <= 1.2), "
      "rename %.2fx (goal <= 1.2), import %.2fx (goal <= 1.2)\n",
      Median(listRatios), Median(listPeaks), Median(renameRatios), Median(importRatios));
  return 0;
}
