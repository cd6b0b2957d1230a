#include "metafile/OutputRecords.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "model/ByteOrder.h"
#include "model/Format.h"

namespace runebin {

bool OutputSink::Reserve(std::size_t total) {
  if (failed_) {
    return false;
  }
  if (total <= capacity_) {
    return true;
  }
  if (borrowed_) {
    failed_ = true;
    return false;
  }
  platform::ByteBuffer grown(total);
  if (grown.data() == nullptr) {
    failed_ = true;
    return false;
  }
  if (size_ > 0) {
    std::memcpy(grown.data(), bytes_, size_);
  }
  owned_ = std::move(grown);
  bytes_ = owned_.data();
  capacity_ = owned_.size();
  return true;
}

std::uint8_t* OutputSink::Extend(std::size_t count) {
  if (failed_) {
    return nullptr;
  }
  if (capacity_ - size_ < count) {
    // Not reserved: grow in steps of at least 1024 bytes, doubling.
    const std::size_t needed = size_ + count;
    if (needed < size_ || !Reserve(std::max({needed, capacity_ * 2, std::size_t{1024}}))) {
      failed_ = true;
      return nullptr;
    }
  }
  std::uint8_t* start = bytes_ + size_;
  size_ += count;
  return start;
}

platform::ByteBuffer OutputSink::TakeBytes() {
  // An import fills exactly what it reserved; only a stream grown by doubling has room to spare.
  if (borrowed_ || !owned_.Shrink(size_)) {
    failed_ = true;
    return {};
  }
  bytes_ = nullptr;
  capacity_ = 0;
  size_ = 0;
  handedOver_ = 0;
  return std::move(owned_);
}

void OutputSink::HandOverTo(const FinishedBytes* finished, std::size_t offset) {
  finished_ = finished != nullptr && *finished ? finished : nullptr;
  finishedOffset_ = offset;
  handedOver_ = size_;
}

void OutputSink::HandOverRest() {
  if (finished_ == nullptr || failed_ || size_ <= handedOver_) {
    return;
  }
  const std::span<const std::uint8_t> rest = Bytes().subspan(handedOver_);
  (*finished_)(finishedOffset_ + handedOver_, rest);
  handedOver_ = size_;
  if (streaming_) {
    framing_.Take(rest);
    // Handed over from the start of the block: the block is free again.
    finishedOffset_ += size_;
    streamed_ += size_;
    size_ = 0;
    handedOver_ = 0;
  }
}

void OutputSink::StreamTo(const FinishedBytes* finished, std::size_t offset,
                          RecordFraming::Kind framing) {
  HandOverTo(finished, offset);
  streaming_ = finished_ != nullptr && size_ == 0;
  streamed_ = 0;
  framing_ = RecordFraming(framing);
}

void OutputSink::SkipStreamed(std::size_t count) {
  if (streaming_ && size_ == 0) {
    finishedOffset_ += count;
    streamed_ += count;
  } else {
    failed_ = true;
  }
}

void RecordFraming::Take(std::span<const std::uint8_t> records) {
  for (std::size_t offset = 0; offset < records.size() && !broken_;) {
    const std::size_t length = RecordLength(records.subspan(offset));
    // Nothing may follow the GroupClose that closes a whole group.
    if (length == 0 || closed_) {
      broken_ = true;
      break;
    }
    const std::uint8_t type = records[offset + kTypeOffset];
    if (kind_ == Kind::WholeGroup) {
      closed_ = level_.Closes(length, type);
    } else if (length == kMarkerLength && type == kMarkerClose) {
      broken_ = --depth_ < 0;
    } else if (length == kMarkerLength && type == kMarkerOpen) {
      ++depth_;
    }
    offset += length;
  }
}

void OutputSink::Release() {
  owned_ = {};
  bytes_ = nullptr;
  capacity_ = 0;
  size_ = 0;
  borrowed_ = false;
  failed_ = false;
  finished_ = nullptr;
  handedOver_ = 0;
  streaming_ = false;
  streamed_ = 0;
}

namespace {

// The zeroed start of a record of `length` bytes with its length and type, or null.
std::uint8_t* StartRecord(OutputSink& sink, std::size_t length, std::size_t zeroed,
                          std::uint8_t type) {
  std::uint8_t* record = sink.Extend(length);
  if (record != nullptr) {
    std::memset(record, 0, zeroed);
    PutU32(record + kLengthOffset, static_cast<std::uint32_t>(length));
    record[kTypeOffset] = type;
  }
  return record;
}

void PutColour(std::uint8_t* record, std::uint8_t colour) {
  record[kColourOffset] = colour;
  record[kColourAgainOffset] = colour;
}

}  // namespace

void AppendDefinition(OutputSink& sink, const DefinitionExtents& extents, std::string_view name) {
  std::uint8_t* record = StartRecord(sink, kDefRecordLength, kDefRecordLength, kTypeSymbolDef);
  if (record == nullptr) {
    return;
  }
  PutF32(record + kDefLowXOffset, extents.lowX);
  PutF32(record + kDefLowYOffset, extents.lowY);
  PutF32(record + kDefHighXOffset, extents.highX);
  PutF32(record + kDefHighYOffset, extents.highY);
  // At most 31 bytes, so the field's last byte stays zero.
  std::memcpy(record + kDefNameOffset, name.data(), std::min(name.size(), kMaxNameLength));
}

void AppendMarker(OutputSink& sink, const std::uint8_t (&marker)[kMarkerLength]) {
  std::uint8_t* record = sink.Extend(sizeof marker);
  if (record != nullptr) {
    std::memcpy(record, marker, sizeof marker);
  }
}

std::uint8_t* AppendPath(OutputSink& sink, std::uint8_t colour, std::uint16_t fill,
                         std::uint32_t sequence, std::uint16_t vertices, std::uint8_t closed) {
  std::uint8_t* record = StartRecord(sink, PathRecordSize(vertices), kPathHeaderSize, kTypePath);
  if (record == nullptr) {
    return nullptr;
  }
  PutColour(record, colour);
  PutU16(record + kDrawFlagOffset, 1);
  PutU16(record + kFillFlagOffset, fill);
  PutU32(record + kSequenceOffset, sequence);
  record[kPathKindOffset] = kPathKind;
  PutF32(record + kPathLastIndexOffset, static_cast<float>(vertices) - 1.0F);
  PutU16(record + kPathCountOffset, vertices);
  record[kPathClosedOffset] = closed;
  return record + kPathHeaderSize;
}

void AppendEllipse(OutputSink& sink, std::uint8_t colour, std::uint16_t fill,
                   std::uint32_t sequence, float centreX, float centreY, float minor, float ratio) {
  std::uint8_t* record = StartRecord(sink, kEllipseRecordSize, kEllipseRecordSize, kTypeEllipse);
  if (record == nullptr) {
    return;
  }
  PutColour(record, colour);
  PutU16(record + kDrawFlagOffset, 1);
  PutU16(record + kFillFlagOffset, fill);
  PutU32(record + kSequenceOffset, sequence);
  PutF32(record + kEllipseCentreXOffset, centreX);
  PutF32(record + kEllipseCentreYOffset, centreY);
  PutF32(record + kEllipseMinorOffset, minor);
  PutF32(record + kEllipseRatioOffset, ratio);
}

void AppendGroup(OutputSink& sink, std::uint8_t colour, std::uint32_t sequence) {
  std::uint8_t* record = StartRecord(sink, kGroupRecordSize, kGroupRecordSize, kTypeGroup17);
  if (record == nullptr) {
    return;
  }
  PutColour(record, colour);
  // A group carries 0 where a path has its draw flag, and 1 where a path has its fill flag.
  PutU16(record + kFillFlagOffset, 1);
  PutU32(record + kSequenceOffset, sequence);
}

}  // namespace runebin
