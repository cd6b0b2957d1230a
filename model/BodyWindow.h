#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "platform/MemoryMap.h"

namespace runebin {

// The body of a drawing as a load walks it, front to back, for the framing functions of Format.h
// (Size and At). A body in memory of our own is read where it is. A body in a view that maps its
// file is read with the system's read call into a small buffer that slides along: several times
// faster than chasing record lengths through the view, whose pages would fault in one by one,
// and the view itself is touched only where the document later reads an entity. While the walk
// works through one buffer, a thread of the window's own reads the next one, so that copying the
// file and walking it take turns on two processors rather than one.
//
// A read that fails, or a file found shorter than the view (cut short by another program), makes
// the window Failed: every At after it is empty, and the load must not go on.
class BodyWindow {
 public:
  // `body` lies in `file`, `bodyOffset` bytes into it; each buffer holds `windowSize` bytes (1
  // MiB: fewer hand-overs between the threads; at 256 KiB they cost more than they saved).
  BodyWindow(const platform::MemoryMap& file, std::span<const std::uint8_t> body,
             std::size_t bodyOffset, std::size_t windowSize = std::size_t{1} << 20);
  ~BodyWindow();
  BodyWindow(const BodyWindow&) = delete;
  BodyWindow& operator=(const BodyWindow&) = delete;

  std::size_t Size() const { return body_.size(); }
  // What it returns is good until the next call.
  std::span<const std::uint8_t> At(std::size_t offset, std::size_t want) const;
  bool Failed() const { return failed_; }

 private:
  struct Buffer {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t start = 0;   // the bytes of body_ from start on,
    std::size_t filled = 0;  // this many of them
    bool complete = false;   // as many as were asked for
  };
  // Reads the bytes of body_ from `start` on into `buffer`.
  void Fill(Buffer& buffer, std::size_t start) const;
  // Where the buffer after `buffer` starts: a little before its end, so that a record's head
  // that straddles the two is whole in the next one.
  std::size_t NextStart(const Buffer& buffer) const;
  // Has the reader fill ahead_ from `start` on; waits for it, for ahead_ when it has.
  void AskAhead(std::size_t start) const;
  bool WaitAhead() const;
  void ReadAhead();

  const platform::MemoryMap& file_;
  std::span<const std::uint8_t> body_;
  std::size_t bodyOffset_;
  std::size_t windowSize_;
  bool reading_;
  mutable bool failed_ = false;
  mutable Buffer current_;  // what At hands out from

  // The reader's: ahead_ belongs to it from AskAhead until WaitAhead has seen it done.
  mutable Buffer ahead_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable bool asked_ = false;  // a fill of ahead_ is asked for or under way
  mutable bool done_ = false;   // and it is done
  mutable std::size_t aheadStart_ = 0;
  bool stop_ = false;
  std::thread reader_;
};

}  // namespace runebin
