#include "preview/geometry.h"
#include "preview/input.h"
#include "preview/menu.h"
#include "preview/zoom.h"

#include <vector>

#include "res/resource.h"
#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

TEST(PreviewTrackSizes, BetweenTheOverlaysNeedAndTheWholeSourceAtZoom) {
    // The overlay's need, 0 read as 96: 3 × 30 + 2 × (2 + 4 + 6); at 144, 3 × 45 + 2 × (3 + 6 + 9);
    // at 120 each term rounded on its own, 3 × 38 + 2 × (3 + 5 + 8); at 1 each at least a pixel.
    const std::pair<uint32_t, int32_t> widths[] = {{0, 114}, {144, 171}, {120, 146}, {1, 9}};
    ExpectRows(widths, OverlayMinWidth);
    const Rect client{0, 0, 800, 600}, region{0, 0, 300, 200}, wide{0, 0, 1000000000, 30000000};
    // source client area, region, zoom, dpi, minimum and maximum track size with a frame of 6 × 4
    const std::tuple<Rect, Rect, int32_t, uint32_t, std::pair<Point, Point>> cases[] = {
        {client, {10, 10, 310, 210}, 100, 0, {{120, 104}, {806, 604}}}, // 0 is 96: 114 × 100
        {client, region, 100, 144, {{177, 154}, {806, 604}}},           // 171 × 150
        {client, {0, 0, 50, 40}, 100, 96, {{56, 44}, {806, 604}}},      // a small region
        {client, {5, 5, 5, 5}, 100, 96, {{7, 5}, {806, 604}}},          // an empty one
        {{0, 0, 333, 101}, {0, 0, 300, 100}, 150, 96, {{120, 104}, {505, 155}}}, // truncated
        // Degenerate inputs leave only the frame as maximum.
        {client, region, -50, 96, {{120, 104}, {6, 4}}},
        {{800, 600, 0, 0}, region, 100, 96, {{120, 104}, {6, 4}}},
        // The product is taken in 64 bits and limited to the largest window size.
        {wide, region, 400, 96, {{120, 104}, {kMax, 120000004}}},
    };
    ExpectRows(cases, [](Rect sourceClient, Rect sourceRect, int32_t zoom, uint32_t dpi) {
        const TrackSizes sizes = ComputeTrackSizes(6, 4, sourceClient, sourceRect, zoom, dpi);
        return std::make_pair(sizes.minTrackSize, sizes.maxTrackSize);
    });
    EXPECT_EQ(MinTrackSizeWithinMax({120, 104}, {56, 604}), (Point{56, 104}));
}

// What the user sees: the client area of the new window lies exactly over the region, on both
// frames. The end-to-end placement scenario sees it at 96 DPI on both; here the frames come from
// AdjustWindowRectEx under the rig at 144 (a 4-pixel sizing border around a 100 × 100 probe and
// around an empty rectangle).
TEST(PreviewPlacement, ClientAreaCoversTheRegionExactly) {
    const Rect probe{-4, -4, 104, 104}, empty{-4, -4, 4, 4};
    // Windows 10: the custom frame's client area; Windows 7: the standard frame, as the system
    // adjusts it.
    const FrameMetrics custom = ComputeFrameMetrics(probe, empty, true);
    const FrameMetrics standard = ComputeFrameMetrics(probe, empty, false);
    EXPECT_EQ(standard.resizeBorder, Rect{});
    for (const Rect& region : {Rect{50, 60, 350, 260}, Rect{0, 0, 1, 1}, Rect{-300, -200, 17, 5}}) {
        SCOPED_TRACE(::testing::PrintToString(region));
        const PreviewPlacement c = PlacePreview(region, custom, true);
        const Rect customWindow{c.origin.x, c.origin.y, c.origin.x + c.width,
                                c.origin.y + c.height};
        EXPECT_EQ(CustomFrameClientRect(customWindow, custom.resizeBorder), region);
        const PreviewPlacement s = PlacePreview(region, standard, false);
        EXPECT_EQ((Rect{s.origin.x - empty.left, s.origin.y - empty.top,
                        s.origin.x + s.width - empty.right, s.origin.y + s.height - empty.bottom}),
                  region);
    }
    // A thick top (as a caption would give) becomes the custom frame's 1-pixel edge, and stays
    // the top of its resize border.
    const FrameMetrics tall = ComputeFrameMetrics({-3, -26, 103, 103}, {-3, -26, 3, 3}, true);
    EXPECT_EQ(tall.frameHeight, 4);
    EXPECT_EQ(tall.resizeBorder, (Rect{3, 26, 3, 3}));
    // An odd frame: the truncated half of it goes before the region.
    EXPECT_EQ(PlacePreview({0, 0, 10, 10}, {7, 5, {}}, false).origin, (Point{-3, -2}));
    // The custom frame's client edges are held within 32 bits.
    EXPECT_EQ(CustomFrameClientRect({kMax - 1, kMin, kMin, kMax}, {3, 0, 3, 3}),
              (Rect{kMax, kMin + 1, kMin, kMax - 3}));
}

