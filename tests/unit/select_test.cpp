#include "select/screen_bitmap.h"
#include "select/constants.h"
#include "select/selection.h"
#include "select/source_filter.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr uint32_t kColour = 0x40102030; // stored as 0x40302010

// The picture as text, top row first: '.' untouched, '#' white, 'd' dim, '0' zero, 'c' kColour as
// stored, 'o' anything else.
std::string Art(const PixelBuffer& b) {
    const uint32_t pixels[] = {kUntouched, 0xFFFFFFFF, 0x78000000, 0, 0x40302010};
    std::string art;
    for (int32_t y = 0; y < b.bitmap.height; ++y) {
        art += y ? "|" : "";
        for (int32_t x = 0; x < b.bitmap.width; ++x)
            art += ".#d0co"[std::find(pixels, std::end(pixels), b.At(x, y)) - pixels];
    }
    return art;
}

TEST(SelectBitmap, SizesThatFitThirtyTwoBitsOfBytesAndNeitherHandleNorPixels) {
    const std::tuple<int32_t, int32_t, bool> cases[] = {
        {1, 1, true},         {0, 1080, false},      {1920, 0, false},   {-1, -1, false},
        {32768, 32767, true}, {32768, 32768, false}, {1 << 29, 1, true}, {1 << 30, 1, false},
    };
    ExpectRows(cases, ScreenBitmapFits);
    // Nothing is written without a handle or pixels.
    PixelBuffer b(6, 4, kUntouched);
    ScreenBitmap noHandle{nullptr, b.memory.data(), 6, 4}, noPixels{b.bitmap.bitmap, nullptr, 6, 4};
    for (ScreenBitmap* broken : {&noHandle, &noPixels}) {
        FillRect32(broken, SELECTION_DIM_PIXEL, nullptr);
        FrameRect32(broken, Rect{0, 0, 6, 4});
    }
    EXPECT_EQ(Art(b), "......|......|......|......");
}

// Both writers clip to the bitmap first; zero takes a path of its own, in part rows and whole.
// FrameRect32 draws the outermost pixels of the clipped rectangle.
TEST(SelectBitmap, FillRect32AndFrameRect32WriteTheClippedRectangleOnly) {
    EXPECT_EQ(StoredPixel(0x80112233), 0x80332211u); // red and blue exchanged
    const uint32_t dim = SELECTION_DIM_PIXEL;
    const std::optional<uint32_t> frame;
    // colour (none: a frame), rectangle (none: everything), picture (rows top first, separated
    // by '|')
    const std::tuple<std::optional<uint32_t>, std::optional<Rect>, const char*> cases[] = {
        {dim, std::nullopt, "dddddd|dddddd|dddddd|dddddd"},
        {kColour, Rect{1, 0, 2, 1}, ".c....|......|......|......"},
        {dim, Rect{1, 1, 4, 3}, "......|.ddd..|.ddd..|......"},
        {dim, Rect{0, 1, 6, 3}, "......|dddddd|dddddd|......"},
        {0, Rect{1, 1, 4, 3}, "......|.000..|.000..|......"},
        {0, Rect{-1, -9, 7, 2}, "000000|000000|......|......"},
        {dim, Rect{4, 2, 9, 9}, "......|......|....dd|....dd"},
        {dim, Rect{6, 0, 8, 4}, "......|......|......|......"},
        {dim, Rect{0, 4, 6, 8}, "......|......|......|......"},
        {dim, Rect{4, 3, 1, 1}, "......|......|......|......"},     // reversed
        {frame, Rect{1, 2, 5, 3}, "......|......|.####.|......"},   // one row
        {frame, Rect{3, 0, 4, 4}, "...#..|...#..|...#..|...#.."},   // one column
        {frame, Rect{0, 0, 2, 2}, "##....|##....|......|......"},   // no inside rows
        {frame, Rect{2, 0, 4, 4}, "..##..|..##..|..##..|..##.."},   // no inside columns
        {frame, Rect{-3, -3, 3, 3}, "###...|#.#...|###...|......"}, // beyond left and top
        {frame, Rect{3, 1, 10, 10}, "......|...###|...#.#|...###"}, // beyond right and bottom
        {frame, Rect{-1, -1, 7, 5}, "######|#....#|#....#|######"}, // beyond every side
        {frame, Rect{-4, 0, 0, 4}, "......|......|......|......"},  // wholly left
    };
    ExpectRows(cases, [](std::optional<uint32_t> colour, std::optional<Rect> rect) {
        PixelBuffer b(6, 4, kUntouched);
        if (colour) FillRect32(&b.bitmap, *colour, rect ? &*rect : nullptr);
        if (!colour) FrameRect32(&b.bitmap, *rect);
        return Art(b);
    });
}

