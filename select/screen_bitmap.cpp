#include "select/screen_bitmap.h"

#include <algorithm>
#include <cstring>

#include "select/constants.h"

namespace lumetta {

namespace {

constexpr uint64_t BYTES_PER_PIXEL = 4;
constexpr uint64_t ADDRESSABLE_BYTES = uint64_t{1} << 32;

uint32_t* RowStart(const ScreenBitmap& bitmap, int32_t y) {
    return bitmap.pixels + PixelIndex(bitmap, 0, y);
}

// One value over a run of pixels; zero is a plain clear, which is the fastest write there is.
void FillPixels(uint32_t* first, size_t count, uint32_t pixel) {
    if (pixel == 0) {
        std::memset(first, 0, count * sizeof(uint32_t));
    } else {
        std::fill_n(first, count, pixel);
    }
}

} // namespace

bool ScreenBitmapFits(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return false;
    return uint64_t(width) * uint64_t(height) * BYTES_PER_PIXEL < ADDRESSABLE_BYTES;
}

size_t PixelIndex(const ScreenBitmap& bitmap, int32_t x, int32_t y) {
    return size_t(bitmap.height - 1 - y) * size_t(bitmap.width) + size_t(x);
}

uint32_t StoredPixel(uint32_t color) {
    return (color & 0xFF00FF00u) | ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu);
}

bool ClipToBitmap(const ScreenBitmap& bitmap, const Rect* rect, Rect* clipped) {
    if (!bitmap.bitmap || !bitmap.pixels || bitmap.width < 1 || bitmap.height < 1) return false;
    Rect r{0, 0, bitmap.width, bitmap.height};
    if (rect) {
        r.left = std::clamp(rect->left, 0, bitmap.width);
        r.right = std::clamp(rect->right, 0, bitmap.width);
        r.top = std::clamp(rect->top, 0, bitmap.height);
        r.bottom = std::clamp(rect->bottom, 0, bitmap.height);
    }
    if (r.left >= r.right || r.top >= r.bottom) return false;
    *clipped = r;
    return true;
}

void FillRect32(ScreenBitmap* bitmap, uint32_t color, const Rect* rect) {
    Rect r;
    if (!ClipToBitmap(*bitmap, rect, &r)) return;
    const uint32_t pixel = StoredPixel(color);
    const size_t width = size_t(r.right - r.left);
    if (width == size_t(bitmap->width)) {
        // Whole rows lie back to back: the bottom row of the rectangle comes first in memory.
        FillPixels(RowStart(*bitmap, r.bottom - 1), width * size_t(r.bottom - r.top), pixel);
        return;
    }
    // Bottom row first: that is the order of the rows in memory.
    for (int32_t y = r.bottom - 1; y >= r.top; --y)
        FillPixels(RowStart(*bitmap, y) + r.left, width, pixel);
}

void FrameRect32(ScreenBitmap* bitmap, const Rect& rect) {
    Rect r;
    if (!ClipToBitmap(*bitmap, &rect, &r)) return;
    const uint32_t pixel = StoredPixel(SELECTION_FRAME_PIXEL);
    const size_t width = size_t(r.right - r.left);
    std::fill_n(RowStart(*bitmap, r.top) + r.left, width, pixel);
    if (r.bottom - r.top >= 2) std::fill_n(RowStart(*bitmap, r.bottom - 1) + r.left, width, pixel);
    for (int32_t y = r.top + 1; y < r.bottom - 1; ++y) {
        uint32_t* row = RowStart(*bitmap, y);
        row[r.left] = pixel;
        if (width >= 2) row[r.right - 1] = pixel;
    }
}

} // namespace lumetta
