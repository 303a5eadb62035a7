// The selection window's hint, drawn with GDI+ into the screen bitmap.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/base/geometry.h"

namespace lumetta {

// Draws the hint text into bitmap so that it ends at the bottom-right corner of workArea (window
// coordinates) less the margins, at the given DPI. On success *layout is the rectangle the text was
// laid out in. False when no device context or graphics object could be made for the bitmap.
bool DrawHintIntoBitmap(HBITMAP bitmap, const Rect& workArea, uint32_t dpi, Rect* layout);

} // namespace lumetta
