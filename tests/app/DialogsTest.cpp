// What the Rename and WMF Import dialogs accept, shared by every toolkit.
#include <gtest/gtest.h>

#include "app/DialogValidation.h"
#include "resources/ControlIds.h"
#include "symbols/Windows1252.h"

namespace runebin {
namespace {

TEST(MaxSizeText, ReadsDecimalNumbersWithBlanksAroundAndNothingElse) {
  const std::pair<const char*, std::optional<double>> rows[] = {
      {"100", 100},  {"  12.5\t", 12.5}, {"+3", 3},     {"-2", -2},  {".5", 0.5},
      {"1e3", 1000}, {"1e-400", 0},  // beyond a double, but tiny
      {"", {}},      {"  ", {}},         {"12abc", {}}, {"1 2", {}}, {"--1", {}},
      {"inf", {}},   {"nan", {}},        {"1,5", {}},   {"0x10", {}}};
  for (const auto& [text, value] : rows) {
    EXPECT_EQ(ParseMaxSize(text), value) << '"' << text << '"';
  }
  // Shown without an exponent or float noise.
  EXPECT_EQ(FormatMaxSize(100000000.0F), "100000000");
  EXPECT_EQ(FormatMaxSize(0.1F), "0.1");
}

// Max Size first (0 to 100000000 inclusive), then the name (only characters Windows-1252 has, at
// most 31 of them). A refusal names the control that gets the focus and changes nothing.
TEST(DialogValidation, RefusesWithTheFieldAndTheMessageAndChangesNothing) {
  const std::string tooLong = "Please enter no more than 31 characters.";
  const std::string range = "Please enter a number between 0 and 100000000.";
  const std::string name31(31, 'n'), name32(32, 'n');
  const std::string not1252 =
      "Please use only characters of the Windows Western (1252) character set.";
  const std::tuple<std::string, std::string, int, std::string> rows[] = {
      {name32, "x", ids::kImportMaxSize, "Please enter a number."},
      {"a", "-0.001", ids::kImportMaxSize, range},
      {"a", "100000000.5", ids::kImportMaxSize, range},
      {"a", "1e400", ids::kImportMaxSize, range},  // beyond a double
      {name32, "5", ids::kImportName, tooLong},
      {"\u03A9mega\u20AC\u4E2D", "5", ids::kImportName, not1252},
      {name31, "100000000", 0, ""},  // 0: accepted
      {"", "0", 0, ""}};
  for (const auto& [name, maxSize, field, message] : rows) {
    WmfImportDialogData data{"old", 7.0F};
    const auto problem = ValidateWmfImportDialog(name, maxSize, data);
    EXPECT_EQ(problem ? problem->controlId : 0, field) << maxSize;
    EXPECT_EQ(problem ? problem->message : "", message) << maxSize;
    EXPECT_EQ(data.m_name, problem ? "old" : name);
    EXPECT_EQ(data.m_maxSize, problem ? 7.0F : static_cast<float>(*ParseMaxSize(maxSize)));
  }
  RenameDialogData rename{"new", "old"};
  EXPECT_FALSE(ValidateRenameDialog(name31, rename));
  const auto problem = ValidateRenameDialog(name32, rename);
  EXPECT_EQ(problem ? problem->controlId : 0, ids::kRenameNewName);
  EXPECT_EQ(rename.m_newName, name31);
  // Counted in the file's characters: 31 of them fit however many bytes they take in UTF-8.
  EXPECT_FALSE(ValidateRenameDialog(Windows1252ToUtf8(std::string(30, '\xE9')) + "\u20AC", rename));
  EXPECT_EQ(rename.m_newName, std::string(30, '\xE9') + '\x80');
  EXPECT_EQ(ValidateRenameDialog("\u4E2D", rename)->message, not1252);
  EXPECT_EQ(rename.m_newName, std::string(30, '\xE9') + '\x80');
}

}  // namespace
}  // namespace runebin
