#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {

// What one run of the built runebin-cli produced.
struct CliResult {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Everything by which a rewrite of a file shows: its bytes, its modification time (in
// nanoseconds) and its inode (a safe replacement puts a new file in the old one's place).
using FileState = std::tuple<Bytes, std::int64_t, ino_t>;

inline FileState StateOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return {ReadFileBytes(path), info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec,
          info.st_ino};
}

// Each test gets its own folder. The files it writes there are backdated, so that any rewrite,
// however quick, shows in their state.
class CliTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = dir.Write(name, bytes);
    const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};  // September 2001
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    return path;
  }

  // Runs the program on an empty stdin. Its output goes to files rather than pipes, so nothing
  // can block however much it writes.
  CliResult RunCli(const std::vector<std::string>& arguments) const {
    const auto quoted = [](const std::string& text) {
      std::string result = "'";
      for (const char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
      }
      return result + "'";
    };
    std::string command = quoted(RUNEBIN_CLI_PATH);
    for (const std::string& argument : arguments) {
      command += " " + quoted(argument);
    }
    const std::string out = dir.Path(".stdout"), err = dir.Path(".stderr");
    const int status =
        std::system((command + " </dev/null >" + quoted(out) + " 2>" + quoted(err)).c_str());
    const auto text = [](const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(ReadFileBytes(out)),
            text(ReadFileBytes(err))};
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
