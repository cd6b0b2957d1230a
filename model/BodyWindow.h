#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

#include "platform/LargeMemory.h"
#include "platform/MemoryMap.h"

namespace runebin {

// The body of a drawing as a load walks it, front to back, for the framing functions of Format.h
// (Size and At). A body in memory of our own is read where it is. A body in a view that maps its
// file is read with the system's read call into buffers that slide along: several times faster
// than chasing record lengths through the view, whose pages would fault in one by one, and the
// view itself is touched only where the document later reads an entity.
//
// The buffers are read one after the other from where the walk began (or last jumped to), each a
// little before the end of the one before, so that a record's head that straddles the two is whole
// in the next one. A thread of the window's own reads ahead of the walk; and when the walk needs a
// buffer that thread is still reading, it reads the one after itself rather than wait, so that
// both processors copy the file while the walk works through it.
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
  enum class State { Free, Reading, Ready };
  struct Buffer {
    std::uint8_t* bytes = nullptr;  // in block_
    State state = State::Free;
    std::uint64_t run = 0;  // the buffer holds read `read` of run `run`:
    std::size_t read = 0;
    std::size_t start = 0;   // the bytes of body_ from start on,
    std::size_t filled = 0;  // this many of them
    bool complete = false;   // as many as were asked for
  };
  // Where read `read` of the current run starts, and the last read the run needs.
  std::size_t ReadStart(std::size_t read) const { return runStart_ + read * stride_; }
  std::size_t LastRead() const;
  // With mutex_ held: starts a new run of reads at `offset`, dropping what was read ahead.
  void Restart(std::size_t offset) const;
  // With mutex_ held: a buffer for the next read of the run, marked Reading; null when there is
  // none to spare or the run is read to the end.
  Buffer* Claim() const;
  // Reads the claimed `buffer` (without mutex_), then marks it Ready (with mutex_ held).
  void Fill(Buffer& buffer) const;
  void Finish(Buffer& buffer) const;
  // Makes the buffer that holds `needed` bytes from `offset` on current; false when it could not
  // be read whole.
  bool MoveTo(std::size_t offset, std::size_t needed) const;
  void ReadAhead();

  // Four buffers of 1 MiB fill two huge pages (see platform::LargeMemory): the first touch of
  // each 4 KiB page would cost a fault.
  static constexpr std::size_t kBuffers = 4;
  const platform::MemoryMap& file_;
  std::span<const std::uint8_t> body_;
  std::size_t bodyOffset_;
  std::size_t windowSize_;
  std::size_t stride_;  // from the start of one read to the next
  bool reading_;
  platform::ByteBuffer block_;
  mutable bool failed_ = false;
  mutable Buffer* current_ = nullptr;  // what At hands out from; the walk's own

  // The rest is shared with the reader, under mutex_ (the bytes of a buffer belong to whoever
  // marked it Reading until it is Ready, then to the walk).
  mutable Buffer buffers_[kBuffers];
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable std::uint64_t run_ = 0;
  mutable std::size_t runStart_ = 0;
  mutable std::size_t nextRead_ = 0;
  mutable std::size_t walkRead_ = 0;  // the read the walk is in
  bool stop_ = false;
  std::thread reader_;
};

}  // namespace runebin
