// The hover bar's geometry and pixels: which buttons fit a preview's frame and where each button,
// group and glyph sits, where the bar goes, and the rule that turns the key colours it is drawn
// with into premultiplied alpha. Pure: the Win32 glue reads the frame, draws and pushes the bitmap.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/base/geometry.h"

namespace lumetta {

constexpr int32_t OVERLAY_SLOTS = 6;
constexpr int32_t OVERLAY_GROUPS = 2;
constexpr int32_t OVERLAY_NO_BUTTON = -1;

// Slots in the order their rectangles are kept and hit-tested.
enum class OverlayButton : int32_t { ZoomOut, ZoomLabel, ZoomIn, Maximize, MoreActions, Close };
enum class OverlayGroup : int32_t { Zoom, Action };

struct OverlayLayout {
    int32_t barWidth = 0; // 0 when no button fits
    int32_t barHeight = 0;
    Rect buttonRects[OVERLAY_SLOTS]{}; // empty for a slot that is not laid out
    Rect groupRects[OVERLAY_GROUPS]{};
};

// The buttons that fit a frame of this size at dpi: all six, the action group, More actions
// alone, or none.
OverlayLayout LayoutOverlay(int32_t width, int32_t height, uint32_t dpi);

// Top-left corner of the bar over a preview's frame: just inside its top edge, centred when the
// bar is wider, and above the preview when the bar is taller than the frame.
Point OverlayOrigin(const Rect& frame, int32_t barWidth, int32_t barHeight, uint32_t dpi);

// The first laid-out slot holding point, or OVERLAY_NO_BUTTON.
int32_t OverlaySlotAt(const Rect (&buttonRects)[OVERLAY_SLOTS], Point point);

// One stroke of a button's glyph: a line from (left, top) to (right, bottom), end point excluded,
// or a rectangle outline or a filled dot with those corners.
enum class GlyphStroke : int32_t { Line, Box, Dot };
struct GlyphPart {
    GlyphStroke stroke;
    Rect at;
};
struct OverlayGlyph {
    int32_t count = 0; // the zoom label has no strokes: it is text
    GlyphPart parts[3]{};
};
OverlayGlyph GlyphFor(OverlayButton slot, const Rect& button, uint32_t dpi, bool maximized);

// The final 0xAARRGGBB pixel of one drawn pixel (bytes B, G, R from the lowest; the top byte is
// ignored), and the same over a whole buffer in place.
uint32_t ConvertOverlayPixel(uint32_t drawn);
void ConvertOverlayPixels(uint32_t* pixels, size_t count);

} // namespace lumetta
