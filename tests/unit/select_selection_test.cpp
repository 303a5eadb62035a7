#include "select/selection.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "select/constants.h"
#include "tests/unit/printers.h"

namespace lumetta {
namespace {

// ---- gestures ---------------------------------------------------------------------------------

enum class Event { Move, Press, Release, Redraw };

struct Step {
    Event event;
    Point at;
};

struct GestureCase {
    const char* what;
    std::vector<Step> steps;
    ButtonOutcome lastOutcome; // of the last button event
    bool accepted;
    Point anchor;
    Point current;
};

// Runs the steps on a fresh record; a redraw only clears the pending flag, as the timer does.
SelectionWindow RunGesture(const std::vector<Step>& steps, ButtonOutcome* last) {
    SelectionWindow s{};
    ResetCorners(&s, {1920, 1080});
    *last = ButtonOutcome::Ignored;
    for (const Step& step : steps) {
        switch (step.event) {
        case Event::Move: TrackPointer(&s, step.at); break;
        case Event::Press: *last = PressLeft(&s, step.at); break;
        case Event::Release: *last = ReleaseLeft(&s, step.at); break;
        case Event::Redraw: s.redrawPending = 0; break;
        }
        if (*last == ButtonOutcome::Completed) break;
    }
    return s;
}

TEST(SelectGesture, BothWaysToSelectAndTheTenPixelRule) {
    using E = Event;
    using O = ButtonOutcome;
    const GestureCase cases[] = {
        {"press, drag, release",
         {{E::Press, {10, 10}}, {E::Move, {15, 20}}, {E::Move, {20, 30}}, {E::Release, {20, 30}}},
         O::Completed,
         true,
         {10, 10},
         {20, 30}},
        {"drag up and left",
         {{E::Press, {300, 200}}, {E::Move, {100, 50}}, {E::Release, {100, 50}}},
         O::Completed,
         true,
         {300, 200},
         {100, 50}},
        {"click, move, click",
         {{E::Press, {10, 10}}, {E::Release, {10, 10}}, {E::Move, {60, 70}}, {E::Press, {60, 70}}},
         O::Completed,
         true,
         {10, 10},
         {60, 70}},
        {"release 9 pixels away on both axes is a click",
         {{E::Press, {100, 100}}, {E::Release, {109, 109}}},
         O::Ignored,
         false,
         {100, 100},
         {100, 100}},
        {"release 9 pixels away up and left is a click",
         {{E::Press, {100, 100}}, {E::Release, {91, 91}}},
         O::Ignored,
         false,
         {100, 100},
         {100, 100}},
        {"release 10 pixels right",
         {{E::Press, {100, 100}}, {E::Release, {110, 100}}},
         O::Completed,
         true,
         {100, 100},
         {110, 100}},
        {"release 10 pixels down",
         {{E::Press, {100, 100}}, {E::Release, {100, 110}}},
         O::Completed,
         true,
         {100, 100},
         {100, 110}},
        {"release 10 pixels left",
         {{E::Press, {100, 100}}, {E::Release, {90, 105}}},
         O::Completed,
         true,
         {100, 100},
         {90, 105}},
        {"release 10 pixels up",
         {{E::Press, {100, 100}}, {E::Release, {95, 90}}},
         O::Completed,
         true,
         {100, 100},
         {95, 90}},
        {"a second press completes on the anchor itself",
         {{E::Press, {40, 40}}, {E::Release, {40, 40}}, {E::Press, {40, 40}}},
         O::Completed,
         true,
         {40, 40},
         {40, 40}},
        {"a release that comes first starts the drag",
         {{E::Release, {5, 6}}},
         O::Started,
         false,
         {5, 6},
         {5, 6}},
        {"moves before a press are ignored",
         {{E::Move, {50, 50}}, {E::Move, {60, 60}}},
         O::Ignored,
         false,
         {0, 0},
         {0, 0}},
        {"a double-click's releases do not finish (its second press is not a press)",
         {{E::Press, {30, 30}}, {E::Release, {30, 30}}, {E::Release, {31, 30}}},
         O::Ignored,
         false,
         {30, 30},
         {30, 30}},
        {"negative window coordinates",
         {{E::Press, {-20, -5}}, {E::Move, {-200, -300}}, {E::Release, {-200, -300}}},
         O::Completed,
         true,
         {-20, -5},
         {-200, -300}},
    };
    for (const GestureCase& c : cases) {
        SCOPED_TRACE(c.what);
        ButtonOutcome last;
        const SelectionWindow s = RunGesture(c.steps, &last);
        EXPECT_EQ(last, c.lastOutcome);
        EXPECT_EQ(s.accepted != 0, c.accepted);
        EXPECT_EQ(s.anchor, c.anchor);
        EXPECT_EQ(s.current, c.current);
    }
}

// ---- redraws ----------------------------------------------------------------------------------

constexpr uint32_t kDim = SELECTION_DIM_PIXEL;
constexpr uint32_t kBand = SELECTION_BAND_PIXEL;
constexpr uint32_t kWhite = SELECTION_FRAME_PIXEL;
constexpr uint32_t kHint = 0x55AA55AA; // stands in for the hint's glyphs

// A selection window over an in-memory screen, dimmed, with a hint drawn in its erase area.
struct Screen {
    std::vector<uint32_t> memory;
    SelectionWindow s{};