std::optional<Rect> Destination(const ThumbnailMapping& m) {
    return m.mapped ? std::optional<Rect>(m.destination) : std::nullopt;
}

// Normal: the source's whole client area at zoom, shifted so that the region's corner lies on the
// preview's client origin. The region is kept as clipped even when the destination is empty.
// Maximized: the region alone, as large as the client area allows at its aspect, centred. Only
// the shell's window is addressed from the virtual screen's origin.
TEST(PreviewThumbnailMapping, NormalMaximizedAndTheDesktop) {
    const Rect client{0, 0, 800, 600};
    // region, zoom, region as clipped, destination
    const std::tuple<Rect, int32_t, std::optional<Rect>, std::optional<Rect>> cases[] = {
        {{200, 100, 500, 300}, 200, Rect{200, 100, 500, 300}, Rect{-400, -200, 1200, 1000}},
        {{33, 7, 133, 107}, 150, Rect{33, 7, 133, 107}, Rect{-49, -10, 1151, 890}}, // truncated
        {{500, 300, 200, 100}, 100, Rect{200, 100, 500, 300}, Rect{-200, -100, 600, 500}},
        {{800, 0, 900, 100}, 100, std::nullopt, std::nullopt},
        {{0, 0, 10, 10}, 0, Rect{0, 0, 10, 10}, std::nullopt},
    };
    for (const auto& [region, zoom, clipped, destination] : cases) {
        const ThumbnailMapping m = MapThumbnail({client, region, zoom, false, {}});
        EXPECT_EQ(m.clippedSourceRect, clipped) << ::testing::PrintToString(region);
        EXPECT_EQ(Destination(m), destination) << ::testing::PrintToString(region);
        EXPECT_EQ(m.source, m.mapped ? client : Rect{});
    }
    // A reversed client area is empty, not normalised.
    EXPECT_FALSE(
        MapThumbnail({{800, 600, 0, 0}, {0, 0, 10, 10}, 100, false, {}}).clippedSourceRect);
    // What does not fit is held at the ends of the 32-bit range.
    const Rect huge{0, 0, kMax, kMax}, far{2000000000, 1000000000, 2000000100, 1000000100};
    EXPECT_EQ(MapThumbnail({huge, far, 400, false, {}}).destination,
              (Rect{kMin, kMin, 589934588, kMax}));
    const Rect source{0, 0, 2000000000, 2000000000}, wide{0, 0, 1000, 500};
    const Rect offset{10, 20, 1010, 520}, half{0, 0, 2000000000, 1000000000}, some{0, 0, 10, 10};
    // region, preview client area, region as clipped and shown, destination
    const std::tuple<Rect, std::optional<Rect>, Rect, std::optional<Rect>> maximized[] = {
        {{100, 100, 500, 200}, offset, {100, 100, 500, 200}, Rect{10, 145, 1010, 395}},
        {{0, 0, 100, 400}, wide, {0, 0, 100, 400}, Rect{437, 0, 562, 500}}, // odd margin right
        {{0, 0, 4000, 1}, Rect{0, 0, 100, 100}, {0, 0, 4000, 1}, Rect{0, 49, 100, 50}}, // 1 high
        {{-100, -200, 100, 200}, wide, {0, 0, 100, 200}, Rect{375, 0, 625, 500}}, // clip first
        {half, source, half, Rect{0, 500000000, 2000000000, 1500000000}}, // 2e9 × 2e9: 64 bits
        {some, std::nullopt, some, std::nullopt}, // the client area could not be read
        {some, Rect{5, 5, 5, 50}, some, std::nullopt},
    };
    for (const auto& [region, preview, shown, destination] : maximized) {
        const ThumbnailMapping m = MapThumbnail({source, region, 100, true, preview});
        EXPECT_EQ(m.clippedSourceRect, shown) << ::testing::PrintToString(region);
        EXPECT_EQ(Destination(m), destination) << ::testing::PrintToString(region);
        EXPECT_EQ(m.source, m.mapped ? shown : Rect{});
    }
    const Rect desktop{0, 0, 3840, 1080}, region{100, 50, 400, 250};
    // maximized, the shell's window, destination, source
    const std::tuple<bool, bool, Rect, Rect> desktops[] = {
        {false, true, {-100, -50, 3740, 1030}, {1920, 200, 5760, 1280}},
        {true, true, {0, 0, 300, 200}, {2020, 250, 2320, 450}},
        {false, false, {-100, -50, 3740, 1030}, desktop},
    };
    for (const auto& [isMaximized, shell, destination, shown] : desktops) {
        const ThumbnailMapping m = MapThumbnail(
            {desktop, region, 100, isMaximized, Rect{0, 0, 300, 200}, shell, Point{-1920, -200}});
        EXPECT_EQ(Destination(m), destination) << isMaximized << shell;
        EXPECT_EQ(m.source, shown) << isMaximized << shell;
    }
}

