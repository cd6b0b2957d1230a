#include "model/EntityListing.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace runebin {
namespace {

constexpr char kHeading[] = "     #      Type   SubType\n";

// Appends `value` right-aligned in `width` characters, like printf's "%<width>d".
char* PutRightAligned(char* out, std::uint64_t value, int width) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const int count = static_cast<int>(end - digits);
  for (int pad = width - count; pad > 0; --pad) {
    *out++ = ' ';
  }
  std::memcpy(out, digits, static_cast<std::size_t>(count));
  return out + count;
}

// Formats rows into `chunk` and passes each full chunk to `flush`.
template <typename Flush>
bool FormatRows(std::span<const ListingRow> rows, Flush flush) {
  constexpr std::size_t kChunk = 1 << 20;
  constexpr std::size_t kLongestLine = 24 + 10 + 10 + 1;
  std::vector<char> chunk(kChunk + kLongestLine);
  char* out = chunk.data();
  std::memcpy(out, kHeading, sizeof kHeading - 1);
  out += sizeof kHeading - 1;
  for (std::size_t index = 0; index < rows.size(); ++index) {
    out = PutRightAligned(out, index, 6);
    out = PutRightAligned(out, rows[index].type, 10);
    out = PutRightAligned(out, rows[index].subtype, 10);
    *out++ = '\n';
    if (static_cast<std::size_t>(out - chunk.data()) >= kChunk) {
      if (!flush(chunk.data(), static_cast<std::size_t>(out - chunk.data()))) {
        return false;
      }
      out = chunk.data();
    }
  }
  return flush(chunk.data(), static_cast<std::size_t>(out - chunk.data()));
}

}  // namespace

bool WriteEntityListing(std::FILE* out, std::span<const ListingRow> rows) {
  return FormatRows(rows, [out](const char* text, std::size_t size) {
    return std::fwrite(text, 1, size, out) == size;
  });
}

std::string FormatEntityListing(std::span<const ListingRow> rows) {
  std::string text;
  FormatRows(rows, [&text](const char* chunk, std::size_t size) {
    text.append(chunk, size);
    return true;
  });
  return text;
}

}  // namespace runebin
