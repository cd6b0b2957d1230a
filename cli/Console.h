#pragma once

#include <cstdio>
#include <string_view>

namespace runebin::cli {

// Exit statuses of the program.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // something the user must see failed; told on stderr
inline constexpr int kExitUsage = 2;    // the command line was wrong

// Where the commands write: reports and results to `out`, failures to `err`. Neither is owned.
struct Console {
  std::FILE* out;
  std::FILE* err;
  bool quiet = false;  // -q: no report lines

  // Writes `text` as it is (names are raw bytes, so no formatting happens here).
  void Write(std::string_view text) const { std::fwrite(text.data(), 1, text.size(), out); }
  // Writes `text` and a line break to `out`.
  void Report(std::string_view text) const {
    Write(text);
    std::fputc('\n', out);
  }
  // A report line about what a command did; -q leaves it out.
  void Tell(std::string_view text) const {
    if (!quiet) {
      Report(text);
    }
  }
  // Writes "runebin-cli: ", `text` and a line break to `err`, after everything reported so far,
  // so that the two streams interleave in order when they go to the same terminal.
  void Fail(std::string_view text) const {
    std::fflush(out);
    std::fputs("runebin-cli: ", err);
    std::fwrite(text.data(), 1, text.size(), err);
    std::fputc('\n', err);
    std::fflush(err);
  }
};

}  // namespace runebin::cli