TEST(PreviewZoom, StepsMinimumSizesAndArrowPan) {
    // zoom, steps (in when positive), minimum zoom, new zoom: in rounds down to a step, out stops
    // at the minimum; the last: 20 × steps in 64 bits
    const std::tuple<int32_t, int32_t, int32_t, int32_t> steps[] = {
        {100, 1, 0, 120},  {400, 1, 0, 400},  {30, 2, 0, 60},   {100, -1, 60, 80},
        {110, -1, 60, 90}, {100, -3, 60, 60}, {50, -1, 60, 50}, {kMax, kMin, 20, 20}};
    ExpectRows(steps, [](int32_t zoom, int32_t by, int32_t minimum) {
        return by > 0 ? ZoomInFrom(zoom, by) : ZoomOutFrom(zoom, by, minimum);
    });
    // The smallest step that still fills the minimum client area: minimum track size with a
    // frame of 6 × 4, region, zoom
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
    ExpectRows(cases,
               [](Point minTrack, Rect region) { return MinimumZoom(minTrack, 6, 4, region); });
    EXPECT_EQ(MinimumZoom({kMax, kMax}, kMin, kMin, {0, 0, 1, 1}), 400); // 64-bit minimum
    // The window for the region, and the region for the client area: region, zoom, window size
    const std::tuple<Rect, int32_t, Point> windows[] = {
        {{0, 0, 333, 101}, 150, {505, 155}}, // truncated
        {{kMin, kMin, kMax, kMax}, 400, {kMax, kMax}},
        {{kMax, kMax, kMin, kMin}, 400, {kMin, kMin}},
    };
    ExpectRows(windows,
               [](Rect region, int32_t zoom) { return ZoomedWindowSize(region, zoom, 6, 4); });
    EXPECT_EQ(SourceSizeAtZoom(333, 101, 150), (Point{222, 67}));
    EXPECT_EQ(SourceSizeAtZoom(kMax, 7, 1), (Point{kMax, 700}));
    // Arrow keys pan ten source pixels at the zoom, truncated.
    const std::pair<int32_t, int32_t> arrows[] = {{100, 10}, {150, 15}, {25, 2}, {kMax, 214748364}};
    ExpectRows(arrows, ArrowPanDistance);
}