// ---- gestures ---------------------------------------------------------------------------------

// Runs steps such as "P10,10 M15,20 R20,30" (press, move, release at window points) and returns
// the outcome of the last button event.
ButtonOutcome Perform(SelectionWindow* s, const char* steps) {
    ButtonOutcome last = ButtonOutcome::Ignored;
    char kind = 0;
    int32_t x = 0, y = 0;
    for (int n = 0; std::sscanf(steps, " %c%d,%d%n", &kind, &x, &y, &n) == 3; steps += n) {
        if (kind == 'M') TrackPointer(s, {x, y});
        if (kind == 'P') last = PressLeft(s, {x, y});
        if (kind == 'R') last = ReleaseLeft(s, {x, y});
    }
    return last;
}

// Both ways to select, and a double-click, are the selection road scenario's; here the ten-pixel
// rule and the events out of order.
TEST(SelectGesture, TheTenPixelRuleAndEventsOutOfOrder) {
    using O = ButtonOutcome;
    // steps, outcome of the last button event, anchor, current corner
    const std::pair<const char*, std::tuple<ButtonOutcome, Point, Point>> cases[] = {
        // A release under 10 pixels from the anchor on both axes is a click.
        {"P100,100 R109,109", {O::Ignored, {100, 100}, {100, 100}}},
        {"P100,100 R110,100", {O::Completed, {100, 100}, {110, 100}}},
        {"P100,100 R100,110", {O::Completed, {100, 100}, {100, 110}}},
        {"P100,100 R90,105", {O::Completed, {100, 100}, {90, 105}}},
        {"P100,100 R95,90", {O::Completed, {100, 100}, {95, 90}}},
        {"P40,40 R40,40 P40,40", {O::Completed, {40, 40}, {40, 40}}}, // a second press completes
        {"R5,6", {O::Started, {5, 6}, {5, 6}}},                       // a release can come first
        {"M50,50", {O::Ignored, {0, 0}, {0, 0}}},                     // no drag, nothing to follow
    };
    ExpectRows(cases, [](const char* steps) {
        SelectionWindow s{};
        ResetCorners(&s, {1920, 1080});
        const ButtonOutcome last = Perform(&s, steps);
        EXPECT_EQ(s.accepted != 0, last == O::Completed) << steps;
        return std::make_tuple(last, s.anchor, s.current);
    });
}

// ---- redraws ----------------------------------------------------------------------------------

constexpr uint32_t kDim = SELECTION_DIM_PIXEL;
constexpr uint32_t kHint = 0x55AA55AA; // stands in for the hint's glyphs

// A selection window over a dimmed 64 × 48 screen with a hint drawn in its erase area.
struct Screen {
    PixelBuffer b{64, 48, 0};
    SelectionWindow s{};

    explicit Screen(Rect hint) {
        s.size = {64, 48};
        s.screen = b.bitmap;
        FillRect32(&s.screen, kDim, nullptr);
        const Rect glyphs{hint.left + 10, hint.top + 10, hint.right - 10, hint.bottom - 10};
        FillRect32(&s.screen, kHint, &glyphs);
        s.hintRect = hint;
        s.hintShown = 1;
        ResetCorners(&s, s.size);
    }

    // A redraw on the timer, which clears the pending moves.
    RedrawPlan Redraw(bool full = false) {
        const RedrawPlan plan = PrepareRedraw(&s, full);
        s.redrawPending = 0;
        return plan;
    }

