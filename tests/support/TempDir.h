#pragma once

#include <filesystem>
#include <string>

#include "tests/support/DrawingBuilder.h"

namespace runebin::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` to the file `name` in the folder and returns its path.
  std::string Write(const std::string& name, const Bytes& bytes) const;
  // Names of the entries in the folder (or in its subfolder `name`), sorted.
  std::vector<std::string> List(const std::string& name = "") const;

 private:
  std::string path_;
};

Bytes ReadFileBytes(const std::string& path);

// The program's paths are UTF-8; this makes a std::filesystem path of one on every system.
std::filesystem::path Utf8Path(const std::string& path);

// Holds a file open the way another program holding it would, for as long as the object lives:
// under an exclusive flock on POSIX, opened with no sharing on Windows.
class FileHeldElsewhere {
 public:
  explicit FileHeldElsewhere(const std::string& path);
  ~FileHeldElsewhere();
  FileHeldElsewhere(const FileHeldElsewhere&) = delete;
  FileHeldElsewhere& operator=(const FileHeldElsewhere&) = delete;

  bool Holds() const { return held_ != nullptr; }

 private:
  void* held_ = nullptr;  // the handle, or the descriptor plus one
};

}  // namespace runebin::testing
