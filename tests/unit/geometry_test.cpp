#include "app/base/geometry.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "tests/unit/printers.h"

namespace lumetta {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(Geometry, NormalizeSwapsReversedEdgesOnly) {
    EXPECT_EQ(NormalizeRect({10, 20, 100, 50}), (Rect{10, 20, 100, 50}));
    EXPECT_EQ(NormalizeRect({100, 50, 10, 20}), (Rect{10, 20, 100, 50}));
    EXPECT_EQ(NormalizeRect({100, 20, 10, 50}), (Rect{10, 20, 100, 50}));
    EXPECT_EQ(NormalizeRect({10, 50, 100, 20}), (Rect{10, 20, 100, 50}));
    EXPECT_EQ(NormalizeRect({kMax, kMax, kMin, kMin}), (Rect{kMin, kMin, kMax, kMax}));
}

TEST(Geometry, SizesAndEmptinessDoNotOverflow) {
    const Rect whole{kMin, kMin, kMax, kMax};
    EXPECT_EQ(RectWidth(whole), (int64_t{1} << 32) - 1);
    EXPECT_EQ(RectHeight(whole), (int64_t{1} << 32) - 1);
    EXPECT_FALSE(IsRectEmpty(whole));
    EXPECT_TRUE(IsRectEmpty({kMax, 0, kMin, 10})); // reversed: width is negative
    EXPECT_TRUE(IsRectEmpty({5, 5, 5, 10}));
    EXPECT_TRUE(IsRectEmpty({5, 5, 10, 5}));
    EXPECT_FALSE(IsRectEmpty({5, 5, 6, 6}));
}

struct IntersectCase {
    Rect a;
    Rect b;
    bool intersects;
    Rect expected;
};

TEST(Geometry, IntersectNormalizedRects) {
    const IntersectCase cases[] = {
        {{10, 10, 0, 0}, {5, 5, 20, 20}, true, {5, 5, 10, 10}}, // reversed input normalised
        {{0, 0, 100, 100}, {25, 30, 50, 60}, true, {25, 30, 50, 60}},
        {{0, 0, 100, 100}, {50, -50, 150, 50}, true, {50, 0, 100, 50}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {}}, // touching edges only
        {{0, 0, 10, 10}, {0, 10, 10, 20}, false, {}},
        {{0, 0, 10, 10}, {20, 20, 30, 30}, false, {}},
        {{0, 0, 0, 10}, {-5, -5, 5, 5}, false, {}}, // empty operand
        {{-5, -5, 5, 5}, {3, 3, 3, 3}, false, {}},
        {{kMin, kMin, kMax, kMax}, {-1, -1, 1, 1}, true, {-1, -1, 1, 1}},
        {{kMax, kMax, kMin, kMin}, {kMin, 0, 0, kMax}, true, {kMin, 0, 0, kMax}},
    };
    for (const IntersectCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.a) + " and " + ::testing::PrintToString(c.b));
        const Rect untouched{1, 2, 3, 4};
        Rect out = untouched;
        EXPECT_EQ(IntersectNormalizedRects(c.a, c.b, &out), c.intersects);
        EXPECT_EQ(out, c.intersects ? c.expected : untouched);
        Rect swapped = untouched;
        EXPECT_EQ(IntersectNormalizedRects(c.b, c.a, &swapped), c.intersects);
        EXPECT_EQ(swapped, out);
    }
    EXPECT_FALSE(IntersectNormalizedRects({0, 0, 10, 10}, {0, 0, 10, 10}, nullptr));
}

struct MulDivCase {
    int32_t number;
    int32_t numerator;
    int32_t denominator;
    int32_t expected;
};

