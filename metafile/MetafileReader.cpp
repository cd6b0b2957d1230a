#include "metafile/MetafileReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "metafile/RecordKinds.h"
#include "metafile/StreamedRead.h"
#include "model/ByteOrder.h"
#include "platform/RegularFile.h"

namespace runebin {
namespace {

// From this size on a file is read while it is walked.
constexpr std::size_t kStreamedFileSize = std::size_t{8} << 20;

// A file's size when the system knows it; 0 otherwise.
std::size_t SizeHint(std::FILE* file) {
  struct stat info {};
  if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
    return 0;
  }
  return static_cast<std::size_t>(std::min<unsigned long long>(
      static_cast<unsigned long long>(info.st_size), kMetafileReadLimit));
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads up to kMetafileReadLimit bytes. A regular file is read into a buffer of its own size in
// one read; a file whose size the system does not tell (or that grows meanwhile) is read on in
// doubling steps up to the limit. Returns false when memory runs out.
bool ReadAll(std::FILE* file, platform::ByteBuffer& buffer, std::size_t& size) {
  constexpr std::size_t kFirstStepWithoutHint = 65536;
  const std::size_t hint = SizeHint(file);
  std::size_t capacity = hint > 0 ? hint : kFirstStepWithoutHint;
  size = 0;
  for (;;) {
    // Uninitialised on purpose: the read fills what is used, and the data is cut to what it
    // delivered.
    platform::ByteBuffer grown(capacity);
    if (grown.data() == nullptr) {
      return false;
    }
    if (size > 0) {
      std::memcpy(grown.data(), buffer.data(), size);
    }
    buffer = std::move(grown);
    size += std::fread(buffer.data() + size, 1, capacity - size, file);
    if (size < capacity || capacity == kMetafileReadLimit) {
      return true;  // end of file, a read error, or the limit
    }
    // Full: there may be more. A file of exactly its hinted size costs one more small read.
    const int next = std::fgetc(file);
    if (next == EOF) {
      return true;
    }
    std::ungetc(next, file);
    capacity = std::min(capacity * 2, kMetafileReadLimit);
  }
}

}  // namespace

ImportResult RecogniseMetafile(std::span<const std::uint8_t> data, std::size_t& headerOffset) {
  if (data.empty()) {
    return ImportResult::ReadFailed;
  }
  // Anything shorter than the smallest header holds no drawing, whatever its first bytes say.
  if (data.size() < kStandardHeaderSize) {
    return ImportResult::UnknownType;
  }
  const std::uint32_t value = *ReadU32(data, 0);
  const std::uint32_t typeWord = value & 0xFFFFu;
  if (typeWord == 0 || typeWord == 1) {
    headerOffset = 0;
    return ImportResult::Succeeded;
  }
  if (value == kPlaceableKey) {
    headerOffset = kPlaceableHeaderSize;
    return ImportResult::Succeeded;
  }
  return ImportResult::UnknownType;
}

WalkEnd WalkRecords(std::span<const std::uint8_t> data, std::size_t headerOffset,
                    RecordHandler& handler) {
  if (headerOffset > data.size() || data.size() - headerOffset < kStandardHeaderSize) {
    return WalkEnd::EndOfData;
  }
  return WalkRecordsFrom(data, headerOffset + kStandardHeaderSize, handler);
}

namespace {

// The walk over `data`, of which the first `arrived` bytes are there; `arriving` (when not null)
// tells of more as the walk needs them.
WalkEnd Walk(const std::uint8_t* bytes, std::size_t arrived, std::size_t offset,
             ArrivingBytes* arriving, RecordHandler& handler) {
  std::span<const std::uint8_t> data(bytes, arrived);
  // Whether the first `count` bytes are there, waiting for them while more may come.
  const auto reach = [&](std::uint64_t count) {
    if (count > data.size() && arriving != nullptr) {
      const std::size_t want =
          count > kMetafileReadLimit ? kMetafileReadLimit : static_cast<std::size_t>(count);
      data = std::span<const std::uint8_t>(bytes, arriving->Wait(want));
    }
    return count <= data.size();
  };
  if (!reach(offset)) {
    return WalkEnd::EndOfData;
  }
  for (;;) {
    if (!reach(std::uint64_t{offset} + kRecordParametersOffset)) {
      return WalkEnd::EndOfData;
    }
    const std::uint32_t words = *ReadU32(data, offset + kRecordSizeOffset);
    const std::uint16_t function = *ReadU16(data, offset + kRecordFunctionOffset);
    if (words == kEndRecordWords && function == kEndRecordFunction) {
      return WalkEnd::EndRecord;
    }
    const std::uint64_t bytesInRecord = 2 * static_cast<std::uint64_t>(words);
    if (words < kMinRecordWords || !reach(offset + bytesInRecord)) {
      return WalkEnd::MalformedRecord;
    }
    if (IsHandedToConverter(function)) {
      const auto parameters =
          data.subspan(offset + kRecordParametersOffset,
                       static_cast<std::size_t>(bytesInRecord) - kRecordParametersOffset);
      if (!handler.OnRecord(function, parameters)) {
        return WalkEnd::MalformedParameters;
      }
    }
    offset += static_cast<std::size_t>(bytesInRecord);
  }
}

}  // namespace

WalkEnd WalkRecordsFrom(std::span<const std::uint8_t> data, std::size_t recordOffset,
                        RecordHandler& handler) {
  return Walk(data.data(), data.size(), recordOffset, nullptr, handler);
}

WalkEnd WalkArrivingRecords(const std::uint8_t* bytes, std::size_t headerOffset,
                            ArrivingBytes& arriving, RecordHandler& handler) {
  return Walk(bytes, 0, headerOffset + kStandardHeaderSize, &arriving, handler);
}

MetafileReader::MetafileReader() = default;

MetafileReader::~MetafileReader() {
  Release();
}

ImportResult MetafileReader::ReadFile(const std::string& path) {
  const ImportResult result = StartReading(path);
  FinishReading();
  return result;
}

ImportResult MetafileReader::StartReading(const std::string& path) {
  // A pipe or device is refused at once: reading one could wait for ever.
  const int fd = platform::OpenRegularFile(path);
  if (fd < 0) {
    return ImportResult::OpenFailed;
  }
  std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd, "rb"));
  if (!file) {
    ::close(fd);
    return ImportResult::OpenFailed;
  }
  Release();
  expectedSize_ = SizeHint(file.get());
  // A large file is read on a thread while the first walk follows; the block is sized to the
  // limit, which needs room that costs nothing until it is read into.
  if (expectedSize_ >= kStreamedFileSize && platform::UnwrittenRoomIsFree()) {
    auto streaming = std::make_unique<StreamedRead>();
    if (streaming->Start(file.get())) {
      file.release();
      streaming_ = std::move(streaming);
      // The first bytes tell the kind of file; fewer arrive only from a shorter file.
      const std::size_t first = streaming_->Wait(kPlaceableHeaderSize + kStandardHeaderSize);
      const ImportResult result = RecogniseMetafile({streaming_->Bytes(), first}, headerOffset_);
      if (result != ImportResult::Succeeded) {
        Release();
      }
      return result;
    }
  }
  std::size_t size = 0;
  if (!ReadAll(file.get(), buffer_, size)) {
    Release();
    return ImportResult::ReadFailed;
  }
  data_ = std::span<const std::uint8_t>(buffer_.data(), size);
  return RecogniseMetafile(data_, headerOffset_);
}

void MetafileReader::FinishReading() {
  if (streaming_) {
    std::size_t size = 0;
    buffer_ = streaming_->Finish(size);
    streaming_.reset();
    data_ = std::span<const std::uint8_t>(buffer_.data(), size);
  }
}

const std::uint8_t* MetafileReader::Start() const {
  return streaming_ ? streaming_->Bytes() : data_.data();
}

WalkEnd MetafileReader::Walk(RecordHandler& handler) const {
  if (streaming_) {
    return WalkArrivingRecords(streaming_->Bytes(), headerOffset_, *streaming_, handler);
  }
  return WalkRecords(data_, headerOffset_, handler);
}

ImportResult MetafileReader::UseBytes(std::span<const std::uint8_t> bytes) {
  Release();
  data_ = bytes.first(std::min(bytes.size(), kMetafileReadLimit));
  expectedSize_ = data_.size();
  return RecogniseMetafile(data_, headerOffset_);
}

void MetafileReader::Release() {
  streaming_.reset();  // stops and waits for a read still going on
  buffer_ = {};
  data_ = {};
  expectedSize_ = 0;
  headerOffset_ = 0;
}

}  // namespace runebin
