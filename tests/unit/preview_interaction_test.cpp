#include <vector>

#include "preview/input.h"
#include "preview/menu.h"
#include "preview/zoom.h"
#include "res/resource.h"

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

TEST(PreviewZoomSteps, InRoundsDownToAStepOutStopsAtTheMinimum) {
    // zoom, steps (in when positive), minimum zoom, new zoom; the last: 20 × steps in 64 bits
    const int32_t cases[][4] = {{100, 1, 0, 120},  {390, 1, 0, 400},    {400, 1, 0, 400},
                                {100, 3, 0, 160},  {30, 2, 0, 60},      {100, -1, 60, 80},
                                {110, -1, 60, 90}, {140, -3, 60, 80},   {100, -3, 60, 60},
                                {50, -1, 60, 50},  {kMax, kMin, 20, 20}};
    for (const auto& [zoom, steps, minimum, expected] : cases)
        EXPECT_EQ(steps > 0 ? ZoomInFrom(zoom, steps) : ZoomOutFrom(zoom, steps, minimum), expected)
            << zoom << " by " << steps;
}

TEST(PreviewMinimumZoom, SmallestStepThatStillFillsTheMinimumClientArea) {
    // minimum track size with a frame of 6 × 4, region, zoom
    const std::tuple<Point, Rect, std::optional<int32_t>> cases[] = {
        {{120, 104}, {10, 10, 310, 210}, 60},         // height decides: 38 and 50
        {{120, 104}, {0, 0, 100, 300}, 120},          // width decides: 114 and 34
        {{56, 44}, {0, 0, 50, 40}, 100},              // region as large as the minimum
        {{66, 44}, {0, 0, 300, 200}, 20},             // exactly one step
        {{67, 44}, {0, 0, 300, 200}, 40},             // just over a step rounds up
        {{0, 0}, {0, 0, 300, 4}, 40},                 // frame wider than the minimum: a pixel
        {{120, 104}, {0, 0, 10, 10}, 400},            // at most 400
        {{120, 104}, {5, 5, 5, 50}, std::nullopt},    // empty region
        {{kMax, kMax}, {kMin, kMin, kMax, kMax}, 60}, // 64-bit width
    };
    for (const auto& [minTrack, region, zoom] : cases)
        EXPECT_EQ(MinimumZoom(minTrack, 6, 4, region), zoom) << ::testing::PrintToString(region);
    EXPECT_EQ(MinimumZoom({kMax, kMax}, kMin, kMin, {0, 0, 1, 1}), 400); // 64-bit minimum
}

TEST(PreviewZoomSizes, WindowForTheRegionAndRegionForTheClientArea) {
    // region, zoom, window size with a frame of 6 × 4
    const std::tuple<Rect, int32_t, Point> windows[] = {
        {{0, 0, 333, 101}, 150, {505, 155}}, // truncated
        {{kMin, kMin, kMax, kMax}, 400, {kMax, kMax}},
        {{kMax, kMax, kMin, kMin}, 400, {kMin, kMin}},
    };
    for (const auto& [region, zoom, size] : windows)
        EXPECT_EQ(ZoomedWindowSize(region, zoom, 6, 4), size) << ::testing::PrintToString(region);
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
    // pixels on that side. Each corner moves its two edges and no other.
    const Rect cur{200, 100, 500, 300}, corner{0, 0, 300, 200}, huge{kMin, 0, kMax, 10};
    const Rect atMin{kMin, 0, kMin + 10, 10}, small{100, 0, 110, 10}, client{0, 0, 800, 600};
    // current, new width and height, from the left, from the top, resized, bounds
    const std::tuple<Rect, int32_t, int32_t, bool, bool, std::optional<Rect>, Rect> cases[] = {
        {cur, 320, 220, true, true, Rect{180, 80, 500, 300}, client},
        {cur, 320, 220, false, true, Rect{200, 80, 520, 300}, client},
        {cur, 320, 220, true, false, Rect{180, 100, 500, 320}, client},
        {cur, 320, 220, false, false, Rect{200, 100, 520, 320}, client},
        {cur, 100, 50, true, true, Rect{400, 250, 500, 300}, client},             // shrink
        {corner, 320, 220, true, true, Rect{0, 0, 320, 220}, client},             // at the corner
        {cur, 1000, 900, true, false, Rect{0, 0, 800, 600}, client},              // at most all
        {cur, 0, -5, false, false, Rect{200, 100, 201, 101}, client},             // at least 1
        {{-100, -100, 300, 200}, 300, 200, true, true, corner, client},           // clipped first
        {cur, 320, 200, true, false, Rect{180, 100, 500, 300}, {800, 600, 0, 0}}, // reversed
        {{800, 0, 900, 100}, 300, 200, false, false, std::nullopt, client},       // outside
        {cur, 300, 200, false, false, std::nullopt, {0, 0, 0, 600}},              // empty bounds
        {atMin, kMax, 10, true, false, Rect{kMin, 0, -1, 10}, huge},
        {small, kMax, 10, false, false, Rect{0, 0, kMax, 10}, huge},
    };
    for (const auto& [current, w, h, fromLeft, fromTop, resized, bounds] : cases) {
        Rect out{1, 2, 3, 4};
        EXPECT_EQ(ResizeSourceRect(current, bounds, w, h, fromLeft, fromTop, &out),
                  resized.has_value());
        EXPECT_EQ(out, resized.value_or(Rect{1, 2, 3, 4})) // untouched when false
            << ::testing::PrintToString(current) << " to " << w << " x " << h;
    }
}

