#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tests/support/DrawingBuilder.h"

namespace runebin::testing {

// Drawings made up for the screenshots of the window program.

// A drawing that defines `names`, the first `used` of them placed once.
Bytes Catalog(const std::vector<std::string>& names, std::size_t used);
// A drawing whose symbols are real metafiles imported, `names[i]` from the file `metafiles[i]` of
// `corpus`, the first `used` placed once, so that the preview has something to show.
Bytes Imported(const std::vector<std::string>& names, const std::vector<std::string>& metafiles,
               std::size_t used, const std::string& corpus);

// The two files the screenshots open: a landscape drawing and a catalog of site furniture.
struct ScreenshotFiles {
  std::string landscape;
  std::string catalog;
};
class TempDir;
ScreenshotFiles WriteScreenshotFiles(const TempDir& folder, const std::string& corpus);

}  // namespace runebin::testing
