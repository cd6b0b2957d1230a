#pragma once

#include <string>
#include <string_view>

#include "render/DisplayList.h"

namespace runebin {

struct SvgOptions {
  int size = 256;          // pixels of the larger side of the picture
  std::string_view title;  // the symbol's name as UTF-8 text; empty writes no title
};

// An SVG 1.1 document of the display list: the view box is the drawn bounds (with room for the
// outlines' width), the picture upright as in the window (the records' y axis turned over),
// filled shapes in their palette colour without outline, outlines one pixel wide at `size`.
// The title is UTF-8 (the document's encoding), copied as it is; control bytes that XML cannot
// carry become '?'.
std::string WriteSvg(const DisplayList& list, const SvgOptions& options);

}  // namespace runebin