    // Whether the screen is dim with, where given, the band between two corners (both inside)
    // in white on its edge and clear within.
    bool Shows(const Point* a, const Point* c) const {
        for (int32_t y = 0; y < 48; ++y) {
            for (int32_t x = 0; x < 64; ++x) {
                uint32_t expected = kDim;
                if (a && x >= std::min(a->x, c->x) && x <= std::max(a->x, c->x) &&
                    y >= std::min(a->y, c->y) && y <= std::max(a->y, c->y)) {
                    const bool edge = x == a->x || x == c->x || y == a->y || y == c->y;
                    expected = edge ? SELECTION_FRAME_PIXEL : SELECTION_BAND_PIXEL;
                }
                if (b.At(x, y) != expected) return false;
            }
        }
        return true;
    }
};

// Moves coalesced into redraws in groups of every size: each redraw leaves exactly the dim screen
// and the current band, whatever band it drew before, and pushes the old and the new band.
TEST(SelectRedraw, EachRedrawReplacesTheBandItDrewAndPushesBoth) {
    Screen sc({-10, 30, 60, 58});             // the hint reaches past the left and bottom edges
    EXPECT_FALSE(sc.Redraw().push);           // no drag yet
    EXPECT_TRUE(sc.Redraw(true).wholeWindow); // unless full
    EXPECT_TRUE(sc.s.hintShown);
    Perform(&sc.s, "P30,30");
    // The first redraw of a drag erases the hint, pushed as far as it lies in the window.
    EXPECT_EQ(sc.Redraw().dirty, (Rect{0, 30, 60, 48}));
    EXPECT_FALSE(sc.s.hintShown);
    EXPECT_TRUE(sc.Shows(nullptr, nullptr));
    // The band grows, shrinks, crosses the anchor, reaches every edge and comes back to where it
    // was drawn.
    std::istringstream redraws("M31,31|M40,35 M50,44 M45,40|M35,33|M20,10 M5,2|"
                               "M0,0 M63,47 M30,30 M29,29|M62,1|M40,40 M62,1|M1,46|"
                               "M33,31 M30,30 M50,20 M10,40|M63,0 M0,47");
    for (std::string group; std::getline(redraws, group, '|');) {
        SCOPED_TRACE(group);
        Perform(&sc.s, group.c_str());
        const Rect shown = BandRect(sc.s.shownAnchor, sc.s.shownCurrent);
        const Rect band = BandRect(sc.s.anchor, sc.s.current);
        const RedrawPlan plan = sc.Redraw();
        ASSERT_TRUE(sc.Shows(&sc.s.anchor, &sc.s.current));
        EXPECT_EQ(plan.push, band != shown);
        EXPECT_FALSE(plan.wholeWindow);
        const Rect both{std::min(shown.left, band.left), std::min(shown.top, band.top),
                        std::max(shown.right, band.right), std::max(shown.bottom, band.bottom)};
        EXPECT_EQ(plan.dirty, plan.push ? both : Rect{});
    }
    // A full redraw pushes the whole window, with changes or without.
    EXPECT_TRUE(sc.Redraw(true).wholeWindow);
    Perform(&sc.s, "M10,12");
    EXPECT_TRUE(sc.Redraw(true).wholeWindow);
    const Point anchor{30, 30}, current{10, 12};
    EXPECT_TRUE(sc.Shows(&anchor, &current));
    EXPECT_EQ(BandRect({kMax, 0}, {0, kMax}), (Rect{0, 0, kMax, kMax}));
}

// ---- the hint and the hand-off ------------------------------------------------------------------

