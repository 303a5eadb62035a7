#include "overlay/layout.h"

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

constexpr Rect kNone{};

struct Laid {
    int32_t barWidth;
    Rect zoomGroup, actionGroup;
    Rect slots[OVERLAY_SLOTS]; // zoom out, label, zoom in, maximize, more actions, close
};

void ExpectLayout(int32_t width, int32_t height, uint32_t dpi, const Laid& want) {
    const OverlayLayout got = LayoutOverlay(width, height, dpi);
    const std::string at =
        std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(dpi);
    EXPECT_EQ(got.barWidth, want.barWidth) << at;
    EXPECT_EQ(got.barHeight, ScaleForDpi(38, dpi)) << at;
    EXPECT_EQ(got.groupRects[0], want.zoomGroup) << at;
    EXPECT_EQ(got.groupRects[1], want.actionGroup) << at;
    for (int32_t slot = 0; slot < OVERLAY_SLOTS; ++slot)
        EXPECT_EQ(got.buttonRects[slot], want.slots[slot]) << at << ", slot " << slot;
}

TEST(OverlayLayout, ButtonsThatFitTheFrame) {
    const struct {
        int32_t width, height;
        uint32_t dpi;
        Laid want;
    } cases[] = {
        // clang-format off
        {240, 100, 96, {240, {6, 0, 126, 38}, {132, 0, 234, 38}, {{10, 4, 40, 34}, {42, 4, 90, 34},
            {92, 4, 122, 34}, {168, 4, 198, 34}, {136, 4, 166, 34}, {200, 4, 230, 34}}}},
        {239, 100, 96, {239, kNone, {131, 0, 233, 38}, {kNone, kNone, kNone, {167, 4, 197, 34},
            {135, 4, 165, 34}, {199, 4, 229, 34}}}},
        {114, 100, 96, {114, kNone, {6, 0, 108, 38}, {kNone, kNone, kNone, {42, 4, 72, 34},
            {10, 4, 40, 34}, {74, 4, 104, 34}}}},
        {113, 100, 96, {113, kNone, {69, 0, 107, 38}, {kNone, kNone, kNone, kNone, {73, 4, 103, 34}}}},
        {50, 100, 96, {50, kNone, {6, 0, 44, 38}, {kNone, kNone, kNone, kNone, {10, 4, 40, 34}}}},
        {49, 100, 96, {0, kNone, kNone, {}}},
        {40, 40, 96, {0, kNone, kNone, {}}},
        {60, 30, 96, {60, kNone, {16, 0, 54, 38}, {kNone, kNone, kNone, kNone, {20, 4, 50, 34}}}},
        // 144 DPI: button 45, label 72, gap 3, padding 6, margin 9; everything from 360.
        {360, 100, 144, {360, {9, 0, 189, 57}, {198, 0, 351, 57}, {{15, 6, 60, 51}, {63, 6, 135, 51},
            {138, 6, 183, 51}, {252, 6, 297, 51}, {204, 6, 249, 51}, {300, 6, 345, 51}}}},
        {359, 100, 144, {359, kNone, {197, 0, 350, 57}, {kNone, kNone, kNone, {251, 6, 296, 51},
            {203, 6, 248, 51}, {299, 6, 344, 51}}}},
        {kMax, kMax, 96, {kMax, {6, 0, 126, 38}, {kMax - 108, 0, kMax - 6, 38}, {{10, 4, 40, 34},
            {42, 4, 90, 34}, {92, 4, 122, 34}, {kMax - 72, 4, kMax - 42, 34},
            {kMax - 104, 4, kMax - 74, 34}, {kMax - 40, 4, kMax - 10, 34}}}},
        {kMin, 100, 96, {0, kNone, kNone, {}}},
        // clang-format on
    };
    for (const auto& c : cases)
        ExpectLayout(c.width, c.height, c.dpi, c.want);
}

