#include <vector>

#include "preview/input.h"
#include "preview/menu.h"
#include "preview/zoom.h"
#include "res/resource.h"

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

TEST(PreviewZoomSteps, InRoundsDownToAStepOutStopsAtTheMinimum) {
    // zoom, steps, zoom in
    const std::tuple<int32_t, int32_t, int32_t> in[] = {{100, 1, 120}, {110, 1, 120}, {390, 1, 400},
                                                        {400, 1, 400}, {100, 3, 160}, {30, 2, 60}};
    for (const auto& [zoom, steps, expected] : in)
        EXPECT_EQ(ZoomInFrom(zoom, steps), expected) << zoom << " by " << steps;
    // zoom, steps, minimum zoom, zoom out
    const std::tuple<int32_t, int32_t, int32_t, int32_t> out[] = {
        {100, -1, 60, 80}, {80, -1, 60, 60},    {60, -1, 60, 60},
        {110, -1, 60, 90}, {140, -3, 60, 80},   {100, -3, 60, 60},
        {50, -1, 60, 50},  {kMax, kMin, 20, 20}}; // the last: 20 × steps in 64 bits
    for (const auto& [zoom, steps, minimum, expected] : out)
        EXPECT_EQ(ZoomOutFrom(zoom, steps, minimum), expected) << zoom << " by " << steps;
}

TEST(PreviewMinimumZoom, SmallestStepThatStillFillsTheMinimumClientArea) {
    struct Case {
        const char* what;
        Point minTrack; // with a frame of 6 × 4
        Rect sourceRect;
        std::optional<int32_t> zoom;
    } const cases[] = {
        {"96 dpi, height decides: 38 and 50", {120, 104}, {10, 10, 310, 210}, 60},
        {"width decides: 114 and 34", {120, 104}, {0, 0, 100, 300}, 120},
        {"region as large as the minimum", {56, 44}, {0, 0, 50, 40}, 100},
        {"exactly one step", {66, 44}, {0, 0, 300, 200}, 20},
        {"just over a step rounds up", {67, 44}, {0, 0, 300, 200}, 40},
        {"frame wider than the minimum: a pixel", {0, 0}, {0, 0, 300, 4}, 40},
        {"at most 400", {120, 104}, {0, 0, 10, 10}, 400},
        {"empty region", {120, 104}, {5, 5, 5, 50}, std::nullopt},
        {"huge region: 64-bit width", {kMax, kMax}, {kMin, kMin, kMax, kMax}, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MinimumZoom(c.minTrack, 6, 4, c.sourceRect), c.zoom);
    }
    EXPECT_EQ(MinimumZoom({kMax, kMax}, kMin, kMin, {0, 0, 1, 1}), 400); // 64-bit minimum
}

TEST(PreviewZoomSizes, WindowForTheRegionAndRegionForTheClientArea) {
    // region, zoom, window size with a frame of 6 × 4
    const std::tuple<Rect, int32_t, Point> windows[] = {
        {{10, 10, 310, 210}, 150, {456, 304}},
        {{0, 0, 333, 101}, 150, {505, 155}}, // truncated
        {{kMin, kMin, kMax, kMax}, 400, {kMax, kMax}},
        {{kMax, kMax, kMin, kMin}, 400, {kMin, kMin}},
    };
    for (const auto& [region, zoom, size] : windows)
        EXPECT_EQ(ZoomedWindowSize(region, zoom, 6, 4), size) << ::testing::PrintToString(region);
    EXPECT_EQ(SourceSizeAtZoom(600, 400, 200), (Point{300, 200}));
    EXPECT_EQ(SourceSizeAtZoom(333, 101, 150), (Point{222, 67}));
    EXPECT_EQ(SourceSizeAtZoom(kMax, 7, 1), (Point{kMax, 700}));
}

