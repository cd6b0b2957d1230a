#include <gtest/gtest.h>

#include <set>

#include "resources/AboutBoxLayout.h"
#include "resources/AppIcon.h"
#include "resources/MainDialogLayout.h"
#include "resources/RenameDialogLayout.h"
#include "resources/StringTable.h"
#include "resources/WmfImportDialogLayout.h"

namespace runebin {
namespace {

const DialogLayout* const kAllLayouts[] = {&kMainDialogLayout, &kAboutBoxLayout,
                                           &kRenameDialogLayout, &kWmfImportDialogLayout};

bool Overlap(const ControlLayout& a, const ControlLayout& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(DialogLayouts, ControlsHaveUniqueIdsAndLieInsideTheirDialog) {
  for (const DialogLayout* layout : kAllLayouts) {
    std::set<int> seen;
    for (const ControlLayout& control : layout->controls) {
      if (control.id != kNoControlId) {
        EXPECT_TRUE(seen.insert(control.id).second) << layout->caption << " id " << control.id;
      }
      EXPECT_GE(control.x, 0) << layout->caption << " " << control.label;
      EXPECT_GE(control.y, 0) << layout->caption << " " << control.label;
      EXPECT_LE(control.x + control.width, layout->width) << layout->caption << control.label;
      EXPECT_LE(control.y + control.height, layout->height) << layout->caption << control.label;
    }
  }
}

TEST(DialogLayouts, NoTwoVisibleControlsOverlapExceptInsideGroupBoxes) {
  for (const DialogLayout* layout : kAllLayouts) {
    const auto controls = layout->controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        const ControlLayout& a = controls[i];
        const ControlLayout& b = controls[j];
        if (!a.shown || !b.shown || a.kind == ControlKind::GroupBox ||
            b.kind == ControlKind::GroupBox) {
          continue;
        }
        EXPECT_FALSE(Overlap(a, b)) << layout->caption << ": " << a.id << " and " << b.id;
      }
    }
  }
}

TEST(AppIcon, BothSizesAreCompleteAndTransparentInTheCorners) {
  for (const IconArt* art : {&AppIconLarge(), &AppIconSmall()}) {
    for (int y = 0; y < art->height; ++y) {
      EXPECT_EQ(std::string_view(art->rows[y]).size(), static_cast<std::size_t>(art->width))
          << art->width << " row " << y;
      for (const char key : std::string_view(art->rows[y])) {
        EXPECT_NE(std::string_view(".kbwa").find(key), std::string_view::npos) << key;
      }
    }
    const auto pixels = IconPixels(*art);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(art->width * art->height));
    EXPECT_EQ(pixels.front() >> 24, 0U);
    EXPECT_EQ(pixels.back() >> 24, 0U);
    const auto middle = static_cast<std::size_t>(art->height / 2 * art->width + art->width / 2);
    EXPECT_EQ(pixels[middle] >> 24, 0xFFU);  // the middle is drawn
  }
  EXPECT_EQ(AppIconLarge().width, 32);
  EXPECT_EQ(AppIconSmall().width, 16);
}

}  // namespace
}  // namespace runebin