TEST(OverlayLayout, BarOriginAndTheButtonUnderThePointer) {
    // frame, bar size, dpi, origin: inside the top edge, or centred above a frame too low for it
    const std::tuple<Rect, Point, uint32_t, Point> origins[] = {
        {{100, 200, 500, 400}, {400, 38}, 96, {100, 206}},
        {{100, 100, 160, 130}, {60, 38}, 96, {100, 56}},
        {{-50, -20, 10, 20}, {60, 57}, 144, {-50, -86}},
        {{0, 0, 40, 100}, {60, 38}, 96, {-10, 6}},
    };
    for (const auto& [frame, bar, dpi, want] : origins)
        EXPECT_EQ(OverlayOrigin(frame, bar.x, bar.y, dpi), want) << bar.x << " x " << bar.y;

    const OverlayLayout full = LayoutOverlay(240, 100, 96);
    // point, slot: edges are inclusive on the left and top only; gaps and margins hit nothing
    const std::pair<Point, int32_t> hits[] = {{{10, 4}, 0},   {{39, 33}, 0},  {{40, 20}, -1},
                                              {{42, 20}, 1},  {{121, 20}, 2}, {{150, 20}, 4},
                                              {{197, 4}, 3},  {{229, 33}, 5}, {{230, 20}, -1},
                                              {{20, 34}, -1}, {{20, 3}, -1},  {{-1, -1}, -1}};
    for (const auto& [point, slot] : hits)
        EXPECT_EQ(OverlaySlotAt(full.buttonRects, point), slot) << point.x << ", " << point.y;
}

TEST(OverlayGlyphs, StrokesOfEachSlot) {
    using S = GlyphStroke;
    const Rect b96{10, 4, 40, 34};  // centre (25, 19), arm 8
    const Rect b144{15, 6, 60, 51}; // centre (37, 28), arm 12, restore offset 5
    const struct {
        OverlayButton slot;
        Rect button;
        uint32_t dpi;
        bool maximized;
        std::vector<GlyphPart> parts;
    } cases[] = {
        {OverlayButton::ZoomOut, b96, 96, false, {{S::Line, {17, 19, 33, 19}}}},
        {OverlayButton::ZoomLabel, b96, 96, false, {}},
        {OverlayButton::ZoomIn,
         b96,
         96,
         false,
         {{S::Line, {17, 19, 33, 19}}, {S::Line, {25, 11, 25, 27}}}},
        {OverlayButton::Maximize, b96, 96, false, {{S::Box, {17, 11, 34, 28}}}},
        {OverlayButton::Maximize,
         b96,
         96,
         true,
         {{S::Box, {20, 14, 34, 28}}, {S::Box, {17, 11, 31, 25}}}},
        {OverlayButton::Maximize,
         b144,
         144,
         true,
         {{S::Box, {30, 21, 50, 41}}, {S::Box, {25, 16, 45, 36}}}},
        {OverlayButton::MoreActions,
         b96,
         96,
         false,
         {{S::Dot, {18, 17, 22, 21}}, {S::Dot, {23, 17, 27, 21}}, {S::Dot, {28, 17, 32, 21}}}},
        {OverlayButton::Close,
         b96,
         96,
         true,
         {{S::Line, {17, 11, 33, 27}}, {S::Line, {33, 11, 17, 27}}}},
    };
    for (const auto& c : cases) {
        const OverlayGlyph got = GlyphFor(c.slot, c.button, c.dpi, c.maximized);
        const int slot = static_cast<int>(c.slot);
        ASSERT_EQ(got.count, static_cast<int32_t>(c.parts.size())) << "slot " << slot;
        for (size_t i = 0; i < c.parts.size(); ++i) {
            EXPECT_EQ(got.parts[i].stroke, c.parts[i].stroke) << "slot " << slot << " part " << i;
            EXPECT_EQ(got.parts[i].at, c.parts[i].at) << "slot " << slot << " part " << i;
        }
    }
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
    std::vector<uint32_t> buffer;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [drawn, final] : rows) {
            if (pass == 0) {
                EXPECT_EQ(ConvertOverlayPixel(drawn), final) << std::hex << drawn;
            }
            buffer.push_back(drawn);
        }
    }
    ConvertOverlayPixels(buffer.data(), buffer.size() - 1);
    for (size_t i = 0; i + 1 < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], rows[i % std::size(rows)].second) << i;
    EXPECT_EQ(buffer.back(), rows[std::size(rows) - 1].first);
}

} // namespace
