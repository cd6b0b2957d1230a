#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/FileNames.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/TempFolder.h"

namespace runebin::testing {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

TempDir::TempDir() {
  // A random name, tried until a new folder of that name is made.
  std::random_device seed;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::string candidate =
        platform::TemporaryFolder() + kSeparator + "runebin-test-" + std::to_string(seed());
    std::error_code error;
    if (fs::create_directory(Utf8Path(candidate), error)) {
      path_ = candidate;
    }
  }
  if (path_.empty()) {
    throw std::runtime_error("cannot create a temporary folder");
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  const fs::path root = Utf8Path(path_);
  // Tests may leave entries read-only; make them removable first.
  for (const auto& entry : fs::recursive_directory_iterator(root, ignored)) {
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string path = Path(name);
  std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
  return path;
}

std::vector<std::string> TempDir::List(const std::string& name) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Utf8Path(name.empty() ? path_ : Path(name)))) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path);
  }
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path Utf8Path(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

#ifdef _WIN32
FileHeldElsewhere::FileHeldElsewhere(const std::string& path) {
  HANDLE file = ::CreateFileW(platform::Widen(path).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  held_ = file == INVALID_HANDLE_VALUE ? nullptr : file;
}

FileHeldElsewhere::~FileHeldElsewhere() {
  if (held_ != nullptr) {
    ::CloseHandle(held_);
  }
}
#else
FileHeldElsewhere::FileHeldElsewhere(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
  } else if (fd >= 0) {
    held_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
  }
}

FileHeldElsewhere::~FileHeldElsewhere() {
  if (held_ != nullptr) {
    ::close(static_cast<int>(reinterpret_cast<std::intptr_t>(held_) - 1));
  }
}
#endif

}  // namespace runebin::testing