    Screen(int32_t width, int32_t height, Rect hint) : memory(size_t(width) * size_t(height)) {
        s.size = {width, height};
        s.screen = {reinterpret_cast<HBITMAP__*>(uintptr_t{0x2000}), memory.data(), width, height};
        FillRect32(&s.screen, kDim, nullptr);
        s.hintRect = hint;
        const Rect inside{hint.left + 10, hint.top + 10, hint.right - 10, hint.bottom - 10};
        FillRect32(&s.screen, kHint, &inside);
        s.hintShown = 1;
        ResetCorners(&s, s.size);
    }

    uint32_t At(int32_t x, int32_t y) const { return memory[PixelIndex(s.screen, x, y)]; }

    // What the screen must show during a drag once the hint is gone: dim, and the band with its
    // frame.
    uint32_t Expected(int32_t x, int32_t y) const {
        const Rect band = BandRect(s.anchor, s.current);
        const bool inside = x >= band.left && x < band.right && y >= band.top && y < band.bottom;
        if (!inside) return kDim;
        const bool edge =
            x == band.left || x == band.right - 1 || y == band.top || y == band.bottom - 1;
        return edge ? kWhite : kBand;
    }
};

bool Contains(const Rect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TEST(SelectRedraw, NothingToDoBeforeADragUnlessFull) {
    Screen sc(64, 48, {4, 30, 60, 46});
    RedrawPlan plan = PrepareRedraw(&sc.s, false);
    EXPECT_FALSE(plan.push);
    plan = PrepareRedraw(&sc.s, true);
    EXPECT_TRUE(plan.push);
    EXPECT_TRUE(plan.wholeWindow);
    EXPECT_TRUE(sc.s.hintShown); // no drag, so the hint stays
}

TEST(SelectRedraw, FirstRedrawOfADragErasesOnlyTheHint) {
    Screen sc(64, 48, {4, 20, 60, 46});
    EXPECT_EQ(sc.At(20, 33), kHint);
    PressLeft(&sc.s, {8, 8});
    const RedrawPlan plan = PrepareRedraw(&sc.s, false);
    ASSERT_TRUE(plan.push);
    EXPECT_FALSE(plan.wholeWindow);
    EXPECT_EQ(plan.dirty, (Rect{4, 20, 60, 46}));
    EXPECT_FALSE(sc.s.hintShown);
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x)
            ASSERT_EQ(sc.At(x, y), kDim) << x << ", " << y; // no band yet, no hint left
    }
    // The band appears with the first move.
    TrackPointer(&sc.s, {12, 14});
    const RedrawPlan next = PrepareRedraw(&sc.s, false);
    EXPECT_EQ(next.dirty, (Rect{8, 8, 13, 15}));
    EXPECT_EQ(sc.At(8, 8), kWhite);
    EXPECT_EQ(sc.At(10, 10), kBand);
}

TEST(SelectRedraw, AnElevenByTwentyOneBand) {
    Screen sc(64, 48, {0, 0, 0, 0});
    sc.s.hintShown = 0;
    PressLeft(&sc.s, {10, 10});
    PrepareRedraw(&sc.s, false);
    sc.s.redrawPending = 0;
    TrackPointer(&sc.s, {20, 30});
    const RedrawPlan plan = PrepareRedraw(&sc.s, false);
    EXPECT_EQ(plan.dirty, (Rect{10, 10, 21, 31}));
    EXPECT_EQ(BandRect({20, 30}, {10, 10}), (Rect{10, 10, 21, 31}));
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x)
            ASSERT_EQ(sc.At(x, y), sc.Expected(x, y)) << x << ", " << y;
    }
}

