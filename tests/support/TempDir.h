#pragma once

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
  // Names of the entries in the folder, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

Bytes ReadFileBytes(const std::string& path);

}  // namespace runebin::testing
