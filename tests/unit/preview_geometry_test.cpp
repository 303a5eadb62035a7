#include "preview/geometry.h"

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

TEST(PreviewOverlayMinWidth, ThreeButtonsWithTheirSpacingAtEachDpi) {
    // 0 is read as 96: 3 × 30 + 2 × (2 + 4 + 6); at 144, 3 × 45 + 2 × (3 + 6 + 9); at 120 each
    // term is rounded on its own, 3 × 38 + 2 × (3 + 5 + 8); at 1 each is at least a pixel.
    const std::pair<uint32_t, int32_t> cases[] = {{0, 114}, {144, 171}, {120, 146}, {1, 9}};
    for (const auto& [dpi, width] : cases)
        EXPECT_EQ(OverlayMinWidth(dpi), width) << "dpi " << dpi;
}

TEST(PreviewTrackSizes, BetweenTheOverlaysNeedAndTheWholeSourceAtZoom) {
    const Rect client{0, 0, 800, 600}, region{0, 0, 300, 200}, wide{0, 0, 1000000000, 30000000};
    // source client area, region, zoom, dpi, minimum and maximum track size with a frame of 6 × 4
    const std::tuple<Rect, Rect, int32_t, uint32_t, Point, Point> cases[] = {
        {client, {10, 10, 310, 210}, 100, 0, {120, 104}, {806, 604}}, // 0 is 96: 114 × 100
        {client, region, 100, 144, {177, 154}, {806, 604}},           // 171 × 150
        {client, {0, 0, 50, 40}, 100, 96, {56, 44}, {806, 604}},      // a small region
        {client, {5, 5, 5, 5}, 100, 96, {7, 5}, {806, 604}},          // an empty one
        {{0, 0, 333, 101}, {0, 0, 300, 100}, 150, 96, {120, 104}, {505, 155}}, // truncated
        // Degenerate inputs leave only the frame as maximum.
        {client, region, -50, 96, {120, 104}, {6, 4}},
        {{800, 600, 0, 0}, region, 100, 96, {120, 104}, {6, 4}},
        // The product is taken in 64 bits and limited to the largest window size.
        {wide, region, 400, 96, {120, 104}, {kMax, 120000004}},
    };
    for (const auto& [sourceClient, sourceRect, zoom, dpi, minTrack, maxTrack] : cases) {
        const TrackSizes sizes = ComputeTrackSizes(6, 4, sourceClient, sourceRect, zoom, dpi);
        EXPECT_EQ(sizes.minTrackSize, minTrack) << ::testing::PrintToString(sourceRect) << dpi;
        EXPECT_EQ(sizes.maxTrackSize, maxTrack) << ::testing::PrintToString(sourceRect) << dpi;
    }
    EXPECT_EQ(MinTrackSizeWithinMax({120, 104}, {56, 604}), (Point{56, 104}));
}

