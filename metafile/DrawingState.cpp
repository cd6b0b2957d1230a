#include "metafile/DrawingState.h"

#include <bit>

namespace runebin {

DrawingState::DrawingState() {
  emptySlots_.fill(~std::uint64_t{0});
}

void DrawingState::CreatePen(Tool pen) {
  AddObject({ObjectKind::Pen, pen});
}

void DrawingState::CreateBrush(Tool brush) {
  AddObject({ObjectKind::Brush, brush});
}

void DrawingState::CreatePalette() {
  AddObject({ObjectKind::Palette, {}});
}

void DrawingState::CreateOther() {
  AddObject({ObjectKind::Other, {}});
}

void DrawingState::SelectObject(int slot) {
  if (slot < 0 || slot >= kObjectSlotCount) {
    return;
  }
  const GraphicsObject& object = objects_[static_cast<std::size_t>(slot)];
  if (object.kind == ObjectKind::Pen) {
    pen_ = object.tool;
  } else if (object.kind == ObjectKind::Brush) {
    brush_ = object.tool;
  }
}

void DrawingState::DeleteObject(int slot) {
  if (slot < 0 || slot >= kObjectSlotCount) {
    return;
  }
  SetSlot(static_cast<std::size_t>(slot), GraphicsObject{});
}

void DrawingState::Save() {
  if (saved_.size() >= kMaxSavedStates) {
    ++ignoredSaves_;
    return;
  }
  saved_.push_back({pen_, brush_, undo_.size(), epoch_});
  // A fresh epoch: every slot's value before this save is logged again on its first change.
  epoch_ = ++epochCounter_;
}

void DrawingState::Restore() {
  if (ignoredSaves_ > 0) {
    --ignoredSaves_;
    return;
  }
  if (saved_.empty()) {
    return;
  }
  const Saved saved = saved_.back();
  saved_.pop_back();
  // Undo the slot changes made since the save, newest first.
  while (undo_.size() > saved.undoMark) {
    const Undo& undo = undo_.back();
    objects_[undo.slot] = undo.previous;
    loggedEpoch_[undo.slot] = undo.previousEpoch;
    const std::uint64_t bit = std::uint64_t{1} << (undo.slot % 64);
    if (undo.previous.kind == ObjectKind::Empty) {
      emptySlots_[undo.slot / 64] |= bit;
    } else {
      emptySlots_[undo.slot / 64] &= ~bit;
    }
    undo_.pop_back();
  }
  pen_ = saved.pen;
  brush_ = saved.brush;
  epoch_ = saved.epoch;
}

void DrawingState::AddObject(const GraphicsObject& object) {
  for (std::size_t word = 0; word < emptySlots_.size(); ++word) {
    if (emptySlots_[word] != 0) {
      SetSlot(word * 64 + static_cast<std::size_t>(std::countr_zero(emptySlots_[word])), object);
      return;
    }
  }
  // All slots are full: the record does nothing.
}

void DrawingState::SetSlot(std::size_t slot, const GraphicsObject& object) {
  // Under a save, keep the slot's value from before the save, once per save level: each level
  // logs at most kObjectSlotCount entries, whatever the records do.
  if (!saved_.empty() && loggedEpoch_[slot] != epoch_) {
    undo_.push_back({static_cast<std::uint16_t>(slot), objects_[slot], loggedEpoch_[slot]});
    loggedEpoch_[slot] = epoch_;
  }
  objects_[slot] = object;
  const std::uint64_t bit = std::uint64_t{1} << (slot % 64);
  if (object.kind == ObjectKind::Empty) {
    emptySlots_[slot / 64] |= bit;
  } else {
    emptySlots_[slot / 64] &= ~bit;
  }
}

}  // namespace runebin
