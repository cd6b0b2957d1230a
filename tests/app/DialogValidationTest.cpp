#include "app/DialogValidation.h"

#include <gtest/gtest.h>

#include "resources/ControlIds.h"

namespace runebin {
namespace {

TEST(MaxSizeText, ReadsDecimalNumbersWithBlanksAround) {
  EXPECT_EQ(ParseMaxSize("100"), 100.0);
  EXPECT_EQ(ParseMaxSize("  12.5\t"), 12.5);
  EXPECT_EQ(ParseMaxSize("+3"), 3.0);
  EXPECT_EQ(ParseMaxSize("-2"), -2.0);
  EXPECT_EQ(ParseMaxSize(".5"), 0.5);
  EXPECT_EQ(ParseMaxSize("1e3"), 1000.0);
  EXPECT_EQ(ParseMaxSize("0"), 0.0);
}

TEST(MaxSizeText, RefusesWhatIsNotANumber) {
  for (const char* text : {"", "  ", "abc", "12abc", "1 2", "--1", "inf", "nan", "1,5", "0x10"}) {
    EXPECT_FALSE(ParseMaxSize(text).has_value()) << '"' << text << '"';
  }
}

TEST(MaxSizeText, NumbersBeyondADoubleAreHugeOrZero) {
  EXPECT_GT(*ParseMaxSize("1e400"), 1e300);
  EXPECT_EQ(*ParseMaxSize("1e-400"), 0.0);
}

TEST(MaxSizeText, FormatsWithoutExponentOrNoise) {
  EXPECT_EQ(FormatMaxSize(100.0F), "100");
  EXPECT_EQ(FormatMaxSize(0.0F), "0");
  EXPECT_EQ(FormatMaxSize(12.5F), "12.5");
  EXPECT_EQ(FormatMaxSize(0.1F), "0.1");
  EXPECT_EQ(FormatMaxSize(100000000.0F), "100000000");
  for (const float value : {0.3F, 7.77F, 123456.79F, 99999999.0F}) {
    EXPECT_EQ(static_cast<float>(*ParseMaxSize(FormatMaxSize(value))), value);
  }
}

TEST(WmfImportValidation, ChecksMaxSizeFirstThenTheName) {
  WmfImportDialogData data{"old", 7.0F};
  const std::string tooLong(32, 'x');
  auto problem = ValidateWmfImportDialog(tooLong, "x", data);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "Please enter a number.");
  EXPECT_EQ(problem->controlId, ids::kImportMaxSize);
  problem = ValidateWmfImportDialog(tooLong, "5", data);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "Please enter no more than 31 characters.");
  EXPECT_EQ(problem->controlId, ids::kImportName);
  EXPECT_EQ(data.m_name, "old");  // a refusal changes nothing
  EXPECT_EQ(data.m_maxSize, 7.0F);
}

TEST(WmfImportValidation, RangeIsZeroToOneHundredMillionInclusive) {
  WmfImportDialogData data;
  for (const char* text : {"-0.001", "100000000.5", "1e9"}) {
    const auto problem = ValidateWmfImportDialog("a", text, data);
    ASSERT_TRUE(problem) << text;
    EXPECT_EQ(problem->message, "Please enter a number between 0 and 100000000.");
  }
  EXPECT_FALSE(ValidateWmfImportDialog("a", "100000000", data));
  EXPECT_EQ(data.m_maxSize, 100000000.0F);
  EXPECT_FALSE(ValidateWmfImportDialog(std::string(31, 'n'), "0", data));
  EXPECT_EQ(data.m_maxSize, 0.0F);
  EXPECT_EQ(data.m_name, std::string(31, 'n'));
}

TEST(RenameValidation, AcceptsUpTo31BytesIncludingNone) {
  RenameDialogData data{"new", "old"};
  EXPECT_FALSE(ValidateRenameDialog("", data));
  EXPECT_EQ(data.m_newName, "");
  const auto problem = ValidateRenameDialog(std::string(32, 'a'), data);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "Please enter no more than 31 characters.");
  EXPECT_EQ(problem->controlId, ids::kRenameNewName);
  EXPECT_EQ(data.m_oldName, "old");
}

}  // namespace
}  // namespace runebin