TEST(Geometry, MulDivRoundsHalfAwayFromZeroAndReportsOverflow) {
    const MulDivCase cases[] = {
        {100, 144, 96, 150},
        {1, 1, 2, 1},   // +0.5
        {-1, 1, 2, -1}, // -0.5
        {1, -1, 2, -1}, // -0.5 through the numerator
        {-1, -1, 2, 1}, // +0.5 from two negatives
        {3, 1, -2, -2}, // -1.5 through the denominator
        {-3, 1, -2, 2}, // +1.5
        {5, 1, 4, 1},   // 1.25
        {7, 1, 4, 2},   // 1.75
        {-7, 1, 4, -2}, // -1.75
        {0, -5, 3, 0},
        {5, 7, 0, -1}, // division by zero
        {0, 0, 0, -1},
        {kMax, kMax, kMax, kMax}, // the 64-bit product is what makes this fit
        {kMax, 2, 1, -1},         // too large
        {kMax, -2, 1, -1},
        {-kMax, 1, 1, -kMax},
        {kMin, 1, 2, kMin / 2},
        {kMin, 1, 1, -1}, // magnitude 2^31 does not fit
        {kMin, -1, 1, -1},
        {kMin, kMin, kMin, -1},
        {kMin, kMin, kMax, -1},
        {kMax, kMin, kMin, kMax},
        {kMax, 3, 2, -1},
    };
    for (const MulDivCase& c : cases) {
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " * " << c.numerator << " / " << c.denominator;
    }
}

TEST(Geometry, ScaleForDpi) {
    struct Case {
        int32_t value;
        uint32_t dpi;
        int32_t expected;
    };
    const Case cases[] = {
        {30, 96, 30},    {30, 0, 30}, // 0 means the design DPI
        {30, 144, 45},   {2, 144, 3}, {4, 144, 6},  {6, 144, 9}, {1, 120, 1}, // 1.25
        {2, 120, 3},                                                          // 2.5 rounds up
        {100, 192, 200}, {0, 96, 1},  {-5, 144, 1},                           // never below 1
        {kMax, 192, 1}, // MulDiv overflow reports -1, held at 1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    }
    // The overlay bar's minimum width, 3 × S(30) + 2 × (S(2) + S(4) + S(6)), at two DPIs.
    const auto barWidth = [](uint32_t dpi) {
        return 3 * ScaleForDpi(30, dpi) +
               2 * (ScaleForDpi(2, dpi) + ScaleForDpi(4, dpi) + ScaleForDpi(6, dpi));
    };
    EXPECT_EQ(barWidth(96), 114);
    EXPECT_EQ(barWidth(144), 171);
}

struct CenterCase {
    Rect window;
    Rect area;
    Point expected;
};

TEST(Geometry, CenterInWorkArea) {
    const CenterCase cases[] = {
        {{0, 0, 400, 300}, {0, 0, 1919, 1080}, {759, 390}},       // (0 + 1919 - 400) / 2
        {{500, 500, 900, 800}, {0, 0, 1919, 1080}, {759, 390}},   // only the size counts
        {{0, 0, 400, 301}, {-1919, -1080, 0, 0}, {-1159, -690}},  // truncated toward zero
        {{0, 0, 1919, 1080}, {0, 0, 1919, 1080}, {0, 0}},         // as large as the area
        {{0, 0, 3000, 200}, {100, 50, 1100, 850}, {100, 350}},    // wider: left edge
        {{0, 0, 200, 3000}, {100, 50, 1100, 850}, {500, 50}},     // higher: top edge
        {{0, 0, 100, 100}, {kMin, kMin, kMax, kMax}, {-50, -50}}, // area size needs 64 bits
        {{0, 0, 10, 10}, {0, 0, kMax, kMax}, {(kMax - 10) / 2, (kMax - 10) / 2}},
        {{100, 0, 0, 0}, {kMax - 10, 0, kMax, 10}, {kMax, 5}}, // reversed window held in range
    };
    for (const CenterCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.window) + " in " +
                     ::testing::PrintToString(c.area));
        EXPECT_EQ(CenterInWorkArea(c.window, c.area), c.expected);
    }
}

} // namespace
} // namespace lumetta
