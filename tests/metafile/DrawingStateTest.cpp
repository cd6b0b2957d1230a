#include <gtest/gtest.h>

#include <random>

#include "metafile/DrawingState.h"

namespace runebin {
namespace {

TEST(DrawingStateObjects, CreationsTakeTheLowestEmptySlot) {
  DrawingState state;
  state.CreatePen({0x11, 0});
  state.CreateBrush({0x22, 1});
  state.CreatePalette();
  state.CreateOther();
  EXPECT_EQ(state.Object(0), (GraphicsObject{ObjectKind::Pen, {0x11, 0}}));
  EXPECT_EQ(state.Object(1), (GraphicsObject{ObjectKind::Brush, {0x22, 1}}));
  EXPECT_EQ(state.Object(2).kind, ObjectKind::Palette);
  EXPECT_EQ(state.Object(3).kind, ObjectKind::Other);
  state.DeleteObject(1);
  state.CreatePen({0x33, 2});
  EXPECT_EQ(state.Object(1), (GraphicsObject{ObjectKind::Pen, {0x33, 2}}));
  state.CreatePen({0x44, 0});
  EXPECT_EQ(state.Object(4).kind, ObjectKind::Pen);
}

TEST(DrawingStateObjects, SelectionIsACopyThatOutlivesTheObject) {
  DrawingState state;
  state.CreatePen({0x11, 3});
  state.CreateBrush({0x22, 2});
  state.SelectObject(0);
  state.SelectObject(1);
  state.DeleteObject(0);
  state.DeleteObject(1);
  EXPECT_EQ(state.Pen(), (Tool{0x11, 3}));
  EXPECT_EQ(state.Brush(), (Tool{0x22, 2}));
}

TEST(DrawingStateObjects, OnlyPensAndBrushesCanBeSelected) {
  DrawingState state;
  state.CreatePalette();
  state.CreateOther();
  for (int slot : {0, 1, 2, -1, kObjectSlotCount, 32767}) {
    state.SelectObject(slot);
  }
  EXPECT_EQ(state.Pen(), Tool{});
  EXPECT_EQ(state.Brush(), Tool{});
}

TEST(DrawingStateSaves, FloodBeyondTheBoundKeepsPairing) {
  DrawingState state;
  for (std::size_t i = 0; i < kMaxSavedStates + 5; ++i) {
    state.Save();
  }
  EXPECT_EQ(state.SavedStates(), kMaxSavedStates);
  EXPECT_EQ(state.IgnoredSaves(), 5u);
  for (int i = 0; i < 5; ++i) {
    state.Restore();
  }
  EXPECT_EQ(state.SavedStates(), kMaxSavedStates);
  EXPECT_EQ(state.IgnoredSaves(), 0u);
  state.Restore();
  EXPECT_EQ(state.SavedStates(), kMaxSavedStates - 1);
}

// The plain way to save a state: copy all of it. The lazy saves of DrawingState must behave the
// same through any run of operations.
struct CopyingState {
  Tool pen;
  Tool brush;
  std::array<GraphicsObject, kObjectSlotCount> objects{};
  struct Copy {
    Tool pen, brush;
    std::array<GraphicsObject, kObjectSlotCount> objects;
  };
  std::vector<Copy> saved;

  void Create(const GraphicsObject& object) {
    for (auto& slot : objects) {
      if (slot.kind == ObjectKind::Empty) {
        slot = object;
        return;
      }
    }
  }
  void Select(int slot) {
    if (slot >= 0 && slot < kObjectSlotCount) {
      const auto& object = objects[static_cast<std::size_t>(slot)];
      if (object.kind == ObjectKind::Pen) {
        pen = object.tool;
      } else if (object.kind == ObjectKind::Brush) {
        brush = object.tool;
      }
    }
  }
  void Delete(int slot) {
    if (slot >= 0 && slot < kObjectSlotCount) {
      objects[static_cast<std::size_t>(slot)] = {};
    }
  }
  void Save() { saved.push_back({pen, brush, objects}); }
  void Restore() {
    if (!saved.empty()) {
      pen = saved.back().pen;
      brush = saved.back().brush;
      objects = saved.back().objects;
      saved.pop_back();
    }
  }
};

TEST(DrawingStateSaves, BehavesLikeCopyingTheWholeState) {
  std::mt19937 random(20240607);
  for (int run = 0; run < 24; ++run) {
    DrawingState lazy;
    CopyingState copying;
    // Slot numbers from a narrow range, so that objects are often hit, and sometimes a full table.
    const int slots = run % 4 == 0 ? kObjectSlotCount + 8 : 24;
    for (int step = 0; step < 3000; ++step) {
      const int slot = static_cast<int>(random() % static_cast<unsigned>(slots)) - 2;
      const Tool tool{static_cast<std::uint32_t>(random() & 0xFFFFFF),
                      static_cast<std::int16_t>(random() % 6)};
      switch (random() % 9) {
        case 0:
        case 1:
          lazy.CreatePen(tool);
          copying.Create({ObjectKind::Pen, tool});
          break;
        case 2:
          lazy.CreateBrush(tool);
          copying.Create({ObjectKind::Brush, tool});
          break;
        case 3:
          lazy.CreateOther();
          copying.Create({ObjectKind::Other, {}});
          break;
        case 4:
          lazy.SelectObject(slot);
          copying.Select(slot);
          break;
        case 5:
          lazy.DeleteObject(slot);
          copying.Delete(slot);
          break;
        case 6:
        case 7:
          lazy.Save();
          copying.Save();
          break;
        default:
          lazy.Restore();
          copying.Restore();
          break;
      }
      ASSERT_EQ(lazy.Pen(), copying.pen) << "run " << run << " step " << step;
      ASSERT_EQ(lazy.Brush(), copying.brush) << "run " << run << " step " << step;
      ASSERT_EQ(lazy.SavedStates(), copying.saved.size());
      if (step % 16 != 0) {
        continue;  // the whole table now and then
      }
      for (int i = 0; i < kObjectSlotCount; ++i) {
        ASSERT_EQ(lazy.Object(i), copying.objects[static_cast<std::size_t>(i)])
            << "run " << run << " step " << step << " slot " << i;
      }
    }
  }
}

}  // namespace
}  // namespace runebin
