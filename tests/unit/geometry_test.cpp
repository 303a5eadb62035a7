#include "app/base/geometry.h"

#include "tests/unit/printers.h"

using namespace lumetta;

TEST(Geometry, NormalizeAndEmptiness) {
    EXPECT_EQ(NormalizeRect({100, 20, 10, 50}), (Rect{10, 20, 100, 50})); // one axis only
    EXPECT_EQ(NormalizeRect({kMax, kMax, kMin, kMin}), (Rect{kMin, kMin, kMax, kMax}));
    EXPECT_EQ(RectWidth({kMin, 0, kMax, 0}), (int64_t{1} << 32) - 1);
    EXPECT_TRUE(IsRectEmpty({kMax, 0, kMin, 10})); // reversed: the width is negative
}

TEST(Geometry, IntersectNormalizedRects) {
    const std::tuple<Rect, Rect, std::optional<Rect>> cases[] = {
        {{10, 10, 0, 0}, {5, 5, 20, 20}, Rect{5, 5, 10, 10}}, // reversed input normalised
        {{0, 0, 100, 100}, {50, -50, 150, 50}, Rect{50, 0, 100, 50}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, std::nullopt}, // touching edges only
        {{0, 0, 10, 10}, {0, 10, 10, 20}, std::nullopt},
        {{0, 0, 0, 10}, {-5, -5, 5, 5}, std::nullopt},                  // empty operand
        {{kMin, kMin, kMax, kMax}, {-1, -1, 1, 1}, Rect{-1, -1, 1, 1}}, // width needs 64 bits
        {{kMax, kMax, kMin, kMin}, {kMin, 0, 0, kMax}, Rect{kMin, 0, 0, kMax}},
    };
    for (const auto& [a, b, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(a) + " and " + ::testing::PrintToString(b));
        // Both orders; out is written only on success.
        Rect out{1, 2, 3, 4}, swapped = out;
        EXPECT_EQ(IntersectNormalizedRects(a, b, &out), expected.has_value());
        EXPECT_EQ(out, expected.value_or(Rect{1, 2, 3, 4}));
        EXPECT_EQ(IntersectNormalizedRects(b, a, &swapped), expected.has_value());
        EXPECT_EQ(swapped, out);
    }
    EXPECT_FALSE(IntersectNormalizedRects({0, 0, 10, 10}, {0, 0, 10, 10}, nullptr));
}

TEST(Geometry, MulDivScaleForDpiAndCentring) {
    // number, numerator, denominator, result
    const std::tuple<int32_t, int32_t, int32_t, int32_t> cases[] = {
        {100, 144, 96, 150},      {1, 1, 2, 1},           {-1, 1, 2, -1},
        {3, 1, -2, -2},           {-3, 1, -2, 2},         {5, 1, 4, 1},
        {-7, 1, 4, -2},           {5, 7, 0, -1},          {kMax, 2, 1, -1},
        {kMax, -2, 1, -1},        {-kMax, 1, 1, -kMax},   {kMin, 1, 2, kMin / 2},
        {kMin, -1, 1, -1},        {kMin, kMin, kMin, -1}, {kMax, kMin, kMin, kMax},
        {kMax, kMax, kMax, kMax}, // the 64-bit product is what makes this fit
        {kMin, 1, 1, -1},         // magnitude 2^31 does not fit
    };
    ExpectRows(cases, MulDiv);
    // ScaleForDpi: value, dpi, result.
    // 0 is the design DPI; 1.25 rounds down and 2.5 up; never below 1, even when MulDiv fails.
    const std::tuple<int32_t, uint32_t, int32_t> dpis[] = {
        {30, 0, 30}, {30, 144, 45}, {1, 120, 1},    {2, 120, 3},
        {0, 96, 1},  {-5, 144, 1},  {kMax, 192, 1},
    };
    ExpectRows(dpis, ScaleForDpi);
    // CenterInWorkArea: window, work area, origin.
    const std::tuple<Rect, Rect, Point> centred[] = {
        {{500, 500, 900, 800}, {0, 0, 1919, 1080}, {759, 390}},   // (0 + 1919 - 400) / 2
        {{0, 0, 400, 301}, {-1919, -1080, 0, 0}, {-1159, -690}},  // truncated toward zero
        {{0, 0, 3000, 200}, {100, 50, 1100, 850}, {100, 350}},    // wider: left edge
        {{0, 0, 100, 100}, {kMin, kMin, kMax, kMax}, {-50, -50}}, // area size needs 64 bits
        {{100, 0, 0, 0}, {kMax - 10, 0, kMax, 10}, {kMax, 5}},    // reversed window held in range
    };
    ExpectRows(centred, CenterInWorkArea);
}
