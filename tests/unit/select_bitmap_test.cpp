#include "select/screen_bitmap.h"

#include <algorithm>
#include <iterator>

#include "select/constants.h"
#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr uint32_t kColour = 0x40102030; // stored as 0x40302010

// The picture as text, top row first: '.' untouched, '#' white, 'd' dim, '0' zero, 'c' kColour as
// stored, 'o' anything else.
std::string Art(const PixelBuffer& b) {
    const uint32_t pixels[] = {kUntouched, 0xFFFFFFFF, 0x78000000, 0, 0x40302010};
    std::string art;
    for (int32_t y = 0; y < b.bitmap.height; ++y) {
        art += y ? "|" : "";
        for (int32_t x = 0; x < b.bitmap.width; ++x)
            art += ".#d0co"[std::find(pixels, std::end(pixels), b.At(x, y)) - pixels];
    }
    return art;
}

TEST(SelectBitmap, SizesThatFitThirtyTwoBitsOfBytes) {
    const std::tuple<int32_t, int32_t, bool> cases[] = {
        {1, 1, true},         {0, 1080, false},      {1920, 0, false},   {-1, -1, false},
        {32768, 32767, true}, {32768, 32768, false}, {1 << 29, 1, true}, {1 << 30, 1, false},
    };
    for (const auto& [width, height, fits] : cases)
        EXPECT_EQ(ScreenBitmapFits(width, height), fits) << width << " x " << height;
}

TEST(SelectBitmap, NothingIsWrittenWithoutAHandleOrPixels) {
    PixelBuffer b(6, 4, kUntouched);
    ScreenBitmap noHandle{nullptr, b.memory.data(), 6, 4}, noPixels{b.bitmap.bitmap, nullptr, 6, 4};
    for (ScreenBitmap* broken : {&noHandle, &noPixels}) {
        FillRect32(broken, SELECTION_DIM_PIXEL, nullptr);
        FrameRect32(broken, Rect{0, 0, 6, 4});
    }
    EXPECT_EQ(Art(b), "......|......|......|......");
}

// Both writers clip to the bitmap first; zero takes a path of its own, in part rows and whole.
TEST(SelectBitmap, FillRect32WritesTheClippedRectangleOnly) {
    EXPECT_EQ(StoredPixel(0x80112233), 0x80332211u); // red and blue exchanged
    const uint32_t dim = SELECTION_DIM_PIXEL;
    // colour, rectangle (none: everything), picture (rows top first, separated by '|')
    const std::tuple<uint32_t, std::optional<Rect>, const char*> cases[] = {
        {dim, std::nullopt, "dddddd|dddddd|dddddd|dddddd"},
        {kColour, Rect{1, 0, 2, 1}, ".c....|......|......|......"},
        {dim, Rect{1, 1, 4, 3}, "......|.ddd..|.ddd..|......"},
        {dim, Rect{0, 1, 6, 3}, "......|dddddd|dddddd|......"},
        {0, Rect{1, 1, 4, 3}, "......|.000..|.000..|......"},
        {0, Rect{-1, -9, 7, 2}, "000000|000000|......|......"},
        {dim, Rect{4, 2, 9, 9}, "......|......|....dd|....dd"},
        {dim, Rect{6, 0, 8, 4}, "......|......|......|......"},
        {dim, Rect{0, 4, 6, 8}, "......|......|......|......"},
        {dim, Rect{4, 3, 1, 1}, "......|......|......|......"}, // reversed
    };
    for (const auto& [colour, rect, art] : cases) {
        PixelBuffer b(6, 4, kUntouched);
        FillRect32(&b.bitmap, colour, rect ? &*rect : nullptr);
        EXPECT_EQ(Art(b), art) << std::hex << colour << " over " << ::testing::PrintToString(rect);
    }
}

TEST(SelectBitmap, FrameRect32DrawsTheOutermostPixelsOfTheClippedRectangle) {
    const std::pair<Rect, const char*> cases[] = {
        {{1, 2, 5, 3}, "......|......|.####.|......"},   // one row
        {{3, 0, 4, 4}, "...#..|...#..|...#..|...#.."},   // one column
        {{0, 0, 2, 2}, "##....|##....|......|......"},   // no inside rows
        {{2, 0, 4, 4}, "..##..|..##..|..##..|..##.."},   // no inside columns
        {{-3, -3, 3, 3}, "###...|#.#...|###...|......"}, // beyond left and top
        {{3, 1, 10, 10}, "......|...###|...#.#|...###"}, // beyond right and bottom
        {{-1, -1, 7, 5}, "######|#....#|#....#|######"}, // beyond every side
        {{-4, 0, 0, 4}, "......|......|......|......"},  // wholly left
    };
    for (const auto& [rect, art] : cases) {
        PixelBuffer b(6, 4, kUntouched);
        FrameRect32(&b.bitmap, rect);
        EXPECT_EQ(Art(b), art) << ::testing::PrintToString(rect);
    }
}

} // namespace
