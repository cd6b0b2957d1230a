#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>

#include "metafile/MetafileReader.h"
#include "platform/LargeMemory.h"

namespace runebin {

// A file read into memory on a thread of its own, a few megabytes at a time, while the import's
// first walk goes over what has arrived: reading and walking take turns on two processors rather
// than one. The block is sized to the read limit but only the pages the read fills take memory,
// so a file that grows while it is read is read on in place, up to the limit, as a whole read
// would.
class StreamedRead final : public ArrivingBytes {
 public:
  StreamedRead() = default;
  ~StreamedRead() override;
  StreamedRead(const StreamedRead&) = delete;
  StreamedRead& operator=(const StreamedRead&) = delete;

  // Starts reading `file` (which this then closes) from its current position. Returns false,
  // leaving the file to the caller, when there is no memory or no thread for it.
  bool Start(std::FILE* file);
  std::size_t Wait(std::size_t count) override;
  const std::uint8_t* Bytes() const { return buffer_.data(); }
  // Waits for the end of the read and hands over the block, whose first `size` bytes were read.
  platform::ByteBuffer Finish(std::size_t& size);

 private:
  void Read();
  void Stop();

  platform::ByteBuffer buffer_;
  std::FILE* file_ = nullptr;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::size_t size_ = 0;  // bytes read so far
  bool done_ = false;     // the read has ended
  bool stop_ = false;     // asked to end early
  std::thread reader_;
};

}  // namespace runebin
