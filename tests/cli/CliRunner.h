#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/DrawingBuilder.h"

namespace runebin::testing {

// What one run of the built runebin-cli produced.
struct CliResult {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs runebin-cli with `arguments` (the program's name is added) and waits for it. Its stdout
// and stderr are captured separately; its stdin is empty.
CliResult RunCli(const std::vector<std::string>& arguments);

// Everything by which a rewrite of a file shows: its bytes, its modification time and its inode
// (a safe replacement puts a new file in the old one's place).
struct FileState {
  Bytes bytes;
  timespec modified{};
  ino_t inode = 0;
};
FileState StateOf(const std::string& path);
bool operator==(const FileState& a, const FileState& b);

// Sets the file's modification time far into the past, so that any rewrite, however quick,
// gives it a different one.
void BackdateFile(const std::string& path);

// Text helpers for byte-exact expectations.
std::string AsText(const Bytes& bytes);

}  // namespace runebin::testing