TEST(PreviewPanAndResize, BySourcePixelsWithinTheSourceClientArea) {
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
    ExpectRows(cases, [&](Rect from, int32_t dx, int32_t dy, int32_t zoom) {
        return PanRect(from, dx, dy, zoom, bounds);
    });
    // The region is 300 × 200 at 200 %: dragging an edge 40 preview pixels out adds 20 source
    // pixels on that side. Each corner moves its two edges and no other.
    const Rect cur{200, 100, 500, 300}, corner{0, 0, 300, 200}, huge{kMin, 0, kMax, 10};
    const Rect atMin{kMin, 0, kMin + 10, 10}, small{100, 0, 110, 10}, client{0, 0, 800, 600};
    // current, new width and height, from the left, from the top, resized, bounds
    const std::tuple<Rect, int32_t, int32_t, bool, bool, std::optional<Rect>, Rect> resizes[] = {
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
    for (const auto& [current, w, h, fromLeft, fromTop, resized, within] : resizes) {
        Rect out{1, 2, 3, 4};
        EXPECT_EQ(ResizeSourceRect(current, within, w, h, fromLeft, fromTop, &out),
                  resized.has_value());
        EXPECT_EQ(out, resized.value_or(Rect{1, 2, 3, 4})) // untouched when false
            << ::testing::PrintToString(current) << " to " << w << " x " << h;
    }
}

// A frame of 8 pixels with a 31-pixel caption, of which 7 pixels left, right and below are
// invisible (or 8 on the left, uneven): the visible window is centred in the work area and may
// not leave it.
TEST(PreviewFit, RegionAsLargeAsTheWorkAreaAllowsCentredAndSizesAtTheAspect) {
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
    // The largest size at the aspect, each side at least 1: w, h, maxW, maxH, fitted (0 × 0:
    // none)
    const std::tuple<int32_t, int32_t, int32_t, int32_t, Point> sizes[] = {
        {3, 1, 10, 10, {10, 3}},
        {1, 1000000, 10, 10, {1, 10}},
        {1000000, 1, 10, 10, {10, 1}},
        {kMax, 2, kMax, kMax, {kMax, 2}},
        {3, kMax, kMax, kMax, {3, kMax}},
        {0, 1, 1, 1, {}},
        {1, 1, 1, 0, {}},
        {1, -5, 1, 1, {}},
        {1, 1, kMin, 1, {}}};
    ExpectRows(sizes, [](int32_t w, int32_t h, int32_t maxW, int32_t maxH) {
        Point out{0, 0};
        return FitSizeKeepingAspect(w, h, maxW, maxH, &out) ? out : Point{0, 0};
    });
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

// The menu's labels in order (0: a separator) and its bold default, the double-click's command.
// Maximized, the maximize item reads "Restore Preview" and keeps its command; "Close All" is there
// only while several previews may be open.
TEST(PreviewMenu, ItemsInOrderTheRestoreLabelCloseAllAndTheDefault) {
    using Labels = std::vector<uint32_t>;
    const Labels items{
        IDM_NEW_PREVIEW, 0, IDM_BRING_TO_FRONT, 0, IDM_MAXIMIZE,     0, IDM_ZOOM_IN, IDM_ZOOM_OUT,
        IDM_ACTUAL_SIZE, 0, IDM_OPTIONS,        0, IDM_CLOSE_PREVIEW};
    Labels all = items, restore = items;
    all.push_back(IDM_CLOSE_ALL);
    restore[4] = IDM_RESTORE;
    // maximized, several previews, double-click action; labels, default
    const std::tuple<bool, bool, uint32_t, std::pair<Labels, uint32_t>> cases[] = {
        {false, true, IDM_MAXIMIZE, {all, IDM_MAXIMIZE}},
        {false, false, IDM_BRING_TO_FRONT, {items, IDM_BRING_TO_FRONT}},
        {true, false, IDM_MAXIMIZE, {restore, IDM_MAXIMIZE}},
    };
    ExpectRows(cases, [](bool maximized, bool several, uint32_t dblAction) {
        const PreviewMenu menu = BuildPreviewMenu(maximized, several, dblAction);
        Labels labels;
        for (size_t i = 0; i < menu.count; ++i) {
            const PreviewMenuItem& item = menu.items[i];
            EXPECT_EQ(item.id, item.labelId == IDM_RESTORE ? uint32_t(IDM_MAXIMIZE) : item.labelId);
            labels.push_back(item.labelId);
        }
        return std::make_pair(labels, menu.defaultId);
    });
}

} // namespace
