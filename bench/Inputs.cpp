#include "bench/Inputs.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "metafile/RecordKinds.h"
#include "model/ByteOrder.h"
#include "model/Format.h"
#include "platform/TempFolder.h"

namespace runebin::bench {
namespace {

bool Exists(const std::string& path, std::size_t& size) {
  FILE* existing = std::fopen(path.c_str(), "rb");
  if (existing == nullptr) {
    return false;
  }
  std::fseek(existing, 0, SEEK_END);
  size = static_cast<std::size_t>(std::ftell(existing));
  std::fclose(existing);
  return true;
}

// Builds a drawing in a buffer that goes to the file whenever it holds a few megabytes.
class DrawingWriter {
 public:
  explicit DrawingWriter(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~DrawingWriter() { std::fclose(file_); }
  DrawingWriter(const DrawingWriter&) = delete;
  DrawingWriter& operator=(const DrawingWriter&) = delete;

  std::uint8_t* Record(std::uint8_t type, std::size_t length) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + length, 0);
    PutU32(bytes_.data() + at, static_cast<std::uint32_t>(length));
    bytes_[at + kTypeOffset] = type;
    return bytes_.data() + at;
  }
  void Marker(const std::uint8_t (&marker)[kMarkerLength]) {
    bytes_.insert(bytes_.end(), std::begin(marker), std::end(marker));
  }
  void Spill(bool always = false) {
    if (always || bytes_.size() >= (8U << 20)) {
      written_ += std::fwrite(bytes_.data(), 1, bytes_.size(), file_);
      bytes_.clear();
    }
  }
  std::size_t Written() const { return written_; }

 private:
  FILE* file_;
  std::vector<std::uint8_t> bytes_;
  std::size_t written_ = 0;
};

void PutName(std::uint8_t* record, std::size_t offset, int n) {
  const std::string name = DefinitionName(n);
  std::memcpy(record + offset, name.data(), name.size());
}

// Writes metafile records into memory.
class MetafileWriter {
 public:
  MetafileWriter() {
    for (std::uint16_t word : {1, 9, 0x0300, 0, 0, 0, 0, 0, 0}) {
      Word(word);
    }
  }
  void Record(std::uint16_t function, const std::vector<std::int16_t>& words) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + 6);
    PutU32(bytes_.data() + at, static_cast<std::uint32_t>(3 + words.size()));
    PutU16(bytes_.data() + at + 4, function);
    for (std::int16_t word : words) {
      Word(static_cast<std::uint16_t>(word));
    }
  }
  void Word(std::uint16_t word) {
    bytes_.push_back(static_cast<std::uint8_t>(word));
    bytes_.push_back(static_cast<std::uint8_t>(word >> 8));
  }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::string DefinitionName(int n) {
  return "Symbol" + std::to_string(n);
}

std::size_t GenerateDrawing(const std::string& path, const DrawingShape& shape) {
  std::size_t size = 0;
  if (Exists(path, size)) {
    return size;
  }
  DrawingWriter out(path);
  std::uint8_t* header = out.Record(0, kHeaderSize);
  std::memcpy(header, "PVX (Plotvex for Windows) 6", 27);
  for (int i = 0; i < shape.typeZeroRecords; ++i) {
    out.Record(kTypeZero, 40 + static_cast<std::size_t>(i % 64))[kSubtypeOffset] =
        static_cast<std::uint8_t>(i);
    out.Spill();
  }
  for (int i = 0; i < shape.definitions; ++i) {
    PutName(out.Record(kTypeSymbolDef, kDefRecordLength), kDefNameOffset, i);
    out.Marker(kGroupOpen);
    for (int j = 0; j < shape.recordsPerDefinition; ++j) {
      out.Record(3, 100);
    }
    out.Marker(kGroupClose);
    out.Spill();
  }
  for (int i = 0; i < shape.references; ++i) {
    const auto n = static_cast<int>(i * 7919LL % (shape.definitions > 0 ? shape.definitions : 1));
    PutName(out.Record(kTypeSymbolRef, 84), kRefNameOffset, n);
    out.Spill();
  }
  for (int i = 0; i < shape.otherRecords; ++i) {
    out.Record(static_cast<std::uint8_t>(1 + i % 16),
               static_cast<std::size_t>(shape.otherBase + (i % 5) * 16));
    out.Spill();
  }
  out.Spill(true);
  return out.Written();
}