TEST(PreviewPan, MovesBySourcePixelsAndStopsAtTheSourcesEdges) {
    const Rect base{100, 100, 400, 300}, bounds{0, 0, 800, 600};
    // base, dx, dy, zoom, panned
    const std::tuple<Rect, int32_t, int32_t, int32_t, Rect> cases[] = {
        {base, 40, -20, 200, {120, 90, 420, 290}},
        {base, -3, 3, 200, {99, 101, 399, 301}}, // truncated towards zero
        {base, 1000, 0, 100, {500, 100, 800, 300}},
        {base, -1000, -1000, 100, {0, 0, 300, 200}},
        {base, 0, 5000, 50, {100, 400, 400, 600}},
        {{-50, 0, 900, 100}, 0, 0, 100, {-150, 0, 800, 100}}, // too wide: the right edge holds
        {base, kMax, kMin, 1, {500, 0, 800, 200}},            // 64 bits, then kept at its size
    };
    for (const auto& [from, dx, dy, zoom, panned] : cases)
        EXPECT_EQ(PanRect(from, dx, dy, zoom, bounds), panned) << dx << ", " << dy;
}

TEST(PreviewResize, TheDraggedEdgesMoveWithinTheSourceClientArea) {
    // The region is 300 × 200 at 200 %: dragging an edge 40 preview pixels out adds 20 source
    // pixels on that side.
    const Rect cur{200, 100, 500, 300}, corner{0, 0, 300, 200}, huge{kMin, 0, kMax, 10};
    const Rect atMin{kMin, 0, kMin + 10, 10}, small{100, 0, 110, 10};
    struct Case {
        const char* what;
        Rect current;
        int32_t w, h;
        bool fromLeft, fromTop;
        std::optional<Rect> resized;
        Rect bounds = {0, 0, 800, 600};
    } const cases[] = {
        {"right", cur, 320, 200, false, false, Rect{200, 100, 520, 300}},
        {"left", cur, 320, 200, true, false, Rect{180, 100, 500, 300}},
        {"bottom", cur, 300, 220, false, false, Rect{200, 100, 500, 320}},
        {"top", cur, 300, 220, false, true, Rect{200, 80, 500, 300}},
        {"top left", cur, 320, 220, true, true, Rect{180, 80, 500, 300}},
        {"top right", cur, 320, 220, false, true, Rect{200, 80, 520, 300}},
        {"bottom left", cur, 320, 220, true, false, Rect{180, 100, 500, 320}},
        {"bottom right", cur, 320, 220, false, false, Rect{200, 100, 520, 320}},
        {"shrink from the top left", cur, 100, 50, true, true, Rect{400, 250, 500, 300}},
        {"at the client's corner", corner, 320, 220, true, true, Rect{0, 0, 320, 220}},
        {"at most the client area", cur, 1000, 900, true, false, Rect{0, 0, 800, 600}},
        {"at least a pixel", cur, 0, -5, false, false, Rect{200, 100, 201, 101}},
        {"clipped first", {-100, -100, 300, 200}, 300, 200, true, true, corner},
        {"reversed bounds", cur, 320, 200, true, false, Rect{180, 100, 500, 300}, {800, 600, 0, 0}},
        {"outside", {800, 0, 900, 100}, 300, 200, false, false, std::nullopt},
        {"empty bounds", cur, 300, 200, false, false, std::nullopt, {0, 0, 0, 600}},
        {"huge, left", atMin, kMax, 10, true, false, Rect{kMin, 0, -1, 10}, huge},
        {"huge, right", small, kMax, 10, false, false, Rect{0, 0, kMax, 10}, huge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rect out{1, 2, 3, 4};
        const bool resized =
            ResizeSourceRect(c.current, c.bounds, c.w, c.h, c.fromLeft, c.fromTop, &out);
        EXPECT_EQ(resized, c.resized.has_value());
        EXPECT_EQ(out, c.resized.value_or(Rect{1, 2, 3, 4})); // untouched when false
    }
}

TEST(PreviewFitSize, LargestSizeAtTheAspectEachSideAtLeastOne) {
    // w, h, maxW, maxH, fitted width and height (0 when there is none)
    const int32_t cases[][6] = {{400, 100, 1000, 1000, 1000, 250},
                                {100, 400, 1000, 1000, 250, 1000},
                                {3, 1, 10, 10, 10, 3},
                                {1, 1000000, 10, 10, 1, 10},
                                {1000000, 1, 10, 10, 10, 1},
                                {kMax, 2, kMax, kMax, kMax, 2},
                                {3, kMax, kMax, kMax, 3, kMax},
                                {0, 1, 1, 1, 0, 0},
                                {1, 1, 1, 0, 0, 0},
                                {1, -5, 1, 1, 0, 0},
                                {1, 1, kMin, 1, 0, 0}};
    for (const auto& [w, h, maxW, maxH, x, y] : cases) {
        Point out{0, 0};
        const bool fits = FitSizeKeepingAspect(w, h, maxW, maxH, &out);
        EXPECT_EQ(fits ? out : (Point{0, 0}), (Point{x, y}))
            << w << " x " << h << " in " << maxW << " x " << maxH;
    }
}

// A frame of 8 pixels with a 31-pixel caption, of which 7 pixels left, right and below are
// invisible (or 8 on the left, uneven): the visible window is centred in the work area and may not
// leave it.
TEST(PreviewFitToWorkArea, RegionAsLargeAsTheWorkAreaAllowsCentred) {
    const Rect window{92, 69, 408, 308}, client{100, 100, 400, 300}, ext{99, 69, 401, 301};
    const Rect uneven{100, 69, 401, 301};
    const Rect primary{0, 0, 1920, 1040}, leftAbove{-1920, -1080, 0, -40};
    const Rect wide{0, 0, 400, 100}, tall{0, 0, 100, 400};
    struct Case {
        const char* what;
        Rect workArea, sourceRect;
        std::optional<Rect> extendedFrame, window;
        int32_t zoom;
    } const cases[] = {
        {"4:1 fills the width", primary, wide, ext, Rect{-7, 264, 1927, 782}, 479},
        {"left of/above the primary", leftAbove, wide, ext, Rect{-1927, -816, 7, -298}, 479},
        {"1:4 fills the height", primary, tall, ext, Rect{826, 0, 1094, 1047}, 252},
        {"uneven invisible borders", primary, wide, uneven, Rect{-8, 264, 1927, 782}, 479},
        {"no invisible borders", primary, wide, std::nullopt, Rect{0, 262, 1920, 777}, 476},
        {"empty extended frame", primary, wide, Rect{}, Rect{0, 262, 1920, 777}, 476},
        {"empty work area", {0, 0, 0, 1040}, wide, ext, std::nullopt, 0},
        {"empty region", primary, {5, 5, 5, 50}, ext, std::nullopt, 0},
        {"frame wider", {0, 0, 1, 1040}, wide, ext, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto placement =
            FitToWorkArea({c.workArea, window, client, c.extendedFrame, c.sourceRect});
        EXPECT_EQ(placement ? std::optional<Rect>(placement->window) : std::nullopt, c.window);
        EXPECT_EQ(placement ? placement->zoom : 0, c.zoom);
    }
    // Past 400 %, up to the 32-bit limit.
    const auto one =
        FitToWorkArea({{0, 0, 100000000, 100000000}, client, client, {}, {0, 0, 1, 1}});
    EXPECT_EQ(one ? one->zoom : 0, kMax);
}

TEST(PreviewWheel, WholeNotchesKeepingTheRestInTheSameDirection) {
    struct Case {
        std::vector<int32_t> deltas, notches;
        int32_t remainder;
    } const cases[] = {
        {{-119}, {0}, -119},       {{240}, {2}, 0},        {{30, 30, 30, 30}, {0, 0, 0, 1}, 0},
        {{100, -50}, {0, 0}, -50}, {{130, 0}, {1, 0}, 10}, {{-100, -30}, {0, -1}, -10},
        {{kMin}, {-17895697}, -8},
    };
    for (const Case& c : cases) {
        int32_t remainder = 0;
        for (size_t i = 0; i < c.deltas.size(); ++i)
            EXPECT_EQ(TakeWheelNotches(&remainder, c.deltas[i]), c.notches[i]) << "turn " << i;
        EXPECT_EQ(remainder, c.remainder) << "after " << c.deltas.size() << " turns";
    }
}

TEST(PreviewFrameHit, CornersFirstThenEdgesThenThePictureByCtrl) {
    const Rect client{0, 0, 300, 200}, border{6, 4, 6, 6};
    using H = FrameHit;
    // Ctrl only turns the picture from a title bar into a client area that pans.
    const std::pair<Point, H> cases[] = {
        {{5, 3}, H::TopLeft},         {{295, 3}, H::TopRight}, {{5, 195}, H::BottomLeft},
        {{295, 195}, H::BottomRight}, {{5, 100}, H::Left},     {{150, 3}, H::Top},
        {{295, 100}, H::Right},       {{150, 195}, H::Bottom}, {{150, 100}, H::Caption},
        {{6, 4}, H::Caption},         {{294, 194}, H::Caption}};
    for (const auto& [point, hit] : cases) {
        SCOPED_TRACE(::testing::PrintToString(point));
        EXPECT_EQ(CustomFrameHit(point, client, border, false), hit);
        EXPECT_EQ(CustomFrameHit(point, client, border, true), hit == H::Caption ? H::Client : hit);
    }
    EXPECT_EQ(CustomFrameHit({0, 0}, {0, 0, kMin, kMin}, {0, 0, kMax, kMax}, false),
              H::BottomRight);
}

TEST(PreviewArrowPan, TenSourcePixelsAtTheZoomTruncated) {
    const std::pair<int32_t, int32_t> cases[] = {{100, 10}, {200, 20}, {150, 15},
                                                 {20, 2},   {25, 2},   {kMax, 214748364}};
    for (const auto& [zoom, distance] : cases)
        EXPECT_EQ(ArrowPanDistance(zoom), distance) << "zoom " << zoom;
}

TEST(PreviewMenu, ItemsLabelsAndTheDoubleClickDefault) {
    const uint32_t ids[] = {IDM_NEW_PREVIEW,    0,
                            IDM_BRING_TO_FRONT, 0,
                            IDM_MAXIMIZE,       0,
                            IDM_ZOOM_IN,        IDM_ZOOM_OUT,
                            IDM_ACTUAL_SIZE,    0,
                            IDM_OPTIONS,        0,
                            IDM_CLOSE_PREVIEW,  IDM_CLOSE_ALL};
    // maximized, several previews, double-click action
    const std::tuple<bool, bool, uint32_t> cases[] = {{false, false, IDM_MAXIMIZE},
                                                      {true, false, IDM_ACTUAL_SIZE},
                                                      {false, true, IDM_CLOSE_PREVIEW},
                                                      {true, true, IDM_NEW_PREVIEW}};
    for (const auto& [maximized, multiple, dblAction] : cases) {
        SCOPED_TRACE(::testing::Message() << maximized << multiple << dblAction);
        const PreviewMenu menu = BuildPreviewMenu(maximized, multiple, dblAction);
        ASSERT_EQ(menu.count, multiple ? 14u : 13u);
        for (size_t i = 0; i < menu.count; ++i) {
            EXPECT_EQ(menu.items[i].id, ids[i]) << "item " << i;
            EXPECT_EQ(menu.items[i].labelId, i == 4 && maximized ? IDM_RESTORE : ids[i])
                << "item " << i;
        }
        EXPECT_EQ(menu.defaultId, dblAction);
    }
}

} // namespace
