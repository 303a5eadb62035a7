#include "tools/dwm/mapping.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

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
        // Two thirds; mapped back, the first visible column would start left of the source.
        {"shrunk, source begins off the source", R(0, 0, 200, 200), R(-200, 0, 100, 300),
         R(0, 0, 300, 300), R(0, 0, 200, 200), R(133, 0, 200, 200), R(133, 0, 200, 200),
         R(0, 0, 100, 300)},
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

} // namespace
} // namespace dwmrig
