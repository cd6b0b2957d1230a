#pragma once

#include <span>
#include <string_view>

namespace runebin {

// Dialog layouts as data: every control with its id, kind, label, rectangle in dialog units and
// initial state. Both the Qt window and the in-memory toolkit of the tests are built from these
// tables, so they cannot drift apart.

inline constexpr int kNoControlId = -1;

enum class ControlKind {
  PushButton,
  DefaultPushButton,
  GroupBox,
  ListBox,
  StaticText,  // left-aligned, may wrap over several lines
  BlackFrame,  // an empty framed rectangle
  EditBox,     // single line, scrolls horizontally
  Icon,        // the application icon
};

struct ControlLayout {
  int id;  // kNoControlId for controls the program never addresses
  ControlKind kind;
  std::string_view label;
  int x, y, width, height;  // dialog units
  bool enabled = true;
  bool shown = true;
  bool tabStop = false;
  int textLimit = 0;  // edit boxes: the most characters the user can type or paste; 0 = no limit
};

struct DialogLayout {
  std::string_view caption;
  int width, height;  // dialog units
  std::string_view fontName;
  int fontPointSize;
  std::span<const ControlLayout> controls;  // in tab order
};

// The control of `layout` with `id`, or null. Ids are unique within a layout, except
// kNoControlId.
constexpr const ControlLayout* FindControl(const DialogLayout& layout, int id) {
  for (const ControlLayout& control : layout.controls) {
    if (control.id == id && id != kNoControlId) {
      return &control;
    }
  }
  return nullptr;
}

}  // namespace runebin
