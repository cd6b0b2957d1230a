#pragma once

#include <windows.h>

#include "render/DisplayList.h"

namespace runebin::win32 {

// Paints `list` into `area` of `dc`: white ground, the symbol fitted inside with `margin` pixels
// to spare on every side, upright, outlines one pixel wide. Draws nothing outside `area`.
void PaintDisplayList(HDC dc, const DisplayList& list, const RECT& area, int margin);

}  // namespace runebin::win32
