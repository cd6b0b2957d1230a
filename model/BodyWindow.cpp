#include "model/BodyWindow.h"

#include <algorithm>
#include <system_error>
#include <utility>

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
      reading_(file.CopySource() >= 0) {
  if (!reading_) {
    return;
  }
  current_.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(windowSize_);
  if (body_.size() <= windowSize_) {
    return;  // one read does it
  }
  ahead_.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(windowSize_);
  try {
    reader_ = std::thread(&BodyWindow::ReadAhead, this);
  } catch (const std::system_error&) {
    // No thread to be had: every buffer is read when it is needed.
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

void BodyWindow::Fill(Buffer& buffer, std::size_t start) const {
  const std::size_t length = std::min(windowSize_, body_.size() - start);
  buffer.start = start;
  buffer.filled =
      file_.ReadAt(static_cast<std::int64_t>(bodyOffset_ + start), {buffer.bytes.get(), length});
  buffer.complete = buffer.filled == length;
}

std::size_t BodyWindow::NextStart(const Buffer& buffer) const {
  return buffer.start + buffer.filled - std::min(buffer.filled, kOverlap);
}

void BodyWindow::ReadAhead() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return stop_ || (asked_ && !done_); });
    if (stop_) {
      return;
    }
    const std::size_t start = aheadStart_;
    lock.unlock();
    Fill(ahead_, start);
    lock.lock();
    done_ = true;
    changed_.notify_all();
  }
}

void BodyWindow::AskAhead(std::size_t start) const {
  if (!reader_.joinable() || start >= body_.size()) {
    return;
  }
  {
    const std::lock_guard lock(mutex_);
    aheadStart_ = start;
    asked_ = true;
    done_ = false;
  }
  changed_.notify_all();
}

bool BodyWindow::WaitAhead() const {
  std::unique_lock lock(mutex_);
  if (!asked_) {
    return false;
  }
  changed_.wait(lock, [this] { return done_; });
  asked_ = false;
  return true;
}

std::span<const std::uint8_t> BodyWindow::At(std::size_t offset, std::size_t want) const {
  if (failed_ || offset > body_.size()) {
    return {};
  }
  if (!reading_) {
    return body_.subspan(offset);
  }
  const std::size_t needed = std::min(want, body_.size() - offset);
  const auto holds = [&](const Buffer& buffer) {
    return buffer.complete && offset >= buffer.start &&
           offset + needed <= buffer.start + buffer.filled;
  };
  if (!holds(current_)) {
    // The buffer read ahead is the next one as the walk goes on; any other place is read now.
    if (WaitAhead() && holds(ahead_)) {
      std::swap(current_, ahead_);
    } else {
      Fill(current_, offset);
      if (!current_.complete) {
        failed_ = true;
        return {};
      }
    }
    AskAhead(NextStart(current_));
  }
  return {current_.bytes.get() + (offset - current_.start),
          current_.filled - (offset - current_.start)};
}

}  // namespace runebin
