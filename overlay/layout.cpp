#include "overlay/layout.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "overlay/constants.h"

namespace lumetta {
namespace {

constexpr int32_t Slot(OverlayButton button) {
    return static_cast<int32_t>(button);
}
constexpr int32_t Group(OverlayGroup group) {
    return static_cast<int32_t>(group);
}

struct BarSizes {
    int32_t button, label, gap, padding, margin;
};

BarSizes SizesAt(uint32_t dpi) {
    return BarSizes{ScaleForDpi(OVERLAY_BUTTON_96, dpi), ScaleForDpi(OVERLAY_LABEL_96, dpi),
                    ScaleForDpi(OVERLAY_GAP_96, dpi), ScaleForDpi(OVERLAY_PADDING_96, dpi),
                    ScaleForDpi(OVERLAY_MARGIN_96, dpi)};
}

// Buttons side by side from x, each `s.button` wide with a gap between them.
void PlaceRow(OverlayLayout* layout, int64_t x, const BarSizes& s,
              std::initializer_list<OverlayButton> row) {
    for (OverlayButton button : row) {
        const int64_t width = button == OverlayButton::ZoomLabel ? s.label : s.button;
        layout->buttonRects[Slot(button)] =
            Rect{ClampToInt32(x), s.padding, ClampToInt32(x + width), s.padding + s.button};
        x += width + s.gap;
    }
}

Rect Centred(int32_t cx, int32_t cy, int32_t radius) {
    return Rect{cx - radius, cy - radius, cx + radius, cy + radius};
}

} // namespace

OverlayLayout LayoutOverlay(int32_t width, int32_t height, uint32_t dpi) {
    const BarSizes s = SizesAt(dpi);
    OverlayLayout layout;
    layout.barHeight = s.button + 2 * s.padding;
    const int64_t zoomWidth = int64_t{s.label} + 2 * (int64_t{s.padding} + s.gap + s.button);
    const int64_t actionWidth = 3 * int64_t{s.button} + 2 * (int64_t{s.padding} + s.gap);
    const int64_t singleWidth = 2 * int64_t{s.padding} + s.button;
    const int32_t small = ScaleForDpi(OVERLAY_SMALL_FRAME_96, dpi);
    if (width < small && height < small) return layout;

    const int64_t right = int64_t{width} - s.margin;
    if (width >= actionWidth + 2 * s.margin) {
        layout.barWidth = width;
        const int64_t left = right - actionWidth;
        layout.groupRects[Group(OverlayGroup::Action)] =
            Rect{ClampToInt32(left), 0, ClampToInt32(right), layout.barHeight};
        PlaceRow(&layout, left + s.padding, s,
                 {OverlayButton::MoreActions, OverlayButton::Maximize, OverlayButton::Close});
        if (width >= actionWidth + zoomWidth + 3 * s.margin) {
            layout.groupRects[Group(OverlayGroup::Zoom)] =
                Rect{s.margin, 0, ClampToInt32(s.margin + zoomWidth), layout.barHeight};
            PlaceRow(&layout, int64_t{s.margin} + s.padding, s,
                     {OverlayButton::ZoomOut, OverlayButton::ZoomLabel, OverlayButton::ZoomIn});
        }
    } else if (width >= singleWidth + 2 * s.margin) {
        layout.barWidth = width;
        const int64_t left = right - singleWidth;
        layout.groupRects[Group(OverlayGroup::Action)] =
            Rect{ClampToInt32(left), 0, ClampToInt32(right), layout.barHeight};
        PlaceRow(&layout, left + s.padding, s, {OverlayButton::MoreActions});
    }
    return layout;
}

Point OverlayOrigin(const Rect& frame, int32_t barWidth, int32_t barHeight, uint32_t dpi) {
    const int32_t offset = ScaleForDpi(OVERLAY_OFFSET_96, dpi);
    const int64_t width = RectWidth(frame);
    const int64_t height = RectHeight(frame);
    int64_t x = frame.left;
    int64_t y = int64_t{frame.top} + offset;
    if (barWidth > width || barHeight > height) {
        x = frame.left + (width - barWidth) / 2;
        if (barHeight > height) y = int64_t{frame.top} - barHeight - offset;
    }
    return Point{ClampToInt32(x), ClampToInt32(y)};
}

int32_t OverlaySlotAt(const Rect (&buttonRects)[OVERLAY_SLOTS], Point point) {
    for (int32_t slot = 0; slot < OVERLAY_SLOTS; ++slot) {
        const Rect& r = buttonRects[slot];
        if (!IsRectEmpty(r) && point.x >= r.left && point.x < r.right && point.y >= r.top &&
            point.y < r.bottom) {
            return slot;
        }
    }
    return OVERLAY_NO_BUTTON;
}

OverlayGlyph GlyphFor(OverlayButton slot, const Rect& button, uint32_t dpi, bool maximized) {
    const int32_t cx = static_cast<int32_t>((int64_t{button.left} + button.right) / 2);
    const int32_t cy = static_cast<int32_t>((int64_t{button.top} + button.bottom) / 2);
    const int32_t r = ScaleForDpi(OVERLAY_ARM_96, dpi);
    const Rect horizontal{cx - r, cy, cx + r, cy};
    // Outlines include their right and bottom edges, so a square is 2r + 1 pixels wide.
    const Rect square{cx - r, cy - r, cx + r + 1, cy + r + 1};
    OverlayGlyph glyph;
    auto add = [&glyph](GlyphStroke stroke, Rect at) { glyph.parts[glyph.count++] = {stroke, at}; };
    switch (slot) {
    case OverlayButton::ZoomOut: add(GlyphStroke::Line, horizontal); break;
    case OverlayButton::ZoomLabel: break;
    case OverlayButton::ZoomIn:
        add(GlyphStroke::Line, horizontal);
        add(GlyphStroke::Line, Rect{cx, cy - r, cx, cy + r});
        break;
    case OverlayButton::Maximize: {
        if (!maximized) {
            add(GlyphStroke::Box, square);
            break;
        }
        const int32_t o = ScaleForDpi(OVERLAY_RESTORE_OFFSET_96, dpi);
        add(GlyphStroke::Box, Rect{square.left + o, square.top + o, square.right, square.bottom});
        add(GlyphStroke::Box, Rect{square.left, square.top, square.right - o, square.bottom - o});
        break;
    }
    case OverlayButton::MoreActions: {
        const int32_t spacing = ScaleForDpi(OVERLAY_DOT_SPACING_96, dpi);
        const int32_t radius = ScaleForDpi(OVERLAY_DOT_RADIUS_96, dpi);
        for (int32_t k = -1; k <= 1; ++k)
            add(GlyphStroke::Dot, Centred(cx + k * spacing, cy, radius));
        break;
    }
    case OverlayButton::Close:
        add(GlyphStroke::Line, Rect{cx - r, cy - r, cx + r, cy + r});
        add(GlyphStroke::Line, Rect{cx + r, cy - r, cx - r, cy + r});
        break;
    }
    return glyph;
}

// Without branches: a row of mixed pixels converts without mispredictions.
uint32_t ConvertOverlayPixel(uint32_t drawn) {
    const uint32_t rgb = drawn & 0xFFFFFF;
    const uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    const uint32_t brightest = std::max(red, std::max(green, blue));
    const auto scale = [](uint32_t c) { return c * OVERLAY_GREY_ALPHA / 255; };
    uint32_t pixel = OVERLAY_GREY_ALPHA << 24 | scale(red) << 16 | scale(green) << 8 | scale(blue);
    pixel = brightest == 0 ? OVERLAY_PIXEL_BAR : pixel;
    pixel = brightest >= OVERLAY_WHITE_FROM ? OVERLAY_PIXEL_WHITE : pixel;
    return rgb == OVERLAY_KEY_EMPTY ? OVERLAY_PIXEL_CLEAR : pixel;
}

#if defined(__SSE2__)
// Four pixels at a time, by the same rule as ConvertOverlayPixel: twice as fast on a drawn bar.
void ConvertOverlayPixels(uint32_t* pixels, size_t count) {
    const __m128i colour = _mm_set1_epi32(0xFFFFFF), byte = _mm_set1_epi32(0xFF);
    const __m128i key = _mm_set1_epi32(OVERLAY_KEY_EMPTY), zero = _mm_setzero_si128();
    const __m128i whiteFrom = _mm_set1_epi32(OVERLAY_WHITE_FROM - 1);
    const __m128i bar = _mm_set1_epi32(static_cast<int32_t>(OVERLAY_PIXEL_BAR));
    const __m128i greyAlpha = _mm_set1_epi32(static_cast<int32_t>(OVERLAY_GREY_ALPHA << 24));
    const __m128i alpha16 = _mm_set1_epi16(OVERLAY_GREY_ALPHA);
    // x / 255 for any 16-bit x is (x × 0x8081) >> 23.
    const __m128i by255 = _mm_set1_epi16(static_cast<int16_t>(0x8081));
    const auto scale = [&](__m128i channels16) {
        return _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(channels16, alpha16), by255), 7);
    };
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(pixels + i);
        const __m128i rgb = _mm_and_si128(_mm_loadu_si128(at), colour);
        __m128i brightest = _mm_max_epu8(rgb, _mm_srli_epi32(rgb, 8));
        brightest = _mm_and_si128(_mm_max_epu8(brightest, _mm_srli_epi32(rgb, 16)), byte);
        const __m128i scaled = _mm_packus_epi16(scale(_mm_unpacklo_epi8(rgb, zero)),
                                                scale(_mm_unpackhi_epi8(rgb, zero)));
        __m128i pixel = _mm_or_si128(_mm_and_si128(scaled, colour), greyAlpha);
        const __m128i black = _mm_cmpeq_epi32(brightest, zero);
        pixel = _mm_or_si128(_mm_and_si128(black, bar), _mm_andnot_si128(black, pixel));
        pixel = _mm_or_si128(pixel, _mm_cmpgt_epi32(brightest, whiteFrom));
        pixel = _mm_andnot_si128(_mm_cmpeq_epi32(rgb, key), pixel);
        _mm_storeu_si128(at, pixel);
    }
    for (; i < count; ++i)
        pixels[i] = ConvertOverlayPixel(pixels[i]);
}
#else
void ConvertOverlayPixels(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i)
        pixels[i] = ConvertOverlayPixel(pixels[i]);
}
#endif

} // namespace lumetta