// What the user sees: the client area of the new window lies exactly over the region, on both
// frames (from AdjustWindowRectEx under the rig: a 3-pixel sizing border at 96 DPI, a 4-pixel one
// at 144, around a 100 × 100 probe and around an empty rectangle).
TEST(PreviewPlacement, ClientAreaCoversTheRegionExactly) {
    const std::pair<Rect, Rect> frames[] = {{{-3, -3, 103, 103}, {-3, -3, 3, 3}},
                                            {{-4, -4, 104, 104}, {-4, -4, 4, 4}}};
    const Rect regions[] = {{50, 60, 350, 260}, {0, 0, 1, 1}, {-300, -200, 17, 5}};
    for (const auto& [probe, empty] : frames) {
        for (const Rect& region : regions) {
            SCOPED_TRACE(::testing::PrintToString(region) + " in a frame of " +
                         ::testing::PrintToString(probe));
            // Windows 10: the custom frame's client area.
            const FrameMetrics custom = ComputeFrameMetrics(probe, empty, true);
            const PreviewPlacement c = PlacePreview(region, custom, true);
            const Rect customWindow{c.origin.x, c.origin.y, c.origin.x + c.width,
                                    c.origin.y + c.height};
            EXPECT_EQ(CustomFrameClientRect(customWindow, custom.resizeBorder), region);
            // Windows 7: the standard frame, as the system adjusts it.
            const FrameMetrics standard = ComputeFrameMetrics(probe, empty, false);
            EXPECT_EQ(standard.resizeBorder, Rect{});
            const PreviewPlacement s = PlacePreview(region, standard, false);
            EXPECT_EQ(
                (Rect{s.origin.x - empty.left, s.origin.y - empty.top,
                      s.origin.x + s.width - empty.right, s.origin.y + s.height - empty.bottom}),
                region);
        }
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
TEST(PreviewThumbnailMapping, NormalShowsTheWholeClientAreaShiftedToTheRegion) {
    const Rect client{0, 0, 800, 600};
    // region, zoom, region as clipped, destination
    const std::tuple<Rect, int32_t, std::optional<Rect>, std::optional<Rect>> cases[] = {
        {{200, 100, 500, 300}, 200, Rect{200, 100, 500, 300}, Rect{-400, -200, 1200, 1000}},
        {{33, 7, 133, 107}, 150, Rect{33, 7, 133, 107}, Rect{-49, -10, 1151, 890}}, // truncated
        {{-50, -50, 100, 100}, 100, Rect{0, 0, 100, 100}, Rect{0, 0, 800, 600}},
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
}

// Maximized: the region alone, as large as the client area allows at its aspect, centred.
TEST(PreviewThumbnailMapping, MaximizedFitsTheRegionCentred) {
    const Rect source{0, 0, 2000000000, 2000000000}, client{0, 0, 1000, 500};
    const Rect offset{10, 20, 1010, 520}, half{0, 0, 2000000000, 1000000000}, some{0, 0, 10, 10};
    // region, preview client area, region as clipped and shown, destination
    const std::tuple<Rect, std::optional<Rect>, Rect, std::optional<Rect>> cases[] = {
        {{100, 100, 500, 200}, offset, {100, 100, 500, 200}, Rect{10, 145, 1010, 395}},
        {{0, 0, 100, 400}, client, {0, 0, 100, 400}, Rect{437, 0, 562, 500}}, // odd margin right
        {{0, 0, 4000, 1}, Rect{0, 0, 100, 100}, {0, 0, 4000, 1}, Rect{0, 49, 100, 50}}, // 1 high
        {{-100, -200, 100, 200}, client, {0, 0, 100, 200}, Rect{375, 0, 625, 500}}, // clip first
        {half, source, half, Rect{0, 500000000, 2000000000, 1500000000}}, // 2e9 × 2e9: 64 bits
        {some, std::nullopt, some, std::nullopt}, // the client area could not be read
        {some, Rect{5, 5, 5, 50}, some, std::nullopt},
    };
    for (const auto& [region, previewClient, shown, destination] : cases) {
        const ThumbnailMapping m = MapThumbnail({source, region, 100, true, previewClient});
        EXPECT_EQ(m.clippedSourceRect, shown) << ::testing::PrintToString(region);
        EXPECT_EQ(Destination(m), destination) << ::testing::PrintToString(region);
        EXPECT_EQ(m.source, m.mapped ? shown : Rect{});
    }
}

// Only the shell's window is addressed from the virtual screen's origin.
TEST(PreviewThumbnailMapping, DesktopSourceIsShiftedByTheVirtualScreenOrigin) {
    const Rect desktop{0, 0, 3840, 1080}, region{100, 50, 400, 250};
    // maximized, the shell's window, destination, source
    const std::tuple<bool, bool, Rect, Rect> cases[] = {
        {false, true, {-100, -50, 3740, 1030}, {1920, 200, 5760, 1280}},
        {true, true, {0, 0, 300, 200}, {2020, 250, 2320, 450}},
        {false, false, {-100, -50, 3740, 1030}, desktop},
    };
    for (const auto& [maximized, shell, destination, source] : cases) {
        const ThumbnailMapping m = MapThumbnail(
            {desktop, region, 100, maximized, Rect{0, 0, 300, 200}, shell, Point{-1920, -200}});
        EXPECT_EQ(Destination(m), destination) << maximized << shell;
        EXPECT_EQ(m.source, source) << maximized << shell;
    }
}

} // namespace
