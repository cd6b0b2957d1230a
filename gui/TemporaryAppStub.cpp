// TEMPORARY STAND-IN, removed as soon as the app library exists: the dialog checks and a start-up
// routine that shows the about box and an inert main window, so that the window program builds.

#include <charconv>
#include <cstdio>
#include <string>

#include "app/DialogValidation.h"
#include "app/MainDialog.h"

namespace runebin {

std::optional<FieldProblem> ValidateRenameDialog(std::string_view newNameText,
                                                 RenameDialogData& data) {
  if (newNameText.size() > 31) {
    return FieldProblem{1023, "Please enter no more than 31 characters."};
  }
  data.m_newName = std::string(newNameText);
  return std::nullopt;
}

std::optional<double> ParseMaxSize(std::string_view text) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<FieldProblem> ValidateWmfImportDialog(std::string_view nameText,
                                                    std::string_view maxSizeText,
                                                    WmfImportDialogData& data) {
  const std::optional<double> maxSize = ParseMaxSize(maxSizeText);
  if (!maxSize) {
    return FieldProblem{1026, "Please enter a number."};
  }
  if (*maxSize < 0 || *maxSize > 100000000) {
    return FieldProblem{1026, "Please enter a number between 0 and 100000000."};
  }
  if (nameText.size() > 31) {
    return FieldProblem{1025, "Please enter no more than 31 characters."};
  }
  data.m_name = std::string(nameText);
  data.m_maxSize = static_cast<float>(*maxSize);
  return std::nullopt;
}

std::string FormatMaxSize(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

namespace {
class InertEvents : public WindowEvents {
 public:
  explicit InertEvents(Toolkit& toolkit) : toolkit_(toolkit) {}
  void OnCommand(int id) override {
    if (id == 1) {
      toolkit_.EndMainWindow();
    } else if (id == 16) {
      toolkit_.RunAboutBox();
    }
  }
  void OnSelectionChange(int) override {}

 private:
  Toolkit& toolkit_;
};
}  // namespace

int RunApplication(Toolkit& toolkit) {
  toolkit.RunAboutBox();
  InertEvents events(toolkit);
  toolkit.RunMainWindow(events);
  return 0;
}

}  // namespace runebin
