#pragma once

#include "model/DrawingFile.h"

namespace runebin::fuzz {

// Every definition's display list keeps its shapes inside its vertices and bounds and within the
// preview's caps (and, when `svg`, its picture is written); check, uses and diff run on the
// document, and a document compared with itself holds the same symbols in the same order.
void CheckPicturesAndAnalysis(const DrawingFile& drawing, bool svg);

}  // namespace runebin::fuzz
