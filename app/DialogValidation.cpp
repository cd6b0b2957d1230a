#include "app/DialogValidation.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

#include "resources/ControlIds.h"
#include "resources/RenameDialogLayout.h"
#include "symbols/Document.h"
#include "symbols/Messages.h"
#include "symbols/Windows1252.h"

namespace runebin {
namespace {

// The dialogs' edit boxes stop typing at the longest name a symbol may have.
static_assert(kMaxSymbolNameChars == kMaxSymbolNameLength);

// The typed text as a name, or the refusal: a character the file's names cannot hold, or more of
// them than a name may have.
std::variant<std::string, FieldProblem> CheckName(std::string_view text, int controlId) {
  std::optional<std::string> name = Utf8ToWindows1252(text);
  if (!name) {
    return FieldProblem{controlId, std::string(messages::kNotWindows1252)};
  }
  if (name->size() > static_cast<std::size_t>(kMaxSymbolNameLength)) {
    return FieldProblem{controlId, messages::TooManyCharacters(kMaxSymbolNameLength)};
  }
  return std::move(*name);
}

// Whether a number text that a double cannot hold is tiny rather than huge: a negative exponent,
// or no exponent and no nonzero digit before the point.
bool LooksTiny(std::string_view number) {
  const auto exponent = number.find_first_of("eE");
  if (exponent != std::string_view::npos) {
    return exponent + 1 < number.size() && number[exponent + 1] == '-';
  }
  return number.substr(0, number.find('.')).find_first_not_of('0') == std::string_view::npos;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::optional<FieldProblem> ValidateRenameDialog(std::string_view newNameText,
                                                 RenameDialogData& data) {
  auto name = CheckName(newNameText, ids::kRenameNewName);
  if (auto* problem = std::get_if<FieldProblem>(&name)) {
    return std::move(*problem);
  }
  data.m_newName = std::get<std::string>(std::move(name));
  return std::nullopt;
}

std::optional<FieldProblem> ValidateWmfImportDialog(std::string_view nameText,
                                                    std::string_view maxSizeText,
                                                    WmfImportDialogData& data) {
  const std::optional<double> maxSize = ParseMaxSize(maxSizeText);
  if (!maxSize) {
    return FieldProblem{ids::kImportMaxSize, std::string(messages::kNotANumber)};
  }
  if (*maxSize < kLowestMaxSize || *maxSize > kHighestMaxSize) {
    return FieldProblem{
        ids::kImportMaxSize,
        messages::NumberOutOfRange(FormatMaxSize(static_cast<float>(kLowestMaxSize)),
                                   FormatMaxSize(static_cast<float>(kHighestMaxSize)))};
  }
  auto name = CheckName(nameText, ids::kImportName);
  if (auto* problem = std::get_if<FieldProblem>(&name)) {
    return std::move(*problem);
  }
  data.m_maxSize = static_cast<float>(*maxSize);
  data.m_name = std::get<std::string>(std::move(name));
  return std::nullopt;
}

std::string FormatMaxSize(float value) {
  // Fixed notation keeps 100000000 from turning into 1e+08; the shortest digits that read back
  // as the same float keep 0.1 from turning into 0.100000001.
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc()) {
    result = std::to_chars(buffer, buffer + sizeof buffer, value);
  }
  return std::string(buffer, result.ptr);
}

std::optional<double> ParseMaxSize(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Digits or a decimal point must come first: no "inf", "nan" or a second sign.
  if (text.empty() ||
      !(std::isdigit(static_cast<unsigned char>(text.front())) != 0 || text.front() == '.')) {
    return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (end != text.data() + text.size()) {
    return std::nullopt;
  }
  if (error == std::errc::result_out_of_range) {
    // Beyond a double: too large for any range the dialog accepts, or so small it is zero.
    value = LooksTiny(text) ? 0.0 : HUGE_VAL;
  } else if (error != std::errc()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace runebin
