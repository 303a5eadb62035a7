// The selection window's picture: a 32-bit DIB section of the whole virtual screen, and the
// direct pixel writes that draw the dimmed screen and the rubber band into it.
// Pure header: the bitmap handle is named by its Win32 tag so the glue passes an HBITMAP as it is.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/base/geometry.h"

struct HBITMAP__; // HBITMAP is HBITMAP__* in <windows.h>

namespace lumetta {

// A DIB section with positive height: rows are stored bottom-up, and row y of the window (from
// the top) starts at pixel (height - 1 - y) * width. Pixels are premultiplied 0xAARRGGBB values
// (bytes B, G, R, A in memory). It exists only while width, height > 0 and width * height * 4
// fits in 32 bits.
struct ScreenBitmap {
    HBITMAP__* bitmap;
    uint32_t* pixels;
    int32_t width;
    int32_t height;
};

// Whether a bitmap of this size may be made: both sides positive and 4 bytes a pixel addressable
// with 32 bits.
bool ScreenBitmapFits(int32_t width, int32_t height);

// The index of window pixel (x, y) in the bottom-up pixel array.
size_t PixelIndex(const ScreenBitmap& bitmap, int32_t x, int32_t y);

// A colour given as 0xAABBGGRR (a COLORREF with alpha in the top byte) as the bitmap stores it:
// red and blue exchanged.
uint32_t StoredPixel(uint32_t color);

// The rectangle (or the whole bitmap when rect is null) clamped to the bitmap. False when the
// result is empty or the bitmap has no handle, no pixels or no size; clipped is then unspecified.
bool ClipToBitmap(const ScreenBitmap& bitmap, const Rect* rect, Rect* clipped);

// Writes one colour (0xAABBGGRR) to every pixel of the clipped rectangle (null: everything).
void FillRect32(ScreenBitmap* bitmap, uint32_t color, const Rect* rect);

// Writes opaque white to the outermost rows and columns of the clipped rectangle.
void FrameRect32(ScreenBitmap* bitmap, const Rect& rect);

} // namespace lumetta
