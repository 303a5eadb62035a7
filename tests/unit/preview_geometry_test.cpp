#include "preview/geometry.h"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/printers.h"

namespace lumetta {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// The preview's frame as AdjustWindowRectEx reports it under the rig: a 3-pixel sizing border at
// 96 DPI and a 4-pixel one at 144 DPI, around a 100 × 100 probe and around an empty rectangle.
const Rect kProbe96{-3, -3, 103, 103};
const Rect kEmpty96{-3, -3, 3, 3};
const Rect kProbe144{-4, -4, 104, 104};
const Rect kEmpty144{-4, -4, 4, 4};

TEST(PreviewOverlayMinWidth, ThreeButtonsWithTheirSpacingAtEachDpi) {
    const struct {
        uint32_t dpi;
        int32_t width;
    } cases[] = {
        {0, 114},           // 0 is read as 96
        {96, 114},          // 3 × 30 + 2 × (2 + 4 + 6)
        {144, 171},         // 3 × 45 + 2 × (3 + 6 + 9)
        {120, 146},         // each term rounded on its own: 3 × 38 + 2 × (3 + 5 + 8)
        {192, 228}, {1, 9}, // every term is at least one pixel: 3 × 1 + 2 × 3
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OverlayMinWidth(c.dpi), c.width) << "dpi " << c.dpi;
    }
}