GeneratedMetafile GenerateMetafile(const MetafileMix& mix, int drawingRecords) {
  GeneratedMetafile generated;
  generated.path = platform::TemporaryFolder() + "/runebin-bench-metafile-v2-" + mix.name + "-" +
                   std::to_string(drawingRecords) + ".wmf";
  if (Exists(generated.path, generated.bytes)) {
    return generated;
  }
  std::mt19937 random(42);
  const auto percent = [&](int chance) { return static_cast<int>(random() % 100) < chance; };
  const auto between = [&](int low, int high) {
    return low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
  };
  const auto coordinate = [&] { return static_cast<std::int16_t>(between(-20000, 20000)); };
  const auto points = [&](std::vector<std::int16_t>& words, int count) {
    for (int i = 0; i < 2 * count; ++i) {
      words.push_back(coordinate());
    }
  };
  // A handful of favourite colours and now and then a fresh one.
  const std::uint32_t favourites[] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00A000, 0x804020, 0x30C0F0};
  const auto colour = [&]() -> std::uint32_t {
    return percent(12) ? random() & 0xFFFFFF : favourites[random() % 6];
  };
  MetafileWriter out;
  for (int n = 0; n < drawingRecords; ++n) {
    if (n % mix.shapesPerColourChange == 0) {
      // A new pen and brush in slots 0 and 1 (the old ones deleted first), selected.
      out.Record(kFnDeleteObject, {0});
      out.Record(kFnDeleteObject, {1});
      const std::uint32_t pen = colour();
      const std::uint32_t brush = colour();
      out.Record(kFnCreatePenIndirect,
                 {static_cast<std::int16_t>(percent(mix.nullPens) ? 5 : 0), 1, 0,
                  static_cast<std::int16_t>(pen), static_cast<std::int16_t>(pen >> 16)});
      out.Record(kFnCreateBrushIndirect,
                 {static_cast<std::int16_t>(percent(mix.hollowBrushes) ? 1 : 0),
                  static_cast<std::int16_t>(brush), static_cast<std::int16_t>(brush >> 16), 0});
      out.Record(kFnSelectObject, {0});
      out.Record(kFnSelectObject, {1});
    }
    std::vector<std::int16_t> words;
    const int kind = static_cast<int>(random() % 100);
    if (kind < mix.polygons || kind < mix.polygons + mix.polylines) {
      const int count = between(kind < mix.polygons ? mix.minPoints : 2, mix.maxPoints);
      words.push_back(static_cast<std::int16_t>(count));
      points(words, count);
      out.Record(kind < mix.polygons ? kFnPolygon : kFnPolyline, words);
    } else if (kind < mix.polygons + mix.polylines + mix.sets) {
      const int polygons = between(2, 4);
      std::vector<int> counts;
      words.push_back(static_cast<std::int16_t>(polygons));
      for (int i = 0; i < polygons; ++i) {
        counts.push_back(between(4, mix.maxPoints / 2));
        words.push_back(static_cast<std::int16_t>(counts.back()));
      }
      for (int count : counts) {
        points(words, count);
      }
      out.Record(kFnPolyPolygon, words);
    } else {
      const bool ellipse = kind < mix.polygons + mix.polylines + mix.sets + mix.ellipses;
      out.Record(ellipse ? kFnEllipse : kFnRectangle,
                 {coordinate(), coordinate(), coordinate(), coordinate()});
    }
  }
  out.Record(0, {});
  FILE* file = std::fopen(generated.path.c_str(), "wb");
  std::fwrite(out.Bytes().data(), 1, out.Bytes().size(), file);
  std::fclose(file);
  generated.bytes = out.Bytes().size();
  return generated;
}

}  // namespace runebin::bench