// Right- and bottom-aligned text ends 16 pixels left of and 5 above the primary work area's
// corner; the layout is as high as the text's whole pixels and one more.
TEST(SelectHintAndHandOff, AtThePrimaryWorkAreasCornerAndInScreenCoordinates) {
    // work area (screen coordinates), the virtual screen's origin, text height, layout (window
    // coordinates)
    const std::tuple<Rect, Point, float, Rect> cases[] = {
        {{0, 0, 1920, 1040}, {0, 0}, 48.3f, {0, 986, 1904, 1035}},
        {{0, 0, 1920, 1080}, {0, 0}, 49.0f, {0, 1025, 1904, 1075}},           // whole pixels
        {{0, 40, 1280, 1024}, {-300, -1200}, 30.9f, {300, 2188, 1564, 2219}}, // monitors before
        {{62, 0, 1920, 1080}, {0, 0}, 48.3f, {62, 1026, 1904, 1075}},         // taskbar on the left
    };
    ExpectRows(cases, [](Rect workArea, Point origin, float textHeight) {
        return HintLayoutRect(ToWindowCoordinates(workArea, origin), textHeight);
    });
    EXPECT_EQ(HintEraseRect({kMin, 0, kMax, 10}), (Rect{kMin, -10, kMax, 20}));
    // The font's em size follows the DPI, not truncated to whole pixels.
    EXPECT_FLOAT_EQ(HintEmSize(0), 36.0f);
    EXPECT_FLOAT_EQ(HintEmSize(144), 54.0f);
    EXPECT_FLOAT_EQ(HintEmSize(100), 37.5f);
    // The hand-off: anchor, current corner, the virtual screen's origin, the area in screen
    // coordinates
    const std::tuple<Point, Point, Point, Rect> handOffs[] = {
        {{300, 200}, {100, 50}, {-1920, 0}, {-1820, 50, -1620, 200}},
        {{300, 50}, {100, 200}, {0, -1080}, {100, -1030, 300, -880}},
        {{40, 40}, {40, 40}, {-1920, -1080}, {-1880, -1040, -1880, -1040}}, // empty
    };
    ExpectRows(handOffs, HandOffRect);
}

TEST(SelectSource, CentreExcludedNamesAndInvisibleLayers) {
    // The centre truncates toward zero.
    const std::pair<Rect, Point> cases[] = {
        {{100, 100, 201, 301}, {150, 200}},
        {{-101, -101, 0, 0}, {-50, -50}},         // not -51: truncation, not flooring
        {{300, 200, 100, 50}, {200, 125}},        // order does not matter
        {{kMax, kMax, kMax, kMax}, {kMax, kMax}}, // the sum does not overflow
        {{kMin, kMin, kMin, kMin}, {kMin, kMin}},
    };
    ExpectRows(cases, SelectionCenter);
    // Each listed name, exact and case-sensitive, and the fading-window prefix.
    // name, excluded as a class, excluded as a title
    const std::pair<const wchar_t*, std::pair<bool, bool>> names[] = {
        {L"WorkerW", {true, false}},
        {L"AVP.SandboxWindow", {true, false}},
        {L"YoloMouseClass", {true, false}},
        {L"Lumetta_PreviewWnd", {true, false}},
        {L"YoloMouseOverlay", {false, true}},
        {L"DFMonitorFadingWindow:", {true, false}},
        {L"DFMonitorFadingWindow:\\\\.\\DISPLAY2 and a name longer than the buffer", {true, false}},
        {L"DFMonitorFadingWindow", {false, false}},
        {L"workerw", {false, false}}, // case-sensitive
        {L"WorkerW2", {false, false}},
        {L"YoloMouseOverlay ", {false, false}},
        {L"", {false, false}},
        {nullptr, {false, false}},
    };
    ExpectRows(names, [](const wchar_t* name) {
        return std::make_pair(IsExcludedSourceClass(name), IsExcludedSourceTitle(name));
    });
    // Names are read into a 32-unit buffer: a longer one is compared as its first 31 units.
    EXPECT_EQ(NameAsRead(std::wstring(40, L'x').c_str()), std::wstring(31, L'x'));
    // Invisible owned layers.
    EXPECT_TRUE(IsInvisibleLayer(false, false, 255)) << "per-pixel alpha: attributes unreadable";
    EXPECT_TRUE(IsInvisibleLayer(true, true, 0)) << "constant alpha 0";
    EXPECT_FALSE(IsInvisibleLayer(true, true, 1)) << "constant alpha 1";
    EXPECT_FALSE(IsInvisibleLayer(true, false, 0)) << "alpha 0 with a colour key";
}

} // namespace