TEST(PreviewFitSize, LargestSizeAtTheAspectEachSideAtLeastOne) {
    // w, h, maxW, maxH, fitted width and height (0 when there is none)
    const int32_t cases[][6] = {{3, 1, 10, 10, 10, 3},
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
    const Rect primary{0, 0, 1920, 1040}, wide{0, 0, 400, 100};
    // work area, region, extended frame, window, zoom
    const std::tuple<Rect, Rect, std::optional<Rect>, std::optional<Rect>, int32_t> cases[] = {
        {primary, wide, ext, Rect{-7, 264, 1927, 782}, 479},                  // 4:1 fills the width
        {{-1920, -1080, 0, -40}, wide, ext, Rect{-1927, -816, 7, -298}, 479}, // left of, above
        {primary, {0, 0, 100, 400}, ext, Rect{826, 0, 1094, 1047}, 252},      // 1:4: the height
        {primary, wide, Rect{100, 69, 401, 301}, Rect{-8, 264, 1927, 782}, 479}, // uneven
        {primary, wide, std::nullopt, Rect{0, 262, 1920, 777}, 476}, // no invisible borders
        {primary, wide, Rect{}, Rect{0, 262, 1920, 777}, 476},       // empty extended frame
        {{0, 0, 0, 1040}, wide, ext, std::nullopt, 0},               // empty work area
        {primary, {5, 5, 5, 50}, ext, std::nullopt, 0},              // empty region
        {{0, 0, 1, 1040}, wide, ext, std::nullopt, 0},               // frame wider
    };
    for (const auto& [workArea, region, extended, expected, zoom] : cases) {
        const auto placement = FitToWorkArea({workArea, window, client, extended, region});
        EXPECT_EQ(placement ? std::optional<Rect>(placement->window) : std::nullopt, expected)
            << ::testing::PrintToString(workArea);
        EXPECT_EQ(placement ? placement->zoom : 0, zoom) << ::testing::PrintToString(workArea);
    }
    // Past 400 %, up to the 32-bit limit.
    const auto one =
        FitToWorkArea({{0, 0, 100000000, 100000000}, client, client, {}, {0, 0, 1, 1}});
    EXPECT_EQ(one ? one->zoom : 0, kMax);
}

TEST(PreviewWheel, WholeNotchesKeepingTheRestInTheSameDirection) {
    // deltas in turn, the notches each gives, the remainder left
    const std::tuple<std::vector<int32_t>, std::vector<int32_t>, int32_t> cases[] = {
        {{-119}, {0}, -119},       {{240}, {2}, 0},        {{30, 30, 30, 30}, {0, 0, 0, 1}, 0},
        {{100, -50}, {0, 0}, -50}, {{130, 0}, {1, 0}, 10}, {{-100, -30}, {0, -1}, -10},
        {{kMin}, {-17895697}, -8},
    };
    for (const auto& [deltas, notches, left] : cases) {
        int32_t remainder = 0;
        for (size_t i = 0; i < deltas.size(); ++i)
            EXPECT_EQ(TakeWheelNotches(&remainder, deltas[i]), notches[i]) << "turn " << i;
        EXPECT_EQ(remainder, left) << "after " << deltas.size() << " turns";
    }
}

TEST(PreviewFrameHit, CornersFirstThenEdgesThenThePictureByCtrl) {
    const Rect client{0, 0, 300, 200}, border{6, 4, 6, 6};
    using H = FrameHit;
    // Ctrl only turns the picture from a title bar into a client area that pans.
    const std::pair<Point, H> cases[] = {{{5, 3}, H::TopLeft},      {{295, 3}, H::TopRight},
                                         {{5, 195}, H::BottomLeft}, {{295, 195}, H::BottomRight},
                                         {{5, 100}, H::Left},       {{150, 3}, H::Top},
                                         {{295, 100}, H::Right},    {{150, 195}, H::Bottom},
                                         {{6, 4}, H::Caption},      {{294, 194}, H::Caption}};
    for (const auto& [point, hit] : cases) {
        SCOPED_TRACE(::testing::PrintToString(point));
        EXPECT_EQ(CustomFrameHit(point, client, border, false), hit);
        EXPECT_EQ(CustomFrameHit(point, client, border, true), hit == H::Caption ? H::Client : hit);
    }
    EXPECT_EQ(CustomFrameHit({0, 0}, {0, 0, kMin, kMin}, {0, 0, kMax, kMax}, false),
              H::BottomRight);
}

TEST(PreviewArrowPan, TenSourcePixelsAtTheZoomTruncated) {
    const std::pair<int32_t, int32_t> cases[] = {{100, 10}, {150, 15}, {25, 2}, {kMax, 214748364}};
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
