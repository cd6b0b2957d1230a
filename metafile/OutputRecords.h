#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "model/Format.h"
#include "platform/LargeMemory.h"

namespace runebin {

// The drawing-format records that a metafile import writes, and the byte stream they go to.
// All numbers little-endian, reals single precision.

// Record types written.
inline constexpr std::uint8_t kTypePath = 3;
inline constexpr std::uint8_t kTypeEllipse = 8;
// Groups are the drawing format's type-17 records (kTypeGroup17).

// Every path, ellipse and group record carries a number; the first one of each pass is this.
inline constexpr std::uint32_t kFirstSequenceNumber = 6826;

// Fields shared by path, ellipse and group records.
inline constexpr std::size_t kColourOffset = 7;  // colour index, written twice
inline constexpr std::size_t kColourAgainOffset = 8;
inline constexpr std::size_t kDrawFlagOffset = 12;  // 16-bit 1 in paths and ellipses
inline constexpr std::size_t kFillFlagOffset = 18;  // 16-bit; groups carry 1 here
inline constexpr std::size_t kSequenceOffset = 24;

// Path record (type 3): 42 bytes, then n vertices of two reals (x, y).
inline constexpr std::size_t kPathHeaderSize = 42;
inline constexpr std::size_t kPathVertexSize = 8;
inline constexpr std::size_t kPathKindOffset = 29;  // byte 8
inline constexpr std::uint8_t kPathKind = 8;
inline constexpr std::size_t kPathLastIndexOffset = 34;  // n - 1 as a real
inline constexpr std::size_t kPathCountOffset = 38;      // n, 16-bit
inline constexpr std::size_t kPathClosedOffset = 40;
inline constexpr std::uint8_t kPathClosed = 0x80;
inline constexpr std::uint8_t kPathOpen = 0;

// Ellipse record (type 8), 48 bytes.
inline constexpr std::size_t kEllipseRecordSize = 48;
inline constexpr std::size_t kEllipseCentreXOffset = 28;
inline constexpr std::size_t kEllipseCentreYOffset = 32;
inline constexpr std::size_t kEllipseMinorOffset = 36;  // the smaller half-axis
inline constexpr std::size_t kEllipseRatioOffset = 40;  // half-width / (half-height + 0.00001)

// Group record (type 17), 30 bytes, followed by GroupOpen, one path record and GroupClose.
inline constexpr std::size_t kGroupRecordSize = 30;
inline constexpr std::size_t kGroupWrapSize =
    kGroupRecordSize + 2 * kMarkerLength;  // with its markers

// Fill flag values.
inline constexpr std::uint16_t kFilled = 1;
inline constexpr std::uint16_t kOutline = 0;

constexpr std::size_t PathRecordSize(std::size_t vertices) {
  return kPathHeaderSize + kPathVertexSize * vertices;
}

// Extents of a symbol definition, in drawing units.
struct DefinitionExtents {
  float lowX = 0;
  float lowY = 0;
  float highX = 0;
  float highY = 0;
};

// Hands over stretches of a symbol's bytes as soon as they are final, with their offset in the
// symbol, so that a caller can write them out while the rest is still being made. A stretch handed
// over twice holds the same place's bytes both times; the later one counts.
using FinishedBytes = std::function<void(std::size_t offset, std::span<const std::uint8_t> bytes)>;

// Whether stretches of whole records, taken one after the other, frame as one top-level group (a
// leading record and its group up to the GroupClose that closes it, which must come last) or as a
// stretch inside a group (never closing more than it opened, and closing all it opened). A
// symbol streamed out is checked so as it goes, while its bytes are at hand.
class RecordFraming {
 public:
  enum class Kind { WholeGroup, Stretch };
  explicit RecordFraming(Kind kind) : kind_(kind) {}
  void Take(std::span<const std::uint8_t> records);
  bool Framed() const { return !broken_ && (kind_ == Kind::WholeGroup ? closed_ : depth_ == 0); }