TEST(PreviewFrameMetrics, FromTheSystemsAdjustment) {
    const struct {
        const char* name;
        Rect probe, empty;
        bool customFrame;
        FrameMetrics expected;
    } cases[] = {
        // Windows 7: the standard thick frame, no resize border of the program's own.
        {"standard 96", kProbe96, kEmpty96, false, {6, 6, {0, 0, 0, 0}}},
        {"standard 144", kProbe144, kEmpty144, false, {8, 8, {0, 0, 0, 0}}},
        // Windows 10: the top border becomes the 1-pixel edge, which is part of the frame.
        {"custom 96", kProbe96, kEmpty96, true, {6, 4, {3, 3, 3, 3}}},
        {"custom 144", kProbe144, kEmpty144, true, {8, 5, {4, 4, 4, 4}}},
        // A frame with a thick top (as a caption would give) loses it on the custom frame only.
        {"tall top standard", {-3, -26, 103, 103}, {-3, -26, 3, 3}, false, {6, 29, {0, 0, 0, 0}}},
        {"tall top custom", {-3, -26, 103, 103}, {-3, -26, 3, 3}, true, {6, 4, {3, 26, 3, 3}}},
        // No frame at all (a failed adjustment leaves the rectangles as they were).
        {"unadjusted", {0, 0, 100, 100}, {0, 0, 0, 0}, false, {0, 0, {0, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FrameMetrics m = ComputeFrameMetrics(c.probe, c.empty, c.customFrame);
        EXPECT_EQ(m.frameWidth, c.expected.frameWidth);
        EXPECT_EQ(m.frameHeight, c.expected.frameHeight);
        EXPECT_EQ(m.resizeBorder, c.expected.resizeBorder);
    }
}

TEST(PreviewTrackSizes, BetweenTheOverlaysNeedAndTheWholeSourceAtZoom) {
    const Rect client800x600{0, 0, 800, 600};
    const struct {
        const char* name;
        int32_t frameWidth, frameHeight;
        Rect sourceClient, sourceRect;
        int32_t zoom;
        uint32_t dpi;
        Point minTrack, maxTrack;
    } cases[] = {
        // At 96 DPI a 300 × 200 region has a minimum client area of 114 × 100.
        {"96 dpi", 6, 4, client800x600, {10, 10, 310, 210}, 100, 96, {120, 104}, {806, 604}},
        {"dpi 0 is 96", 6, 4, client800x600, {10, 10, 310, 210}, 100, 0, {120, 104}, {806, 604}},
        // A region smaller than that is its own minimum.
        {"small region", 6, 4, client800x600, {0, 0, 50, 40}, 100, 96, {56, 44}, {806, 604}},
        // The maximum is the whole client area at zoom: 1600 × 1200 at 200 %.
        {"zoom 200", 6, 4, client800x600, {0, 0, 300, 200}, 200, 96, {120, 104}, {1606, 1204}},
        {"zoom 150 truncates",
         6,
         4,
         {0, 0, 333, 101},
         {0, 0, 300, 100},
         150,
         96,
         {120, 104},
         {505, 155}},
        // At 144 DPI: 150 × 150, widened to the overlay's 171.
        {"144 dpi", 8, 5, client800x600, {0, 0, 300, 200}, 100, 144, {179, 155}, {808, 605}},
        {"144 dpi narrow", 8, 5, client800x600, {0, 0, 120, 60}, 100, 144, {128, 65}, {808, 605}},
        // Degenerate inputs keep at least one client pixel and only the frame as maximum.
        {"empty region", 6, 4, client800x600, {5, 5, 5, 5}, 100, 96, {7, 5}, {806, 604}},
        {"zoom 0", 6, 4, client800x600, {0, 0, 300, 200}, 0, 96, {120, 104}, {6, 4}},
        {"empty client", 6, 4, {0, 0, 0, 0}, {0, 0, 300, 200}, 100, 96, {120, 104}, {6, 4}},
        // The product is taken in 64 bits and limited to the largest window size.
        {"64-bit product",
         6,
         4,
         {0, 0, 1000000000, 30000000},
         {0, 0, 300, 200},
         400,
         96,
         {120, 104},
         {kMax, 120000004}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TrackSizes sizes = ComputeTrackSizes(c.frameWidth, c.frameHeight, c.sourceClient,
                                                   c.sourceRect, c.zoom, c.dpi);
        EXPECT_EQ(sizes.minTrackSize, c.minTrack);
        EXPECT_EQ(sizes.maxTrackSize, c.maxTrack);
    }
}

TEST(PreviewTrackSizes, MinimumHandedToTheSystemNeverExceedsTheMaximum) {
    EXPECT_EQ(MinTrackSizeWithinMax({120, 104}, {806, 604}), (Point{120, 104}));
    EXPECT_EQ(MinTrackSizeWithinMax({120, 104}, {56, 604}), (Point{56, 104}));
    EXPECT_EQ(MinTrackSizeWithinMax({120, 104}, {806, 44}), (Point{120, 44}));
}

TEST(PreviewCustomFrame, ClientAreaIsInsideTheEdgeAndTheResizeBorder) {
    EXPECT_EQ(CustomFrameClientRect({100, 200, 306, 404}, {3, 3, 3, 3}),
              (Rect{103, 201, 303, 401}));
    // The top member of the border is for the hit test; the frame's top is always one pixel.
    EXPECT_EQ(CustomFrameClientRect({-50, -60, 50, 60}, {4, 9, 5, 6}), (Rect{-46, -59, 45, 54}));
    EXPECT_EQ(CustomFrameClientRect({kMin, kMin, kMax, kMax}, {3, 3, 3, 3}),
              (Rect{kMin + 3, kMin + 1, kMax - 3, kMax - 3}));
}

TEST(PreviewPlacement, WindowGoesAroundTheRegion) {
    const FrameMetrics standard = ComputeFrameMetrics(kProbe96, kEmpty96, false);
    const FrameMetrics custom = ComputeFrameMetrics(kProbe96, kEmpty96, true);
    const struct {
        const char* name;
        Rect sourceRect;
        FrameMetrics frame;
        bool customFrame;
        PreviewPlacement expected;
    } cases[] = {
        {"standard", {50, 60, 350, 260}, standard, false, {{47, 57}, 306, 206}},
        // On the custom frame only the 1-pixel edge lies above the region.
        {"custom", {50, 60, 350, 260}, custom, true, {{47, 59}, 306, 204}},
        {"negative origin", {-10, -20, 90, 80}, standard, false, {{-13, -23}, 106, 106}},
        // Odd frames: half of it, truncated, goes before the region.
        {"odd frame", {0, 0, 10, 10}, {7, 5, {}}, false, {{-3, -2}, 17, 15}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PreviewPlacement p = PlacePreview(c.sourceRect, c.frame, c.customFrame);
        EXPECT_EQ(p.origin, c.expected.origin);
        EXPECT_EQ(p.width, c.expected.width);
        EXPECT_EQ(p.height, c.expected.height);
    }
}

// What the user sees: the client area of the new window lies exactly over the region, on both
// frames and at both DPIs.
TEST(PreviewPlacement, ClientAreaCoversTheRegionExactly) {
    const struct { Rect probe, empty; } frames[] = {{kProbe96, kEmpty96}, {kProbe144, kEmpty144}};
    const Rect regions[] = {{50, 60, 350, 260}, {0, 0, 1, 1}, {-300, -200, 17, 5}};
    for (const auto& f : frames) {
        for (const Rect& region : regions) {
            SCOPED_TRACE(::testing::PrintToString(region) + " in a frame of " +
                         ::testing::PrintToString(f.probe));
            // Windows 10: the custom frame's client area.
            const FrameMetrics custom = ComputeFrameMetrics(f.probe, f.empty, true);
            const PreviewPlacement c = PlacePreview(region, custom, true);
            const Rect customWindow{c.origin.x, c.origin.y, c.origin.x + c.width,
                                    c.origin.y + c.height};
            EXPECT_EQ(CustomFrameClientRect(customWindow, custom.resizeBorder), region);
            // Windows 7: the standard frame, as the system adjusts it.
            const FrameMetrics standard = ComputeFrameMetrics(f.probe, f.empty, false);
            const PreviewPlacement s = PlacePreview(region, standard, false);
            const Rect standardClient{s.origin.x - f.empty.left, s.origin.y - f.empty.top,
                                      s.origin.x + s.width - f.empty.right,
                                      s.origin.y + s.height - f.empty.bottom};
            EXPECT_EQ(standardClient, region);
        }
    }
}

struct MappingCase {
    const char* name;
    ThumbnailInput input;
    bool mapped;
    Rect destination, source;
    std::optional<Rect> clipped;
};

ThumbnailInput Normal(Rect sourceClient, Rect sourceRect, int32_t zoom) {
    ThumbnailInput in;
    in.sourceClientRect = sourceClient;
    in.sourceRect = sourceRect;
    in.zoom = zoom;
    return in;
}

ThumbnailInput Maximized(Rect sourceClient, Rect sourceRect, std::optional<Rect> client) {
    ThumbnailInput in = Normal(sourceClient, sourceRect, 100);
    in.maximized = true;
    in.previewClientRect = client;
    return in;
}

ThumbnailInput Shell(ThumbnailInput in, Point origin) {
    in.sourceIsShell = true;
    in.virtualScreenOrigin = origin;
    return in;
}

ThumbnailInput NotShell(ThumbnailInput in, Point origin) {
    in.virtualScreenOrigin = origin;
    return in;
}

void ExpectMapping(const MappingCase& c) {
    SCOPED_TRACE(c.name);
    const ThumbnailMapping m = MapThumbnail(c.input);
    EXPECT_EQ(m.mapped, c.mapped);
    EXPECT_EQ(m.clippedSourceRect, c.clipped);
    if (c.mapped && m.mapped) {
        EXPECT_EQ(m.destination, c.destination);
        EXPECT_EQ(m.source, c.source);
    }
}

TEST(PreviewThumbnailMapping, NormalShowsTheWholeClientAreaShiftedToTheRegion) {
    const Rect client{0, 0, 800, 600};
    const MappingCase cases[] = {
        {"actual size",
         Normal(client, {0, 0, 300, 200}, 100),
         true,
         {0, 0, 800, 600},
         client,
         Rect{0, 0, 300, 200}},
        // A region at (200, 100) at 200 % starts 400 and 200 pixels before the client origin.
        {"zoom 200",
         Normal(client, {200, 100, 500, 300}, 200),
         true,
         {-400, -200, 1200, 1000},
         client,
         Rect{200, 100, 500, 300}},
        // Products truncate toward zero before the sign is applied.
        {"zoom 150",
         Normal(client, {33, 7, 133, 107}, 150),
         true,
         {-49, -10, 1151, 890},
         client,
         Rect{33, 7, 133, 107}},
        {"zoom 1",
         Normal(client, {250, 150, 260, 160}, 1),
         true,
         {-2, -1, 6, 5},
         client,
         Rect{250, 150, 260, 160}},
        // The region is kept inside the client area, reversed corners normalised.
        {"clipped",
         Normal(client, {-50, -50, 100, 100}, 100),
         true,
         {0, 0, 800, 600},
         client,
         Rect{0, 0, 100, 100}},
        {"reversed",
         Normal(client, {500, 300, 200, 100}, 100),
         true,
         {-200, -100, 600, 500},
         client,
         Rect{200, 100, 500, 300}},
        // 64-bit products: what does not fit is held at the ends of the 32-bit range.
        {"64-bit",
         Normal({0, 0, kMax, kMax}, {2000000000, 1000000000, 2000000100, 1000000100}, 400),
         true,
         {kMin, kMin, 589934588, kMax},
         Rect{0, 0, kMax, kMax},
         Rect{2000000000, 1000000000, 2000000100, 1000000100}},
    };
    for (const MappingCase& c : cases)
        ExpectMapping(c);
}

TEST(PreviewThumbnailMapping, MaximizedFitsTheRegionCentred) {
    const Rect source{0, 0, 4000, 4000};
    const Rect client{0, 0, 1000, 500};
    const MappingCase cases[] = {
        // Wider than the client area's aspect: letterboxed top and bottom.
        {"letterbox",
         Maximized(source, {100, 100, 500, 200}, client),
         true,
         {0, 125, 1000, 375},
         {100, 100, 500, 200},
         Rect{100, 100, 500, 200}},
        // Taller: pillarboxed left and right; the odd margin goes to the right.
        {"pillarbox",
         Maximized(source, {0, 0, 100, 400}, client),
         true,
         {437, 0, 562, 500},
         {0, 0, 100, 400},
         Rect{0, 0, 100, 400}},
        {"same aspect",
         Maximized(source, {0, 0, 200, 100}, client),
         true,
         {0, 0, 1000, 500},
         {0, 0, 200, 100},
         Rect{0, 0, 200, 100}},
        {"client off origin",
         Maximized(source, {0, 0, 200, 100}, Rect{10, 20, 1010, 520}),
         true,
         {10, 20, 1010, 520},
         {0, 0, 200, 100},
         Rect{0, 0, 200, 100}},
        // A sliver keeps one pixel of height.
        {"sliver",
         Maximized({0, 0, 10000, 10}, {0, 0, 10000, 1}, Rect{0, 0, 100, 100}),
         true,
         {0, 49, 100, 50},
         {0, 0, 10000, 1},
         Rect{0, 0, 10000, 1}},
        // 32-bit products would overflow here: 2e9 × 2e9.
        {"64-bit",
         Maximized({0, 0, 2000000000, 2000000000}, {0, 0, 2000000000, 1000000000},
                   Rect{0, 0, 2000000000, 2000000000}),
         true,
         {0, 500000000, 2000000000, 1500000000},
         {0, 0, 2000000000, 1000000000},
         Rect{0, 0, 2000000000, 1000000000}},
        // The region is clipped before it is fitted.
        {"clipped",
         Maximized({0, 0, 300, 300}, {200, -100, 400, 300}, client),
         true,
         {417, 0, 583, 500},
         {200, 0, 300, 300},
         Rect{200, 0, 300, 300}},
    };
    for (const MappingCase& c : cases)
        ExpectMapping(c);
}

TEST(PreviewThumbnailMapping, EmptyRectanglesFail) {
    const Rect client{0, 0, 800, 600};
    const MappingCase cases[] = {
        {"empty source client area",
         Normal({0, 0, 0, 600}, {0, 0, 10, 10}, 100),
         false,
         {},
         {},
         std::nullopt},
        {"region outside", Normal(client, {800, 0, 900, 100}, 100), false, {}, {}, std::nullopt},
        {"empty region", Normal(client, {10, 10, 10, 50}, 100), false, {}, {}, std::nullopt},
        // The region is kept even when the destination then turns out empty.
        {"zoom 0", Normal(client, {0, 0, 10, 10}, 0), false, {}, {}, Rect{0, 0, 10, 10}},
        {"maximized, client unreadable",
         Maximized(client, {0, 0, 10, 10}, std::nullopt),
         false,
         {},
         {},
         Rect{0, 0, 10, 10}},
        {"maximized, empty client",
         Maximized(client, {0, 0, 10, 10}, Rect{5, 5, 5, 50}),
         false,
         {},
         {},
         Rect{0, 0, 10, 10}},
    };
    for (const MappingCase& c : cases)
        ExpectMapping(c);
}

TEST(PreviewThumbnailMapping, DesktopSourceIsShiftedByTheVirtualScreenOrigin) {
    const Rect desktop{0, 0, 3840, 1080};
    const Point origin{-1920, -200};
    const MappingCase cases[] = {
        {"normal",
         Shell(Normal(desktop, {100, 50, 400, 250}, 100), origin),
         true,
         {-100, -50, 3740, 1030},
         {1920, 200, 5760, 1280},
         Rect{100, 50, 400, 250}},
        {"maximized",
         Shell(Maximized(desktop, {100, 50, 400, 250}, Rect{0, 0, 300, 200}), origin),
         true,
         {0, 0, 300, 200},
         {2020, 250, 2320, 450},
         Rect{100, 50, 400, 250}},
        {"origin at zero",
         Shell(Normal(desktop, {100, 50, 400, 250}, 100), {0, 0}),
         true,
         {-100, -50, 3740, 1030},
         desktop,
         Rect{100, 50, 400, 250}},
        // Only the shell's window is shifted.
        {"other window",
         NotShell(Normal(desktop, {100, 50, 400, 250}, 100), origin),
         true,
         {-100, -50, 3740, 1030},
         desktop,
         Rect{100, 50, 400, 250}},
    };
    for (const MappingCase& c : cases)
        ExpectMapping(c);
}

} // namespace
} // namespace lumetta
