#pragma once

#include <memory>
#include <string>

#include "render/DisplayList.h"

namespace runebin {

class Entity;

// What the preview frame shows for a symbol definition, and how it is described to assistive
// tools.
struct PreviewPicture {
  std::shared_ptr<const DisplayList> list;  // never null
  std::string description;
};

// The symbol's paths and ellipses; when it draws nothing, the outline of its stored extents (in
// black) instead, so that the frame still shows its size and place. The walk is capped (see
// RenderLimits): a huge symbol is drawn in part and the description says so.
PreviewPicture MakePreview(const Entity& definition);

// The description while no symbol is selected.
inline constexpr const char* kNoPreview = "No symbol selected";

}  // namespace runebin
