#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {

// Runs `program` with `arguments` (UTF-8) on an empty stdin, its stdout and stderr going to the
// files `outPath` and `errPath`, and waits for it. Returns its exit status, or -1 when it did not
// exit normally (or could not be started).
int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& outPath, const std::string& errPath);

// What one run of the built runebin-cli produced.
struct CliResult {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// What shows any rewrite of a file, in place or by a replacement: its bytes and its modification
// time (the tests backdate the files they write).
using FileState = std::pair<Bytes, std::filesystem::file_time_type>;

inline FileState StateOf(const std::string& path) {
  return {ReadFileBytes(path), std::filesystem::last_write_time(Utf8Path(path))};
}

// Each test gets its own folder. The files it writes there are backdated, so that any rewrite,
// however quick, shows in their state.
class CliTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = dir.Write(name, bytes);
    const auto tenYearsAgo =
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(87600);
    std::filesystem::last_write_time(Utf8Path(path), tenYearsAgo);
    return path;
  }

  // Runs the program on an empty stdin. Its output goes to files rather than pipes, so nothing
  // can block however much it writes.
  CliResult RunCli(const std::vector<std::string>& arguments) const {
    const std::string out = dir.Path(".stdout"), err = dir.Path(".stderr");
    const int status = RunProgram(RUNEBIN_CLI_PATH, arguments, out, err);
    const auto text = [](const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
    return {status, text(ReadFileBytes(out)), text(ReadFileBytes(err))};
  }

  // Runs a command that must succeed without a word on stderr; returns what it printed.
  std::string Succeed(const std::vector<std::string>& arguments) const {
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    return result.out;
  }

  // A failure the user must see: status 1, the program's name and `message` on stderr, nothing on
  // stdout.
  void ExpectFailure(const std::vector<std::string>& arguments, const std::string& message) const {
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "runebin-cli: " + message + "\n");
    EXPECT_EQ(result.out, "");
  }

  TempDir dir;
};

}  // namespace runebin::testing