// A drag with moves coalesced in groups of every size, the band growing, shrinking and crossing
// the anchor: after each redraw the screen is exactly dim plus the current band, and every pixel
// that changed lies in the dirty rectangle pushed.
TEST(SelectRedraw, DirtyRectanglesCoverEveryChangeAcrossADrag) {
    const Point path[] = {{30, 30}, {31, 31}, {40, 35}, {50, 44}, {45, 40}, {35, 33}, {20, 10},
                          {5, 2},   {0, 0},   {63, 47}, {30, 30}, {29, 29}, {62, 1},  {1, 46},
                          {33, 31}, {30, 30}, {50, 20}, {10, 40}, {63, 0},  {0, 47}};
    const size_t groups[] = {1, 3, 1, 2, 5, 1, 4, 2};
    const Rect hint{-10, 30, 60, 58}; // reaches past the left and bottom edges
    Screen sc(64, 48, hint);
    PressLeft(&sc.s, {30, 30});
    RedrawPlan plan = PrepareRedraw(&sc.s, false);
    sc.s.redrawPending = 0;
    EXPECT_EQ(plan.dirty, (Rect{0, 30, 60, 48})) << "the hint, clipped to the window";

    size_t next = 1, redraws = 0;
    for (size_t group : groups) {
        for (size_t i = 0; i < group && next < std::size(path); ++i)
            TrackPointer(&sc.s, path[next++]);
        const std::vector<uint32_t> before = sc.memory;
        plan = PrepareRedraw(&sc.s, false);
        sc.s.redrawPending = 0;
        ++redraws;
        SCOPED_TRACE("redraw " + std::to_string(redraws));
        ASSERT_TRUE(plan.push);
        ASSERT_FALSE(plan.wholeWindow);
        for (int32_t y = 0; y < 48; ++y) {
            for (int32_t x = 0; x < 64; ++x) {
                ASSERT_EQ(sc.At(x, y), sc.Expected(x, y)) << x << ", " << y;
                if (before[PixelIndex(sc.s.screen, x, y)] != sc.At(x, y)) {
                    ASSERT_TRUE(Contains(plan.dirty, x, y))
                        << "changed outside: " << x << ", " << y;
                }
            }
        }
        // Only the old and the new band are pushed: the hint went once and for all.
        const Rect bands{std::min(BandRect(sc.s.anchor, sc.s.current).left,
                                  BandRect(sc.s.shownAnchor, sc.s.shownCurrent).left),
                         std::min(BandRect(sc.s.anchor, sc.s.current).top,
                                  BandRect(sc.s.shownAnchor, sc.s.shownCurrent).top),
                         std::max(BandRect(sc.s.anchor, sc.s.current).right,
                                  BandRect(sc.s.shownAnchor, sc.s.shownCurrent).right),
                         std::max(BandRect(sc.s.anchor, sc.s.current).bottom,
                                  BandRect(sc.s.shownAnchor, sc.s.shownCurrent).bottom)};
        EXPECT_EQ(plan.dirty, bands);
    }
    EXPECT_EQ(next, std::size(path));
}

