#pragma once

#include <string>

namespace runebin::testing {

// Makes a folder that nobody may create files in, for as long as the object lives. Permission
// bits alone do not stop root, so when running as root the folder is also marked immutable (the
// file system flag that even root must clear before changing the folder).
class UnwritableFolder {
 public:
  explicit UnwritableFolder(const std::string& path);
  ~UnwritableFolder();
  UnwritableFolder(const UnwritableFolder&) = delete;
  UnwritableFolder& operator=(const UnwritableFolder&) = delete;

  // Whether creating a file in the folder really fails here (the immutable flag needs a file
  // system that has it); tests skip when it does not.
  bool Works() const;

 private:
  void SetImmutable(bool on);
  std::string path_;
};

}  // namespace runebin::testing
