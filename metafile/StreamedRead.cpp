#include "metafile/StreamedRead.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace runebin {
namespace {

// Big enough that handing over costs nothing next to the read, small enough that the walk
// starts soon.
constexpr std::size_t kReadStep = std::size_t{4} << 20;

}  // namespace

StreamedRead::~StreamedRead() {
  Stop();
}

bool StreamedRead::Start(std::FILE* file) {
  platform::ByteBuffer buffer(kMetafileReadLimit);
  if (buffer.data() == nullptr) {
    return false;
  }
  buffer_ = std::move(buffer);
  file_ = file;
  try {
    reader_ = std::thread(&StreamedRead::Read, this);
  } catch (const std::system_error&) {
    buffer_ = {};
    file_ = nullptr;
    return false;
  }
  return true;
}

void StreamedRead::Read() {
  std::size_t size = 0;
  for (;;) {
    const std::size_t step = std::min(kReadStep, buffer_.size() - size);
    const std::size_t got = std::fread(buffer_.data() + size, 1, step, file_);
    size += got;
    std::lock_guard lock(mutex_);
    size_ = size;
    // The end of the file, a read error, the limit, or a stop.
    if (got < step || size == buffer_.size() || stop_) {
      done_ = true;
      arrived_.notify_all();
      return;
    }
    arrived_.notify_all();
  }
}

std::size_t StreamedRead::Wait(std::size_t count) {
  std::unique_lock lock(mutex_);
  arrived_.wait(lock, [&] { return size_ >= count || done_; });
  return size_;
}

platform::ByteBuffer StreamedRead::Finish(std::size_t& size) {
  if (reader_.joinable()) {
    reader_.join();
  }
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  size = size_;
  return std::move(buffer_);
}

void StreamedRead::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  std::size_t ignored = 0;
  Finish(ignored);
}

}  // namespace runebin
