#include "model/SymbolsWalk.h"

#include <algorithm>

#include "model/Format.h"
#include "model/NamedEntity.h"

namespace runebin {
namespace {

// Enough of a record's start for its type and its name, in a definition or a reference.
constexpr std::size_t kNamedHead = std::max(kDefNameOffset, kRefNameOffset) + kNameFieldSize;

bool IsMarker(std::size_t length, std::uint8_t type) {
  return length == kMarkerLength && (type == kMarkerOpen || type == kMarkerClose);
}

}  // namespace

std::span<const std::uint8_t> SymbolsWalk::Here(std::size_t want) {
  if (offset_ >= spanStart_ && offset_ - spanStart_ <= span_.size()) {
    const std::span<const std::uint8_t> rest = span_.subspan(offset_ - spanStart_);
    if (rest.size() >= want || spanStart_ + span_.size() == window_.Size()) {
      return rest;
    }
  }
  span_ = window_.At(offset_, want);
  spanStart_ = offset_;
  return span_;
}

SymbolsWalk::Found SymbolsWalk::Next() {
  const std::size_t size = window_.Size();
  // Every record passed is at least 5 bytes long, so the walk ends.
  while (offset_ < size) {
    start_ = offset_;
    const std::span<const std::uint8_t> head = Here(kNamedHead);
    const std::size_t length = RecordLengthIn(head, size - offset_);
    if (length == 0) {
      offset_ = size;
      return Found::Tail;
    }
    const std::uint8_t type = head[kTypeOffset];
    if (type == kTypeSymbolRef) {
      // The head holds the whole field, or the whole record where it is shorter.
      name_ = NameFieldView(head.first(std::min(length, head.size())), kRefNameOffset);
      offset_ += length;
      return Found::Reference;
    }
    if (IsGroupLeader(type)) {
      if (!DigestGroup()) {
        offset_ = size;
        return Found::Tail;
      }
      return Found::Group;
    }
    offset_ += length;
  }
  return Found::End;
}

// The framing of ScanGroupLengthAt, record by record.
bool SymbolsWalk::DigestGroup() {
  const std::size_t size = window_.Size();
  const std::size_t start = offset_;
  GroupLevel level;
  digest_.clear();
  while (offset_ < size) {
    const std::span<const std::uint8_t> head = Here(kTypeOffset + 1);
    const std::size_t length = RecordLengthIn(head, size - offset_);
    if (length == 0) {
      return false;
    }
    const std::uint8_t type = head[kTypeOffset];
    if (offset_ == start || type == kTypeSymbolRef || IsGroupLeader(type) ||
        IsMarker(length, type)) {
      if (!Copy(length)) {
        return false;
      }
    } else {
      offset_ += length;
    }
    if (level.Closes(length, type)) {
      return true;
    }
  }
  return false;
}

bool SymbolsWalk::Copy(std::size_t length) {
  for (std::size_t left = length; left > 0;) {
    const std::span<const std::uint8_t> here = Here(std::min(left, kNamedHead));
    const std::size_t taken = std::min(left, here.size());
    if (taken == 0) {
      return false;  // the window failed
    }
    digest_.insert(digest_.end(), here.begin(), here.begin() + static_cast<std::ptrdiff_t>(taken));
    offset_ += taken;
    left -= taken;
  }
  return true;
}

}  // namespace runebin
