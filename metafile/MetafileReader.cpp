#include "metafile/MetafileReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "metafile/RecordKinds.h"
#include "model/ByteOrder.h"
#include "platform/Prefault.h"
#include "platform/RegularFile.h"

namespace runebin {
namespace {

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
    // The read fills the fresh block front to back; another thread backs it with memory ahead.
    platform::Prefault prefault;
    prefault.Start(buffer.data(), buffer.size());
    size += std::fread(buffer.data() + size, 1, capacity - size, file);
    prefault.Stop();
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

WalkEnd WalkRecordsFrom(std::span<const std::uint8_t> data, std::size_t recordOffset,
                        RecordHandler& handler) {
  if (recordOffset > data.size()) {
    return WalkEnd::EndOfData;
  }
  std::size_t offset = recordOffset;
  for (;;) {
    const std::size_t left = data.size() - offset;
    if (left < kRecordParametersOffset) {
      return WalkEnd::EndOfData;
    }
    const std::uint32_t words = *ReadU32(data, offset + kRecordSizeOffset);
    const std::uint16_t function = *ReadU16(data, offset + kRecordFunctionOffset);
    if (words == kEndRecordWords && function == kEndRecordFunction) {
      return WalkEnd::EndRecord;
    }
    const std::uint64_t bytes = 2 * static_cast<std::uint64_t>(words);
    if (words < kMinRecordWords || bytes > left) {
      return WalkEnd::MalformedRecord;
    }
    if (IsHandedToConverter(function)) {
      const auto parameters =
          data.subspan(offset + kRecordParametersOffset,
                       static_cast<std::size_t>(bytes) - kRecordParametersOffset);
      if (!handler.OnRecord(function, parameters)) {
        return WalkEnd::MalformedParameters;
      }
    }
    offset += static_cast<std::size_t>(bytes);
  }
}

ImportResult MetafileReader::ReadFile(const std::string& path) {
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
  std::size_t size = 0;
  if (!ReadAll(file.get(), buffer_, size)) {
    Release();
    return ImportResult::ReadFailed;
  }
  data_ = std::span<const std::uint8_t>(buffer_.data(), size);
  return RecogniseMetafile(data_, headerOffset_);
}

ImportResult MetafileReader::UseBytes(std::span<const std::uint8_t> bytes) {
  Release();
  data_ = bytes.first(std::min(bytes.size(), kMetafileReadLimit));
  return RecogniseMetafile(data_, headerOffset_);
}

void MetafileReader::Release() {
  buffer_ = {};
  data_ = {};
  headerOffset_ = 0;
}

}  // namespace runebin
