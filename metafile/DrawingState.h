#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace runebin {

// The small model of a metafile's graphics state that the conversion keeps: the selected pen and
// brush, the table of created objects, and the saved copies of both (SaveDC / RestoreDC).

inline constexpr int kObjectSlotCount = 512;
inline constexpr std::int16_t kNullPenStyle = 5;      // a pen that draws nothing
inline constexpr std::int16_t kHollowBrushStyle = 1;  // a brush that fills nothing

// At most this many saved states are kept. A SaveDC beyond them is counted but keeps nothing,
// and the RestoreDC that pairs with it changes nothing (the state it would return to was not
// kept); the kept states still pair with their own restores, so a flood of SaveDC records costs
// neither memory nor the meaning of the restores around it. Real files nest a few levels.
inline constexpr std::size_t kMaxSavedStates = 1024;

// A selected pen or brush: a copy of the object's values, not a link to its slot.
struct Tool {
  std::uint32_t colour = 0;  // metafile colour, red in the low byte
  std::int16_t style = 0;
  friend bool operator==(const Tool&, const Tool&) = default;
};

// Other: an object the import never draws with (a font, region, bitmap, pattern brush or a brush
// of another style). It holds its slot until deleted; selecting it changes nothing.
enum class ObjectKind : std::uint8_t { Empty, Pen, Brush, Palette, Other };

struct GraphicsObject {
  ObjectKind kind = ObjectKind::Empty;
  Tool tool;  // for a pen or a brush
  friend bool operator==(const GraphicsObject&, const GraphicsObject&) = default;
};

// Starts black, solid pen and solid brush, all slots empty, nothing saved.
//
// Saving copies the whole state by value, but lazily: a save remembers the selection and then
// logs the previous value of a slot the first time that slot changes under it, so SaveDC and
// RestoreDC cost time in proportion to the slots that really changed, never the whole table.
class DrawingState {
 public:
  DrawingState();

  const Tool& Pen() const { return pen_; }
  const Tool& Brush() const { return brush_; }
  // Slot 0..kObjectSlotCount-1.
  const GraphicsObject& Object(int slot) const { return objects_[static_cast<std::size_t>(slot)]; }

  // Each puts its object into the lowest-numbered empty slot; when all slots are full, nothing.
  void CreatePen(Tool pen);
  void CreateBrush(Tool brush);
  void CreatePalette();
  void CreateOther();
  // A pen or brush in the slot becomes the selected one; any other object, an empty slot or a
  // number outside the table: nothing.
  void SelectObject(int slot);
  // Empties the slot when the number is inside the table; the selection keeps its values.
  void DeleteObject(int slot);

  // SaveDC: pushes a copy of the whole state (see kMaxSavedStates for the bound).
  void Save();
  // RestoreDC(-1): pops the most recent copy into the state; nothing when none is saved.
  void Restore();

  // Saved states kept, and SaveDC records beyond the bound still waiting for their restore.
  std::size_t SavedStates() const { return saved_.size(); }
  std::size_t IgnoredSaves() const { return ignoredSaves_; }

 private:
  struct Saved {
    Tool pen;
    Tool brush;
    std::size_t undoMark;  // undo_ size when saved
    std::uint64_t epoch;   // epoch_ when saved
  };
  struct Undo {
    std::uint16_t slot;
    GraphicsObject previous;
    std::uint64_t previousEpoch;
  };

  void AddObject(const GraphicsObject& object);
  void SetSlot(std::size_t slot, const GraphicsObject& object);

  Tool pen_;
  Tool brush_;
  std::array<GraphicsObject, kObjectSlotCount> objects_{};
  // One bit per slot, set while the slot is empty, for finding the lowest empty slot quickly.
  std::array<std::uint64_t, kObjectSlotCount / 64> emptySlots_{};
  // The save level (epoch) under which each slot's previous value was last logged.
  std::array<std::uint64_t, kObjectSlotCount> loggedEpoch_{};
  std::uint64_t epoch_ = 0;
  std::uint64_t epochCounter_ = 0;
  std::vector<Saved> saved_;
  std::vector<Undo> undo_;
  std::size_t ignoredSaves_ = 0;
};

}  // namespace runebin
