#include "symbols/Windows1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace runebin {
namespace {

TEST(Windows1252Test, EveryByteSurvivesARoundTripThroughUtf8) {
  for (int value = 0; value < 256; ++value) {
    const std::string byte(1, static_cast<char>(value));
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(byte)), byte) << value;
  }
}

TEST(Windows1252Test, Utf8TextConvertsOnlyWhenTheCodePageHoldsIt) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> rows = {
      {"\xC3\x84pfel", "\xC4pfel"},        // U+00C4 is the byte C4
      {"\xE2\x82\xAC 5", "\x80 5"},        // the euro sign lies among the 0x80..0x9F bytes
      {"\xC5\xBD", "\x8E"},                // so does Z with caron
      {"\xE6\x97\xA5", std::nullopt},      // a CJK character: not in the code page
      {"\xF0\x9F\x8C\xB3", std::nullopt},  // outside the basic plane
      {"\xC0\xAF", std::nullopt},          // overlong
      {"\xE2\x82", std::nullopt},          // cut short
      {"\x80", std::nullopt},              // a continuation byte alone
      {"\xED\xA0\x80", std::nullopt},      // a surrogate
      {"", ""},
  };
  for (const auto& [text, bytes] : rows) {
    EXPECT_EQ(Utf8ToWindows1252(text), bytes) << text;
  }
}

TEST(Windows1252Test, BytesThatAreNoUtf8BecomeReplacementCharacters) {
  EXPECT_EQ(ValidUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(ValidUtf8("caf\xE9!"), "caf\xEF\xBF\xBD!");          // Latin-1
  EXPECT_EQ(ValidUtf8("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // cut short: each byte
}

}  // namespace
}  // namespace runebin
