#include "tools/dwm/mapping.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <tuple>

#include "tools/dwm/constants.h"

namespace dwmrig {

// How GoogleTest shows a rectangle in a failure.
void PrintTo(const Rect& r, std::ostream* os) {
    *os << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
}

namespace {

constexpr Rect R(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return Rect{left, top, right, bottom};
}

TEST(PlanThumbnailBlit, CopiesOnlyVisiblePixels) {
    const Rect window = R(0, 0, 300, 200);
    // what, rcDestination, rcSource, the surface, the client area; the clip, the blit's
    // destination and source
    const std::tuple<const char*, Rect, Rect, Rect, Rect, Rect, Rect, Rect> cases[] = {
        // A 200 % preview of the region at (200, 100): the whole source shifted and doubled.
        {"zoomed and shifted", R(-400, -200, 1200, 1000), R(0, 0, 800, 600), R(0, 0, 800, 600),
         window, window, window, R(200, 100, 350, 200)},
        // 1.5 x: the last visible column comes from a source pixel that lands partly outside.
        {"fractional scale", R(0, 0, 150, 150), R(0, 0, 100, 100), R(0, 0, 100, 100),
         R(0, 0, 100, 100), R(0, 0, 100, 100), R(0, 0, 101, 101), R(0, 0, 67, 67)},
        {"fractional scale cut on the left", R(-10, 0, 140, 150), R(0, 0, 100, 100),
         R(0, 0, 100, 100), R(0, 0, 100, 100), R(0, 0, 100, 100), R(-1, 0, 101, 101),
         R(6, 0, 74, 67)},
        // Half size; the source rectangle reaches past the source, which has no pixels there.
        {"source partly missing", R(0, 0, 100, 100), R(50, 50, 250, 250), R(0, 0, 200, 200),
         R(0, 0, 100, 100), R(0, 0, 75, 75), R(0, 0, 75, 75), R(50, 50, 200, 200)},
        {"extreme coordinates", R(INT_MIN, INT_MIN, INT_MAX, INT_MAX), R(0, 0, 1, 1), R(0, 0, 1, 1),
         window, window, R(INT_MIN, INT_MIN, INT_MAX, INT_MAX), R(0, 0, 1, 1)},
    };
    for (const auto& [what, rcDestination, rcSource, surface, client, clip, destination, source] :
         cases) {
        const BlitPlan p = PlanThumbnailBlit(rcDestination, rcSource, surface, client);
        EXPECT_TRUE(p.draw) << what;
        EXPECT_EQ(p.clip, clip) << what;
        EXPECT_EQ(p.destination, destination) << what;
        EXPECT_EQ(p.source, source) << what;
    }
}

// Whatever the input (empty and reversed rectangles included), the plan draws only inside the
// client and the destination rectangle, the copied source pixels exist, and each visible pixel
// shows the source pixel the exact map gives.
TEST(PlanThumbnailBlit, RandomInputsKeepTheMapping) {
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int drawn = 0;
    for (int i = 0; i < 20000; ++i) {
        const int32_t dl = pick(-2000, 500), dt = pick(-2000, 500);
        const Rect rcDest = R(dl, dt, dl + pick(-5, 3000), dt + pick(-5, 3000));
        const int32_t sl = pick(-50, 400), st = pick(-50, 400);
        const Rect src = R(sl, st, sl + pick(-5, 900), st + pick(-5, 900));
        const Rect surface = R(0, 0, pick(1, 800), pick(1, 800));
        const Rect client = R(0, 0, pick(0, 400), pick(0, 400));
        const BlitPlan p = PlanThumbnailBlit(rcDest, src, surface, client);
        if (!p.draw) continue;
        ++drawn;
        ASSERT_FALSE(IsEmpty(p.clip));
        ASSERT_FALSE(IsEmpty(p.source));
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
        EXPECT_NEAR(p.destination.left, rcDest.left + (p.source.left - src.left) * scale,
                    0.5 + 1e-9);
    }
    EXPECT_GT(drawn, 1000); // the generator must exercise the drawing path
}

TEST(MergeThumbProps, OnlyFlaggedFieldsChange) {
    ThumbProps kept = DefaultThumbProps();
    kept.rcDestination = R(1, 2, 3, 4);
    const ThumbProps given{
        TNP_RECTSOURCE | TNP_VISIBLE | 0x100, R(9, 9, 9, 9), R(5, 6, 7, 8), 7, 1, 1};
    const ThumbProps out = MergeThumbProps(kept, given);
    EXPECT_EQ(out.rcDestination, R(1, 2, 3, 4));
    EXPECT_EQ(out.rcSource, R(5, 6, 7, 8));
    EXPECT_EQ(out.opacity, 255);
    EXPECT_EQ(out.fVisible, 1);
    EXPECT_EQ(out.fSourceClientAreaOnly, 0);
    EXPECT_EQ(out.dwFlags, TNP_RECTSOURCE | TNP_VISIBLE); // unknown bits are not kept
    const ThumbProps more{TNP_OPACITY, {}, {}, 0, 0, 0};
    EXPECT_EQ(MergeThumbProps(out, more).dwFlags, TNP_RECTSOURCE | TNP_VISIBLE | TNP_OPACITY);
}

} // namespace
} // namespace dwmrig
