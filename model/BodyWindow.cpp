#include "model/BodyWindow.h"

#include <algorithm>

namespace runebin {

BodyWindow::BodyWindow(const platform::MemoryMap& file, std::span<const std::uint8_t> body,
                       std::size_t bodyOffset, std::size_t windowSize)
    : file_(file),
      body_(body),
      bodyOffset_(bodyOffset),
      windowSize_(windowSize),
      reading_(file.CopySource() >= 0) {}

std::span<const std::uint8_t> BodyWindow::At(std::size_t offset, std::size_t want) const {
  if (failed_ || offset > body_.size()) {
    return {};
  }
  if (!reading_) {
    return body_.subspan(offset);
  }
  const std::size_t needed = std::min(want, body_.size() - offset);
  if (offset < start_ || offset + needed > start_ + filled_) {
    if (!buffer_) {
      buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(windowSize_);
    }
    // A wish larger than the window (never made by the framing) gets what fits.
    const std::size_t length = std::min(windowSize_, body_.size() - offset);
    start_ = offset;
    filled_ =
        file_.ReadAt(static_cast<std::int64_t>(bodyOffset_ + offset), {buffer_.get(), length});
    if (filled_ < length) {
      failed_ = true;
      return {};
    }
  }
  return {buffer_.get() + (offset - start_), filled_ - (offset - start_)};
}

}  // namespace runebin