 private:
  Kind kind_;
  GroupLevel level_;  // for a whole group
  long depth_ = 0;    // for a stretch
  bool closed_ = false;
  bool broken_ = false;
};

// A growable byte stream with room for a known total. An import reserves the exact size it
// measured, so the stream is allocated once; appending beyond the reservation still works (the
// stream grows), it is only slower. Allocation failure is reported, never thrown.
class OutputSink {
 public:
  OutputSink() = default;
  // A sink that appends into `room`, memory of someone else's, and never grows: an append that
  // does not fit fails it. For writing the end of a stream whose start another sink writes.
  explicit OutputSink(std::span<std::uint8_t> room)
      : bytes_(room.data()), capacity_(room.size()), borrowed_(true) {}
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  // Makes room for `total` bytes in all. Returns false when memory runs out.
  bool Reserve(std::size_t total);
  // Appends `count` bytes and returns where they start, or null when memory runs out (the sink is
  // then failed: later appends also answer null). The bytes are not initialised.
  std::uint8_t* Extend(std::size_t count);
  bool Failed() const { return failed_; }
  std::span<const std::uint8_t> Bytes() const { return {bytes_, size_}; }
  // The reserved bytes after the stream, not appended yet.
  std::span<std::uint8_t> Room() const { return {bytes_ + size_, capacity_ - size_}; }
  // Hands over the stream, Bytes().size() bytes, and leaves the sink empty. Empty (and the sink
  // failed) when memory ran out, or when the sink's memory was borrowed.
  platform::ByteBuffer TakeBytes();
  void Release();

  // Hands `finished` the stream's bytes, placed at `offset` + their own offset: at RecordDone a
  // large enough stretch of those not handed over yet, at HandOverRest the rest. The caller
  // calls RecordDone only when nothing is written into the stream's bytes any more.
  void HandOverTo(const FinishedBytes* finished, std::size_t offset);
  void RecordDone() {
    if (finished_ != nullptr && size_ - handedOver_ >= kHandOverStep) {
      HandOverRest();
    }
  }
  void HandOverRest();
  // The bytes up to here were handed over by someone else (another sink that wrote them).
  void HandedOverElsewhere() { handedOver_ = size_; }
  // Everything is to be handed over again (the bytes up to here may have been handed over from
  // two places at once).
  void HandOverAgain() { handedOver_ = 0; }

  // Hands the stream over as HandOverTo does, but lets go of the bytes once they are handed over:
  // the sink holds only those not handed over yet, a few megabytes however long the stream, and
  // Bytes() is just those. Every stretch handed over must be whole records; `framing` checks
  // them. Offsets into Bytes() stay good until the next RecordDone.
  void StreamTo(const FinishedBytes* finished, std::size_t offset, RecordFraming::Kind framing);
  // All the bytes appended so far, handed over or not.
  std::size_t Streamed() const { return streamed_ + size_; }
  // After HandOverRest: the next `count` bytes of the stream are handed over by another sink.
  void SkipStreamed(std::size_t count);
  // Whether everything handed over while streaming was framed as the stream's kind asks, and
  // handed over whole (no memory ran out).
  bool StreamedFramed() const { return streaming_ && !failed_ && framing_.Framed(); }

  // Room a streaming sink keeps: a little more than it hands over at a time.
  static constexpr std::size_t kStreamRoom = std::size_t{6} << 20;

 private:
  static constexpr std::size_t kHandOverStep = std::size_t{4} << 20;

  platform::ByteBuffer owned_;  // the memory, unless borrowed
  std::uint8_t* bytes_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  bool borrowed_ = false;
  bool failed_ = false;
  const FinishedBytes* finished_ = nullptr;
  std::size_t finishedOffset_ = 0;
  std::size_t handedOver_ = 0;  // the stream's first bytes handed over so far
  bool streaming_ = false;
  std::size_t streamed_ = 0;  // streaming: bytes handed over and let go
  RecordFraming framing_{RecordFraming::Kind::Stretch};
};

// Each writer appends one record (zero bytes where the record has nothing) and does nothing when
// the sink has failed.

// The 88-byte symbol definition (type 28) with the name's first 31 bytes.
void AppendDefinition(OutputSink& sink, const DefinitionExtents& extents, std::string_view name);
// A 5-byte GroupOpen or GroupClose marker.
void AppendMarker(OutputSink& sink, const std::uint8_t (&marker)[kMarkerLength]);
// A path record's 42-byte header; returns where its `vertices` vertices (8 bytes each) go, for
// the caller to fill, or null.
std::uint8_t* AppendPath(OutputSink& sink, std::uint8_t colour, std::uint16_t fill,
                         std::uint32_t sequence, std::uint16_t vertices, std::uint8_t closed);
void AppendEllipse(OutputSink& sink, std::uint8_t colour, std::uint16_t fill,
                   std::uint32_t sequence, float centreX, float centreY, float minor, float ratio);
// The 30-byte group record alone; the caller adds the markers and the path.
void AppendGroup(OutputSink& sink, std::uint8_t colour, std::uint32_t sequence);

}  // namespace runebin
