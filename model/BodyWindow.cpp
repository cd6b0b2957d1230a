#include "model/BodyWindow.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace runebin {
namespace {

// More than the framing ever asks for at once (a record's head with its name).
constexpr std::size_t kOverlap = 4096;

}  // namespace

BodyWindow::BodyWindow(const platform::MemoryMap& file, std::span<const std::uint8_t> body,
                       std::size_t bodyOffset, std::size_t windowSize)
    : file_(file),
      body_(body),
      bodyOffset_(bodyOffset),
      windowSize_(std::max(windowSize, 2 * kOverlap)),
      stride_(windowSize_ - kOverlap),
      reading_(file.CopySource() >= 0) {
  if (!reading_) {
    return;
  }
  // One buffer holds a small body; a larger one takes turns between the walk and the reader.
  const bool small = body_.size() <= windowSize_;
  block_ = platform::ByteBuffer(small ? body_.size() : kBuffers * windowSize_);
  if (block_.data() == nullptr) {
    throw std::bad_alloc();
  }
  buffers_[0].bytes = block_.data();
  if (small) {
    return;
  }
  for (std::size_t i = 1; i < kBuffers; ++i) {
    buffers_[i].bytes = block_.data() + i * windowSize_;
  }
  try {
    reader_ = std::thread(&BodyWindow::ReadAhead, this);
  } catch (const std::system_error&) {
    // No thread to be had: the walk reads every buffer itself.
  }
}

BodyWindow::~BodyWindow() {
  if (reader_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
  }
}

std::size_t BodyWindow::LastRead() const {
  const std::size_t rest = body_.size() - std::min(runStart_, body_.size());
  return rest <= windowSize_ ? 0 : (rest - windowSize_ + stride_ - 1) / stride_;
}

void BodyWindow::Restart(std::size_t offset) const {
  ++run_;
  runStart_ = offset;
  nextRead_ = 0;
  for (Buffer& buffer : buffers_) {
    if (buffer.state == State::Ready) {
      buffer.state = State::Free;  // one being read is let go when its read is done
    }
  }
}

BodyWindow::Buffer* BodyWindow::Claim() const {
  if (nextRead_ > LastRead()) {
    return nullptr;
  }
  // A free buffer, or else the one the walk passed longest ago (kept until now for a walk that
  // steps back a little, as after scanning a group that crossed into the next buffer).
  Buffer* claimed = nullptr;
  for (Buffer& buffer : buffers_) {
    if (buffer.bytes != nullptr && buffer.state == State::Free) {
      claimed = &buffer;
      break;
    }
    if (buffer.state == State::Ready && buffer.run == run_ && buffer.read < walkRead_ &&
        (claimed == nullptr || buffer.read < claimed->read)) {
      claimed = &buffer;
    }
  }
  if (claimed != nullptr) {
    claimed->state = State::Reading;
    claimed->run = run_;
    claimed->read = nextRead_++;
    claimed->start = ReadStart(claimed->read);
  }
  return claimed;
}

void BodyWindow::Fill(Buffer& buffer) const {
  const std::size_t length = std::min(windowSize_, body_.size() - buffer.start);
  buffer.filled =
      file_.ReadAt(static_cast<std::int64_t>(bodyOffset_ + buffer.start), {buffer.bytes, length});
  buffer.complete = buffer.filled == length;
}

void BodyWindow::Finish(Buffer& buffer) const {
  // A read of a run given up since is not wanted any more.
  buffer.state = buffer.run == run_ ? State::Ready : State::Free;
  changed_.notify_all();
}

void BodyWindow::ReadAhead() {
  std::unique_lock lock(mutex_);
  while (true) {
    Buffer* claimed = nullptr;
    changed_.wait(lock, [&] { return stop_ || (claimed = Claim()) != nullptr; });
    if (stop_) {
      return;  // a buffer claimed just now is not read: nobody waits for it any more
    }
    lock.unlock();
    Fill(*claimed);
    lock.lock();
    Finish(*claimed);
  }
}

bool BodyWindow::MoveTo(std::size_t offset, std::size_t needed) const {
  std::unique_lock lock(mutex_);
  // The read of the run that holds the bytes: reads overlap by kOverlap, so the one that starts
  // last at or before `offset` holds them, or the last read, which runs to the end.
  const auto has = [this](std::size_t read) {
    return read == nextRead_ || std::any_of(buffers_, buffers_ + kBuffers, [&](const Buffer& b) {
             return b.state != State::Free && b.run == run_ && b.read == read;
           });
  };
  std::size_t read = 0;
  if (offset < runStart_ || needed > kOverlap ||
      (read = std::min((offset - runStart_) / stride_, LastRead())) > nextRead_ || !has(read)) {
    Restart(offset);  // a jump back or ahead past what is read
    read = 0;
  }
  // The buffers before it may be read into again.
  current_ = nullptr;
  walkRead_ = read;
  changed_.notify_all();
  while (true) {
    for (Buffer& buffer : buffers_) {
      if (buffer.state == State::Ready && buffer.run == run_ && buffer.read == read) {
        current_ = &buffer;
        return buffer.complete;
      }
    }
    // Rather than wait for the reader, read the next buffer of the run (or this one) here.
    if (Buffer* claimed = Claim()) {
      lock.unlock();
      Fill(*claimed);
      lock.lock();
      Finish(*claimed);
    } else {
      changed_.wait(lock);
    }
  }
}

std::span<const std::uint8_t> BodyWindow::At(std::size_t offset, std::size_t want) const {
  if (failed_ || offset > body_.size()) {
    return {};
  }
  if (!reading_) {
    return body_.subspan(offset);
  }
  const std::size_t needed = std::min(want, body_.size() - offset);
  if (current_ == nullptr || offset < current_->start ||
      offset + needed > current_->start + current_->filled) {
    if (!MoveTo(offset, needed)) {
      failed_ = true;
      return {};
    }
  }
  return {current_->bytes + (offset - current_->start),
          current_->filled - (offset - current_->start)};
}

}  // namespace runebin
