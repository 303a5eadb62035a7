#include "select/selection.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "select/constants.h"
#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

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

TEST(SelectGesture, BothWaysToSelectAndTheTenPixelRule) {
    using O = ButtonOutcome;
    // steps, outcome of the last button event, anchor, current corner
    const std::tuple<const char*, ButtonOutcome, Point, Point> cases[] = {
        // Click, move, click; press, drag, release.
        {"P10,10 R10,10 M60,70 P60,70", O::Completed, {10, 10}, {60, 70}},
        {"P-20,-5 M-100,-90 R-200,-300", O::Completed, {-20, -5}, {-200, -300}},
        // A release under 10 pixels from the anchor on both axes is a click.
        {"P100,100 R109,109", O::Ignored, {100, 100}, {100, 100}},
        {"P100,100 R110,100", O::Completed, {100, 100}, {110, 100}},
        {"P100,100 R100,110", O::Completed, {100, 100}, {100, 110}},
        {"P100,100 R90,105", O::Completed, {100, 100}, {90, 105}},
        {"P100,100 R95,90", O::Completed, {100, 100}, {95, 90}},
        {"P40,40 R40,40 P40,40", O::Completed, {40, 40}, {40, 40}}, // a second press completes
        {"R5,6", O::Started, {5, 6}, {5, 6}},                       // a release can come first
        {"M50,50", O::Ignored, {0, 0}, {0, 0}},                     // no drag, nothing to follow
        // The second press of a double-click is not a press; its release is a click.
        {"P30,30 R30,30 R31,30", O::Ignored, {30, 30}, {30, 30}},
    };
    for (const auto& [steps, outcome, anchor, current] : cases) {
        SCOPED_TRACE(steps);
        SelectionWindow s{};
        ResetCorners(&s, {1920, 1080});
        const ButtonOutcome last = Perform(&s, steps);
        EXPECT_EQ(last, outcome);
        EXPECT_EQ(s.accepted != 0, last == O::Completed);
        EXPECT_EQ(s.anchor, anchor);
        EXPECT_EQ(s.current, current);
    }
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
TEST(SelectHint, SitsAtThePrimaryWorkAreasBottomRightCorner) {
    // work area (screen coordinates), the virtual screen's origin, text height, layout (window
    // coordinates)
    const std::tuple<Rect, Point, float, Rect> cases[] = {
        {{0, 0, 1920, 1040}, {0, 0}, 48.3f, {0, 986, 1904, 1035}},
        {{0, 0, 1920, 1080}, {0, 0}, 49.0f, {0, 1025, 1904, 1075}},           // whole pixels
        {{0, 40, 1280, 1024}, {-300, -1200}, 30.9f, {300, 2188, 1564, 2219}}, // monitors before
        {{62, 0, 1920, 1080}, {0, 0}, 48.3f, {62, 1026, 1904, 1075}},         // taskbar on the left
    };
    for (const auto& [workArea, origin, textHeight, layout] : cases) {
        EXPECT_EQ(HintLayoutRect(ToWindowCoordinates(workArea, origin), textHeight), layout)
            << ::testing::PrintToString(workArea) << " from " << ::testing::PrintToString(origin);
    }
    EXPECT_EQ(HintEraseRect({kMin, 0, kMax, 10}), (Rect{kMin, -10, kMax, 20}));
    // The font's em size follows the DPI, not truncated to whole pixels.
    EXPECT_FLOAT_EQ(HintEmSize(0), 36.0f);
    EXPECT_FLOAT_EQ(HintEmSize(144), 54.0f);
    EXPECT_FLOAT_EQ(HintEmSize(100), 37.5f);
}

TEST(SelectHandOff, RectangleFromTheCornersInScreenCoordinates) {
    // anchor, current corner, the virtual screen's origin, the area in screen coordinates
    const std::tuple<Point, Point, Point, Rect> cases[] = {
        {{300, 200}, {100, 50}, {-1920, 0}, {-1820, 50, -1620, 200}},
        {{10, 10}, {20, 30}, {0, 0}, {10, 10, 20, 30}}, // not the band's 21 and 31
        {{300, 50}, {100, 200}, {0, -1080}, {100, -1030, 300, -880}},
        {{40, 40}, {40, 40}, {-1920, -1080}, {-1880, -1040, -1880, -1040}}, // empty
    };
    for (const auto& [anchor, current, origin, rect] : cases)
        EXPECT_EQ(HandOffRect(anchor, current, origin), rect) << ::testing::PrintToString(anchor);
}

} // namespace
