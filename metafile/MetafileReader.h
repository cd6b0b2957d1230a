#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "metafile/ImportResult.h"
#include "platform/LargeMemory.h"

namespace runebin {

// The input side of the metafile import: a file's bytes, the recognition of a standard or a
// placeable metafile, and the walk over its records.
//
// Layout: an optional 22-byte placeable header (recognised by its key), an 18-byte standard
// header of which only the first word (the type) is looked at, then records. A record is its
// size in 16-bit words (32-bit, the size and function fields included), its function number
// (16-bit) and 2 * (size - 3) bytes of parameters. All numbers are little-endian.

// At most this many bytes of a file are used; the rest is ignored without a message.
inline constexpr std::size_t kMetafileReadLimit = 134217728;  // 128 MiB

inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr std::size_t kPlaceableHeaderSize = 22;
inline constexpr std::size_t kStandardHeaderSize =
    18;  // 9 words; the header's own size is not used
inline constexpr std::size_t kRecordSizeOffset = 0;
inline constexpr std::size_t kRecordFunctionOffset = 4;
inline constexpr std::size_t kRecordParametersOffset = 6;
inline constexpr std::uint32_t kMinRecordWords = 3;
inline constexpr std::uint32_t kEndRecordWords = 3;
inline constexpr std::uint16_t kEndRecordFunction = 0;

// Where the standard header starts when `data` (a file's first bytes) is recognised: in
// `headerOffset`, 0 for a standard metafile or 22 after a placeable header. Returns Succeeded,
// ReadFailed for no data, or UnknownType, also for data shorter than a standard header (18
// bytes). The first 32 bits decide: a first word of 0 or 1 (standard) is tested before the
// placeable key, so a type word of 2 is refused.
ImportResult RecogniseMetafile(std::span<const std::uint8_t> data, std::size_t& headerOffset);

// Receives the records of a walk that the converter is consulted for.
class RecordHandler {
 public:
  virtual ~RecordHandler() = default;
  // `parameters` holds exactly the record's own parameter bytes. Returns false when the record
  // does not hold the parameters its kind needs; the walk then ends at that record.
  virtual bool OnRecord(std::uint16_t function, std::span<const std::uint8_t> parameters) = 0;
};

// How a walk ended.
enum class WalkEnd {
  EndRecord,           // the end record (size 3, function 0)
  EndOfData,           // no room left for another record header: data without an end record
  MalformedRecord,     // a size below 3, or a record running past the end of the data
  MalformedParameters  // the handler found parameters running past their record
};

// Walks the records from 18 bytes after `headerOffset`, in file order, and hands each record
// whose kind the record kind table marks handled to `handler` (other records are passed over by
// their size).
//
// The rule for damaged data, the same everywhere: the walk stops at the first record that cannot
// be read whole (size below 3, or running past the data) or whose parameters, as the handler reads
// them, run past the record; what was handed on before it stands. The walk reads nothing outside
// `data` and always ends, as every step advances by at least 6 bytes.
WalkEnd WalkRecords(std::span<const std::uint8_t> data, std::size_t headerOffset,
                    RecordHandler& handler);
// The same walk from the record at `recordOffset` on, for going on where an earlier walk saw a
// record start. Stopping before a record is walking `data` cut off at its offset: the walk then
// ends there with EndOfData.
WalkEnd WalkRecordsFrom(std::span<const std::uint8_t> data, std::size_t recordOffset,
                        RecordHandler& handler);

// Bytes that arrive while a walk goes over them: a file still being read on another thread.
class ArrivingBytes {
 public:
  virtual ~ArrivingBytes() = default;
  // Returns how many bytes have arrived, once at least `count` have or no more will.
  virtual std::size_t Wait(std::size_t count) = 0;
};

// WalkRecords over the bytes from `bytes` on as they arrive: the walk waits where it needs bytes
// not there yet, and the data it walks is all that arrives in the end. `headerOffset` must be
// the one RecogniseMetafile found in the first bytes.
WalkEnd WalkArrivingRecords(const std::uint8_t* bytes, std::size_t headerOffset,
                            ArrivingBytes& arriving, RecordHandler& handler);

class StreamedRead;

// The bytes of one metafile for one import: read from a file into a buffer sized to the file
// (at most kMetafileReadLimit bytes), or borrowed from the caller. Nothing is shared between two
// readers.
class MetafileReader {
 public:
  MetafileReader();
  ~MetafileReader();
  MetafileReader(const MetafileReader&) = delete;
  MetafileReader& operator=(const MetafileReader&) = delete;

  // Reads the file at `path` in binary mode and recognises it. Returns Succeeded, OpenFailed
  // (cannot be opened; nothing else changes), ImportResult::ReadFailed (no bytes delivered, or no
  // memory for them) or ImportResult::UnknownType.
  ImportResult ReadFile(const std::string& path);
  // The same, except that a large file may still be being read when it returns: Walk goes over
  // the bytes as they arrive, and FinishReading must be called before Data.
  ImportResult StartReading(const std::string& path);
  void FinishReading();
  // Uses the first kMetafileReadLimit bytes of `bytes` without copying them; the caller keeps
  // them alive while this reader is used. Returns as ReadFile, without ImportResult::OpenFailed.
  ImportResult UseBytes(std::span<const std::uint8_t> bytes);

  std::span<const std::uint8_t> Data() const { return data_; }
  // Where the data starts, also while it is being read.
  const std::uint8_t* Start() const;
  // The size of the file as it was opened (of the bytes for UseBytes).
  std::size_t ExpectedSize() const { return expectedSize_; }
  std::size_t HeaderOffset() const { return headerOffset_; }
  WalkEnd Walk(RecordHandler& handler) const;
  // Frees the buffer early (the data becomes empty).
  void Release();

 private:
  platform::ByteBuffer buffer_;
  std::span<const std::uint8_t> data_;
  std::size_t expectedSize_ = 0;
  std::size_t headerOffset_ = 0;
  std::unique_ptr<StreamedRead> streaming_;  // while a read goes on
};

}  // namespace runebin
