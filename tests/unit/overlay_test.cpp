#include "overlay/layout.h"

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

// The layout as text: the bar's width, then the zoom and action groups and the six slots (zoom
// out, label, zoom in, maximize, more actions, close) as left-right, '.' where empty. A group
// spans the bar's height; a button lies inset within it, else its rectangle is printed whole.
std::string Describe(const OverlayLayout& l, int32_t inset) {
    std::string s = std::to_string(l.barWidth);
    const auto add = [&](const Rect& r, int32_t top) {
        s += r == Rect{} ? " ." : " " + std::to_string(r.left) + "-" + std::to_string(r.right);
        if (r != Rect{} && (r.top != top || r.bottom != l.barHeight - top))
            s += "@" + ::testing::PrintToString(r);
    };
    for (const Rect& r : l.groupRects)
        add(r, 0);
    for (const Rect& r : l.buttonRects)
        add(r, inset);
    return s;
}

TEST(OverlayLayout, ButtonsThatFitTheFrame) {
    // width, height, dpi, layout; at 144 DPI: button 45, label 72, gap 3, padding 6, margin 9
    const std::tuple<int32_t, int32_t, uint32_t, const char*> cases[] = {
        {240, 100, 96, "240 6-126 132-234 10-40 42-90 92-122 168-198 136-166 200-230"},
        {239, 100, 96, "239 . 131-233 . . . 167-197 135-165 199-229"},
        {114, 100, 96, "114 . 6-108 . . . 42-72 10-40 74-104"},
        {113, 100, 96, "113 . 69-107 . . . . 73-103 ."},
        {50, 100, 96, "50 . 6-44 . . . . 10-40 ."},
        {49, 100, 96, "0 . . . . . . . ."},
        {40, 40, 96, "0 . . . . . . . ."},
        {60, 30, 96, "60 . 16-54 . . . . 20-50 ."},
        {360, 100, 144, "360 9-189 198-351 15-60 63-135 138-183 252-297 204-249 300-345"},
        {359, 100, 144, "359 . 197-350 . . . 251-296 203-248 299-344"},
        {kMax, kMax, 96,
         "2147483647 6-126 2147483539-2147483641 10-40 42-90 92-122 2147483575-2147483605 "
         "2147483543-2147483573 2147483607-2147483637"},
        {kMin, 100, 96, "0 . . . . . . . ."},
    };
    for (const auto& [width, height, dpi, layout] : cases) {
        const OverlayLayout got = LayoutOverlay(width, height, dpi);
        EXPECT_EQ(got.barHeight, dpi == 144 ? 57 : 38) << width;
        EXPECT_EQ(Describe(got, dpi == 144 ? 6 : 4), layout) << width << " x " << height;
    }
}

TEST(OverlayLayout, BarOriginAndTheButtonUnderThePointer) {
    // frame, bar size, dpi, origin: centred above a frame too low for it (inside the top edge at
    // 96 DPI is the hover scenario's)
    const std::tuple<Rect, Point, uint32_t, Point> origins[] = {
        {{100, 100, 160, 130}, {60, 38}, 96, {100, 56}},
        {{-50, -20, 10, 20}, {60, 57}, 144, {-50, -86}},
        {{0, 0, 40, 100}, {60, 38}, 96, {-10, 6}},
    };
    ExpectRows(origins,
               [](Rect f, Point bar, uint32_t dpi) { return OverlayOrigin(f, bar.x, bar.y, dpi); });

    const OverlayLayout full = LayoutOverlay(240, 100, 96);
    // point, slot: edges are inclusive on the left and top only; gaps and margins hit nothing
    const std::pair<Point, int32_t> hits[] = {{{10, 4}, 0},   {{39, 33}, 0},  {{40, 20}, -1},
                                              {{42, 20}, 1},  {{121, 20}, 2}, {{150, 20}, 4},
                                              {{197, 4}, 3},  {{229, 33}, 5}, {{230, 20}, -1},
                                              {{20, 34}, -1}, {{20, 3}, -1},  {{-1, -1}, -1}};
    ExpectRows(hits, [&](Point p) { return OverlaySlotAt(full.buttonRects, p); });
}

// Strokes as text: L for a line, B a box, D a dot, each with its rectangle.
std::string Describe(const OverlayGlyph& g) {
    std::string s;
    for (int32_t i = 0; i < g.count; ++i)
        s += "LBD"[static_cast<int>(g.parts[i].stroke)] + ::testing::PrintToString(g.parts[i].at);
    return s;
}

TEST(OverlayGlyphs, StrokesOfEachSlot) {
    using B = OverlayButton;
    const Rect b96{10, 4, 40, 34};  // centre (25, 19), arm 8
    const Rect b144{15, 6, 60, 51}; // centre (37, 28), arm 12, restore offset 5
    // slot, button, dpi, maximized, strokes
    const std::tuple<OverlayButton, Rect, uint32_t, bool, const char*> cases[] = {
        {B::ZoomOut, b96, 96, false, "L(17, 19, 33, 19)"},
        {B::ZoomLabel, b96, 96, false, ""},
        {B::ZoomIn, b96, 96, false, "L(17, 19, 33, 19)L(25, 11, 25, 27)"},
        {B::Maximize, b96, 96, false, "B(17, 11, 34, 28)"},
        {B::Maximize, b96, 96, true, "B(20, 14, 34, 28)B(17, 11, 31, 25)"},
        {B::Maximize, b144, 144, true, "B(30, 21, 50, 41)B(25, 16, 45, 36)"},
        {B::MoreActions, b96, 96, false, "D(18, 17, 22, 21)D(23, 17, 27, 21)D(28, 17, 32, 21)"},
        {B::Close, b96, 96, true, "L(17, 11, 33, 27)L(33, 11, 17, 27)"},
    };
    for (const auto& [slot, button, dpi, maximized, strokes] : cases)
        EXPECT_EQ(Describe(GlyphFor(slot, button, dpi, maximized)), strokes) << int(slot);
}

TEST(OverlayPixels, KeyColoursBecomePremultipliedPixels) {
    const std::pair<uint32_t, uint32_t> rows[] = {
        {0xFF00FF, 0x00000000},   // the empty key: transparent
        {0xAAFF00FF, 0x00000000}, // whatever the top byte holds
        {0xFF00FE, 0xFFFFFFFF},   // next to the key: its brightest channel makes it white
        {0xFF10FF, 0xFFFFFFFF},   // a little green: not the key
        {0xC80000, 0xFFFFFFFF},   // (200, 0, 0)
        {0xFFFFFF, 0xFFFFFFFF},   // glyphs
        {0x000000, 0x80000000},   // the bar
        {0xC7C7C7, 0xB0898989},   // (199, 199, 199): 199 × 176 / 255 = 137
        {0x2A2A2A, 0xB01C1C1C},   // the hover grey
        {0x464646, 0xB0303030},   // the pressed grey
        {0x000001, 0xB0000000},   // blue 1 scales to 0
        {0x010203, 0xB0000102},
    };
    // The buffer form, four pixels at a time and one by one for the rest: every row twice, the
    // last pixel left out.
    ExpectRows(rows, ConvertOverlayPixel);
    std::vector<uint32_t> buffer;
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& row : rows)
            buffer.push_back(row.first);
    ConvertOverlayPixels(buffer.data(), buffer.size() - 1);
    for (size_t i = 0; i + 1 < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], rows[i % std::size(rows)].second) << i;
    EXPECT_EQ(buffer.back(), rows[std::size(rows) - 1].first);
}

} // namespace
