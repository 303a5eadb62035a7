#include "tools/dwm/mapping.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "tools/dwm/constants.h"

namespace dwmrig {

// How GoogleTest shows a rectangle in a failure.
void PrintTo(const Rect& r, std::ostream* os) {
    *os << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
}

namespace {

struct BlitCase {
    const char* what;
    Rect rcDestination, rcSource, surface, client;
    bool draw;
    Rect clip, destination, source;
};

class PlanThumbnailBlitTest : public testing::TestWithParam<BlitCase> {};

TEST_P(PlanThumbnailBlitTest, CopiesOnlyVisiblePixels) {
    const BlitCase& c = GetParam();
    const BlitPlan p = PlanThumbnailBlit(c.rcDestination, c.rcSource, c.surface, c.client);
    ASSERT_EQ(p.draw, c.draw) << c.what;
    if (!c.draw) return;
    EXPECT_EQ(p.clip, c.clip) << c.what;
    EXPECT_EQ(p.destination, c.destination) << c.what;
    EXPECT_EQ(p.source, c.source) << c.what;
}

constexpr Rect kClient{0, 0, 300, 200};

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanThumbnailBlitTest,
    testing::Values(
        BlitCase{"one to one",
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 kClient,
                 true,
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 {0, 0, 300, 200}},
        // A preview of the region at (200, 100) zoomed to 200 %: the whole 800 x 600 client area
        // mapped at twice its size, shifted so the region's corner is at the preview's origin.
        BlitCase{"zoomed and shifted",
                 {-400, -200, 1200, 1000},
                 {0, 0, 800, 600},
                 {0, 0, 800, 600},
                 kClient,
                 true,
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 {200, 100, 350, 200}},
        // 1.5 x: the last visible column comes from a source pixel that lands partly outside.
        BlitCase{"fractional scale",
                 {0, 0, 150, 150},
                 {0, 0, 100, 100},
                 {0, 0, 100, 100},
                 {0, 0, 100, 100},
                 true,
                 {0, 0, 100, 100},
                 {0, 0, 101, 101},
                 {0, 0, 67, 67}},
        BlitCase{"fractional scale cut on the left",
                 {-10, 0, 140, 150},
                 {0, 0, 100, 100},
                 {0, 0, 100, 100},
                 {0, 0, 100, 100},
                 true,
                 {0, 0, 100, 100},
                 {-1, 0, 101, 101},
                 {6, 0, 74, 67}},
        // Half size; the source rectangle reaches past the source, which has no pixels there.
        BlitCase{"source partly missing",
                 {0, 0, 100, 100},
                 {50, 50, 250, 250},
                 {0, 0, 200, 200},
                 {0, 0, 100, 100},
                 true,
                 {0, 0, 75, 75},
                 {0, 0, 75, 75},
                 {50, 50, 200, 200}},
        BlitCase{"letterboxed inside the client",
                 {10, 20, 110, 70},
                 {0, 0, 200, 100},
                 {0, 0, 200, 100},
                 {0, 0, 120, 90},
                 true,
                 {10, 20, 110, 70},
                 {10, 20, 110, 70},
                 {0, 0, 200, 100}},
        BlitCase{"window-relative source with an offset",
                 {0, 0, 50, 40},
                 {8, 30, 58, 70},
                 {0, 0, 400, 300},
                 kClient,
                 true,
                 {0, 0, 50, 40},
                 {0, 0, 50, 40},
                 {8, 30, 58, 70}},
        BlitCase{"shrunk to one pixel",
                 {5, 5, 6, 6},
                 {0, 0, 10000, 10000},
                 {0, 0, 10000, 10000},
                 kClient,
                 true,
                 {5, 5, 6, 6},
                 {5, 5, 6, 6},
                 {0, 0, 10000, 10000}},
        BlitCase{"destination below the client",
                 {0, 200, 300, 400},
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 kClient,
                 false,
                 {},
                 {},
                 {}},
        BlitCase{"source outside the surface",
                 {0, 0, 300, 200},
                 {400, 0, 700, 200},
                 {0, 0, 300, 200},
                 kClient,
                 false,
                 {},
                 {},
                 {}},
        BlitCase{"empty destination",
                 {10, 10, 10, 50},
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 kClient,
                 false,
                 {},
                 {},
                 {}},
        BlitCase{"reversed destination",
                 {300, 200, 0, 0},
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 kClient,
                 false,
                 {},
                 {},
                 {}},
        BlitCase{"reversed source",
                 {0, 0, 300, 200},
                 {300, 0, 0, 200},
                 {0, 0, 300, 200},
                 kClient,
                 false,
                 {},
                 {},
                 {}},
        BlitCase{"empty client",
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 {0, 0, 300, 200},
                 {0, 0, 0, 0},
                 false,
                 {},
                 {},
                 {}},
        BlitCase{"extreme coordinates",
                 {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                 {0, 0, 1, 1},
                 {0, 0, 1, 1},
                 kClient,
                 true,
                 {0, 0, 300, 200},
                 {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                 {0, 0, 1, 1}}));

// Whatever the input, the plan draws only inside the client and the destination rectangle, the
// copied source pixels exist, and each visible pixel shows the source pixel the exact map gives.
TEST(PlanThumbnailBlit, RandomInputsKeepTheMapping) {
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int drawn = 0;
    for (int i = 0; i < 20000; ++i) {
        const Rect dst{pick(-2000, 500), pick(-2000, 500), 0, 0};
        const Rect rcDest{dst.left, dst.top, dst.left + pick(-5, 3000), dst.top + pick(-5, 3000)};
        const Rect rcSource{pick(-50, 400), pick(-50, 400), 0, 0};
        const Rect src{rcSource.left, rcSource.top, rcSource.left + pick(-5, 900),
                       rcSource.top + pick(-5, 900)};
        const Rect surface{0, 0, pick(1, 800), pick(1, 800)};
        const Rect client{0, 0, pick(0, 400), pick(0, 400)};
        const BlitPlan p = PlanThumbnailBlit(rcDest, src, surface, client);
        if (!p.draw) continue;
        ++drawn;
        ASSERT_FALSE(IsEmpty(p.clip));
        EXPECT_GE(p.clip.left, std::max(client.left, rcDest.left));
        EXPECT_LE(p.clip.right, std::min(client.right, rcDest.right));
        EXPECT_GE(p.clip.top, std::max(client.top, rcDest.top));
        EXPECT_LE(p.clip.bottom, std::min(client.bottom, rcDest.bottom));
        EXPECT_LE(p.destination.left, p.clip.left);
        EXPECT_GE(p.destination.right, p.clip.right);
        EXPECT_GE(p.source.left, std::max(src.left, surface.left));
        EXPECT_LE(p.source.right, std::min(src.right, surface.right));
        // The centre of the clip's first column, mapped exactly, falls in the copied columns.
        const double scale = double(rcDest.right - rcDest.left) / (src.right - src.left);
        const double sx = src.left + (p.clip.left + 0.5 - rcDest.left) / scale;
        EXPECT_GE(sx, p.source.left - 1e-9);
        EXPECT_LE(sx, p.source.right + 1e-9);
        // The copied source maps onto the blit rectangle to within half a pixel.
        const double dl = rcDest.left + (p.source.left - src.left) * scale;
        EXPECT_NEAR(p.destination.left, dl, 0.5 + 1e-9);
    }
    EXPECT_GT(drawn, 1000); // the generator must exercise the drawing path
}

TEST(WantsSmoothScaling, OnlyModerateShrinking) {
    struct Case {
        Rect destination, source;
        bool smooth;
    } cases[] = {
        {{0, 0, 400, 300}, {0, 0, 800, 600}, true},     // a small preview of a large window
        {{0, 0, 640, 480}, {0, 0, 1280, 960}, true},    // exactly the limit
        {{0, 0, 641, 480}, {0, 0, 1282, 960}, false},   // just above it
        {{0, 0, 400, 300}, {0, 0, 400, 300}, false},    // one to one
        {{0, 0, 800, 600}, {0, 0, 400, 300}, false},    // enlarged
        {{0, 0, 400, 600}, {0, 0, 800, 300}, false},    // shrunk one way, enlarged the other
        {{-5, -5, 395, 295}, {10, 10, 810, 610}, true}, // offsets do not matter
    };
    for (const Case& c : cases) {
        BlitPlan p;
        p.draw = true;
        p.destination = c.destination;
        p.source = c.source;
        EXPECT_EQ(WantsSmoothScaling(p), c.smooth)
            << c.destination.right << "x" << c.destination.bottom;
    }
    EXPECT_FALSE(WantsSmoothScaling(BlitPlan{}));
}

TEST(RefreshRestMs, RefreshingTakesAtMostHalfTheThread) {
    EXPECT_EQ(RefreshRestMs(0), 0);
    EXPECT_EQ(RefreshRestMs(REFRESH_PERIOD_MS / 2), 0); // a light round: full rate
    EXPECT_EQ(RefreshRestMs(REFRESH_PERIOD_MS), REFRESH_PERIOD_MS);
    EXPECT_EQ(RefreshRestMs(100), 200 - REFRESH_PERIOD_MS); // a round starts every 200 ms
    EXPECT_EQ(RefreshRestMs(-5), 0);                        // a clock that went back
}

TEST(MergeThumbProps, OnlyFlaggedFieldsChange) {
    ThumbProps kept = DefaultThumbProps();
    kept.rcDestination = {1, 2, 3, 4};
    ThumbProps given;
    given.dwFlags = TNP_RECTSOURCE | TNP_VISIBLE;
    given.rcDestination = {9, 9, 9, 9};
    given.rcSource = {5, 6, 7, 8};
    given.opacity = 7;
    given.fVisible = 1;
    given.fSourceClientAreaOnly = 1;
    const ThumbProps out = MergeThumbProps(kept, given);
    EXPECT_EQ(out.rcDestination, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(out.rcSource, (Rect{5, 6, 7, 8}));
    EXPECT_EQ(out.opacity, 255);
    EXPECT_EQ(out.fVisible, 1);
    EXPECT_EQ(out.fSourceClientAreaOnly, 0);
    EXPECT_EQ(out.dwFlags, TNP_RECTSOURCE | TNP_VISIBLE);

    ThumbProps second;
    second.dwFlags = TNP_OPACITY | 0x100; // unknown bits are not kept
    second.opacity = 128;
    const ThumbProps out2 = MergeThumbProps(out, second);
    EXPECT_EQ(out2.opacity, 128);
    EXPECT_EQ(out2.rcSource, (Rect{5, 6, 7, 8}));
    EXPECT_EQ(out2.dwFlags, TNP_RECTSOURCE | TNP_VISIBLE | TNP_OPACITY);
}

TEST(EffectiveSource, WholeSurfaceUntilASourceIsGiven) {
    ThumbProps p = DefaultThumbProps();
    p.rcSource = {1, 1, 2, 2};
    EXPECT_EQ(EffectiveSource(p, Rect{0, 0, 640, 480}), (Rect{0, 0, 640, 480}));
    p.dwFlags = TNP_RECTSOURCE;
    EXPECT_EQ(EffectiveSource(p, Rect{0, 0, 640, 480}), (Rect{1, 1, 2, 2}));
}

} // namespace
} // namespace dwmrig