TEST(SelectRedraw, UnchangedBandPushesNothingUnlessFull) {
    Screen sc(64, 48, {0, 40, 64, 48});
    PressLeft(&sc.s, {10, 10});
    PrepareRedraw(&sc.s, false);
    sc.s.redrawPending = 0;
    TrackPointer(&sc.s, {20, 20});
    PrepareRedraw(&sc.s, false);
    sc.s.redrawPending = 0;

    // A move back to where the pointer already was leaves the band as it is.
    TrackPointer(&sc.s, {20, 20});
    EXPECT_FALSE(PrepareRedraw(&sc.s, false).push);
    const RedrawPlan full = PrepareRedraw(&sc.s, true);
    EXPECT_TRUE(full.push);
    EXPECT_TRUE(full.wholeWindow);
    // A full redraw with changes still pushes everything.
    TrackPointer(&sc.s, {30, 30});
    EXPECT_TRUE(PrepareRedraw(&sc.s, true).wholeWindow);
    EXPECT_EQ(sc.At(30, 30), kWhite);
}

// ---- the hint ---------------------------------------------------------------------------------

TEST(SelectHint, EmSizeFollowsTheDpi) {
    EXPECT_FLOAT_EQ(HintEmSize(96), 36.0f);
    EXPECT_FLOAT_EQ(HintEmSize(120), 45.0f);
    EXPECT_FLOAT_EQ(HintEmSize(144), 54.0f);
    EXPECT_FLOAT_EQ(HintEmSize(192), 72.0f);
    EXPECT_FLOAT_EQ(HintEmSize(100), 37.5f); // not truncated to whole pixels
    EXPECT_FLOAT_EQ(HintEmSize(0), 36.0f);
}

TEST(SelectHint, SitsAtThePrimaryWorkAreasBottomRightCorner) {
    struct Case {
        const char* what;
        Rect workArea; // screen coordinates
        Point origin;  // of the virtual screen
        float textHeight;
        Rect layout; // window coordinates
    } const cases[] = {
        {"one monitor", {0, 0, 1920, 1040}, {0, 0}, 48.3f, {0, 986, 1904, 1035}},
        {"whole pixels add one", {0, 0, 1920, 1080}, {0, 0}, 49.0f, {0, 1025, 1904, 1075}},
        {"measuring failed",
         {0, 0, 1920, 1040},
         {0, 0},
         HINT_FALLBACK_HEIGHT,
         {0, 934, 1904, 1035}},
        {"a monitor left of the primary",
         {0, 0, 1920, 1040},
         {-1920, 0},
         48.3f,
         {1920, 986, 3824, 1035}},
        {"a monitor above the primary",
         {0, 40, 1280, 1024},
         {-300, -1200},
         30.9f,
         {300, 2188, 1564, 2219}},
        {"a taskbar on the left", {62, 0, 1920, 1080}, {0, 0}, 48.3f, {62, 1026, 1904, 1075}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Rect layout = HintLayoutRect(ToWindowCoordinates(c.workArea, c.origin), c.textHeight);
        EXPECT_EQ(layout, c.layout);
        // Right- and bottom-aligned text ends 16 pixels left of and 5 above the work area's
        // corner, back in screen coordinates.
        EXPECT_EQ(layout.right + c.origin.x, c.workArea.right - 16);
        EXPECT_EQ(layout.bottom + c.origin.y, c.workArea.bottom - 5);
        EXPECT_EQ(HintEraseRect(layout),
                  (Rect{layout.left - 10, layout.top - 10, layout.right + 10, layout.bottom + 10}));
    }
}

// ---- the hand-off rectangle -------------------------------------------------------------------

TEST(SelectHandOff, RectangleFromTheCornersInScreenCoordinates) {
    struct Case {
        Point anchor, current, origin;
        Rect rect;
    } const cases[] = {
        {{300, 200}, {100, 50}, {-1920, 0}, {-1820, 50, -1620, 200}},
        {{100, 50}, {300, 200}, {0, 0}, {100, 50, 300, 200}},
        {{10, 10}, {20, 30}, {0, 0}, {10, 10, 20, 30}}, // not the band's 21 and 31
        {{300, 50}, {100, 200}, {0, -1080}, {100, -1030, 300, -880}},
        {{40, 40}, {40, 40}, {-1920, -1080}, {-1880, -1040, -1880, -1040}}, // empty
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HandOffRect(c.anchor, c.current, c.origin), c.rect);
    }
}

} // namespace
} // namespace lumetta
