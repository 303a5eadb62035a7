#include "select/screen_bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "select/constants.h"
#include "tests/unit/printers.h"

namespace lumetta {
namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr uint32_t kStoredDim = 0x78000000; // black: the exchange of red and blue changes nothing
constexpr uint32_t kStoredWhite = 0xFFFFFFFF;

// A bitmap over a vector of exactly width * height pixels, so that a write outside it is an
// AddressSanitizer failure.
struct TestBitmap {
    std::vector<uint32_t> memory;
    ScreenBitmap bitmap;

    TestBitmap(int32_t width, int32_t height)
        : memory(size_t(width) * size_t(height), kUntouched), bitmap{reinterpret_cast<HBITMAP__*>(
                                                                         uintptr_t{0x1000}),
                                                                     memory.data(), width, height} {
    }

    // Window pixel (x, y), counted from the top: rows are stored bottom-up.
    uint32_t At(int32_t x, int32_t y) const {
        return memory[size_t(bitmap.height - 1 - y) * size_t(bitmap.width) + size_t(x)];
    }

    // The picture as text, top row first: '.' untouched, '#' white, 'd' dim, 'o' anything else.
    std::string Art() const {
        std::string art;
        for (int32_t y = 0; y < bitmap.height; ++y) {
            if (y) art += '|';
            for (int32_t x = 0; x < bitmap.width; ++x) {
                const uint32_t p = At(x, y);
                art += p == kUntouched     ? '.'
                       : p == kStoredWhite ? '#'
                       : p == kStoredDim   ? 'd'
                                           : 'o';
            }
        }
        return art;
    }
};

TEST(SelectBitmap, SizesThatFitThirtyTwoBitsOfBytes) {
    struct Case {
        int32_t width, height;
        bool fits;
    } const cases[] = {
        {1, 1, true},         {1920, 1080, true},    {0, 1080, false},
        {1920, 0, false},     {-1, 10, false},       {10, -1, false},
        {32768, 32767, true}, {32768, 32768, false}, // exactly 4 GiB does not fit
        {65535, 16384, true}, {65536, 16384, false}, {1 << 29, 1, true},
        {1 << 30, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScreenBitmapFits(c.width, c.height), c.fits) << c.width << " x " << c.height;
    }
}

TEST(SelectBitmap, RowsAreStoredBottomUp) {
    TestBitmap t(4, 3);
    EXPECT_EQ(PixelIndex(t.bitmap, 0, 0), 8u); // the top row is the last in memory
    EXPECT_EQ(PixelIndex(t.bitmap, 3, 0), 11u);
    EXPECT_EQ(PixelIndex(t.bitmap, 0, 2), 0u);
    EXPECT_EQ(PixelIndex(t.bitmap, 2, 1), 6u);
}

TEST(SelectBitmap, ColorsAreStoredWithRedAndBlueExchanged) {
    EXPECT_EQ(StoredPixel(0x80112233), 0x80332211u);
    EXPECT_EQ(StoredPixel(0x000000FF), 0x00FF0000u);
    EXPECT_EQ(StoredPixel(0x00FF0000), 0x000000FFu);
    EXPECT_EQ(StoredPixel(0x0000FF00), 0x0000FF00u);
    // The selection's own values are premultiplied black and white: each colour byte is at most
    // the alpha byte, and they read the same either way round.
    EXPECT_EQ(StoredPixel(SELECTION_DIM_PIXEL), 0x78000000u);
    EXPECT_EQ(StoredPixel(SELECTION_BAND_PIXEL), 0x01000000u);
    EXPECT_EQ(StoredPixel(SELECTION_FRAME_PIXEL), 0xFFFFFFFFu);

    TestBitmap t(2, 2);
    const Rect pixel{1, 0, 2, 1};
    FillRect32(&t.bitmap, 0x40102030, &pixel);
    EXPECT_EQ(t.At(1, 0), 0x40302010u);
    // In memory: bytes B, G, R, A.
    const auto* bytes = reinterpret_cast<const uint8_t*>(&t.memory[PixelIndex(t.bitmap, 1, 0)]);
    EXPECT_EQ(bytes[0], 0x10);
    EXPECT_EQ(bytes[1], 0x20);
    EXPECT_EQ(bytes[2], 0x30);
    EXPECT_EQ(bytes[3], 0x40);
}

TEST(SelectBitmap, ClipToBitmapAtEveryEdge) {
    struct Case {
        const char* what;
        bool hasRect;
        Rect rect;
        bool ok;
        Rect clipped;
    } const cases[] = {
        {"no rectangle: everything", false, {}, true, {0, 0, 6, 4}},
        {"inside", true, {1, 1, 3, 2}, true, {1, 1, 3, 2}},
        {"exactly the bitmap", true, {0, 0, 6, 4}, true, {0, 0, 6, 4}},
        {"left beyond", true, {-5, 1, 3, 2}, true, {0, 1, 3, 2}},
        {"right beyond", true, {2, 1, 99, 2}, true, {2, 1, 6, 2}},
        {"top beyond", true, {1, -3, 3, 2}, true, {1, 0, 3, 2}},
        {"bottom beyond", true, {1, 1, 3, 40}, true, {1, 1, 3, 4}},
        {"all sides beyond", true, {-1000, -1000, 1000, 1000}, true, {0, 0, 6, 4}},
        {"wholly left", true, {-5, 0, 0, 4}, false, {}},
        {"wholly right", true, {6, 0, 9, 4}, false, {}},
        {"wholly above", true, {0, -4, 6, 0}, false, {}},
        {"wholly below", true, {0, 4, 6, 8}, false, {}},
        {"zero width", true, {3, 0, 3, 4}, false, {}},
        {"zero height", true, {0, 2, 6, 2}, false, {}},
        {"reversed", true, {4, 3, 1, 1}, false, {}},
    };
    TestBitmap t(6, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rect clipped{-7, -7, -7, -7};
        EXPECT_EQ(ClipToBitmap(t.bitmap, c.hasRect ? &c.rect : nullptr, &clipped), c.ok);
        if (c.ok) {
            EXPECT_EQ(clipped, c.clipped);
        }
    }
}

TEST(SelectBitmap, ClipToBitmapNeedsAWholeBitmap) {
    TestBitmap t(6, 4);
    Rect clipped;
    ScreenBitmap noHandle = t.bitmap;
    noHandle.bitmap = nullptr;
    EXPECT_FALSE(ClipToBitmap(noHandle, nullptr, &clipped));
    ScreenBitmap noPixels = t.bitmap;
    noPixels.pixels = nullptr;
    EXPECT_FALSE(ClipToBitmap(noPixels, nullptr, &clipped));
    ScreenBitmap noWidth = t.bitmap;
    noWidth.width = 0;
    EXPECT_FALSE(ClipToBitmap(noWidth, nullptr, &clipped));
    ScreenBitmap noHeight = t.bitmap;
    noHeight.height = 0;
    EXPECT_FALSE(ClipToBitmap(noHeight, nullptr, &clipped));

    // And nothing is written to a bitmap without one.
    FillRect32(&noHandle, SELECTION_DIM_PIXEL, nullptr);
    FrameRect32(&noHandle, Rect{0, 0, 6, 4});
    EXPECT_EQ(t.Art(), "......|......|......|......");
}

struct PictureCase {
    const char* what;
    Rect rect;
    const char* art; // rows top first, separated by '|'
};

TEST(SelectBitmap, FillRect32WritesTheClippedRectangleOnly) {
    const PictureCase cases[] = {
        {"inside", {1, 1, 4, 3}, "......|.ddd..|.ddd..|......"},
        {"one pixel", {5, 3, 6, 4}, "......|......|......|.....d"},
        {"whole rows", {0, 1, 6, 3}, "......|dddddd|dddddd|......"},
        {"top-left corner beyond", {-2, -2, 2, 2}, "dd....|dd....|......|......"},
        {"bottom-right corner beyond", {4, 2, 9, 9}, "......|......|....dd|....dd"},
        {"whole rows beyond top and bottom", {-1, -9, 7, 1}, "dddddd|......|......|......"},
        {"outside", {6, 0, 8, 4}, "......|......|......|......"},
        {"empty", {2, 2, 2, 3}, "......|......|......|......"},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestBitmap t(6, 4);
        FillRect32(&t.bitmap, SELECTION_DIM_PIXEL, &c.rect);
        EXPECT_EQ(t.Art(), c.art);
    }
}

TEST(SelectBitmap, FillRect32OverEverythingAndWithZero) {
    TestBitmap t(5, 3);
    FillRect32(&t.bitmap, SELECTION_DIM_PIXEL, nullptr);
    EXPECT_EQ(t.Art(), "ddddd|ddddd|ddddd");
    // Zero clears memory, in a partial row as in whole rows.
    const Rect partial{1, 0, 3, 2};
    FillRect32(&t.bitmap, 0, &partial);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const bool cleared = x >= 1 && x < 3 && y < 2;
            EXPECT_EQ(t.At(x, y), cleared ? 0u : kStoredDim) << x << ", " << y;
        }
    }
    const Rect rows{0, 1, 5, 3};
    FillRect32(&t.bitmap, 0, &rows);
    for (int32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(t.At(x, 1), 0u);
        EXPECT_EQ(t.At(x, 2), 0u);
    }
}

TEST(SelectBitmap, FrameRect32DrawsTheOutermostPixelsOfTheClippedRectangle) {
    const PictureCase cases[] = {
        {"inside", {1, 0, 5, 4}, ".####.|.#..#.|.#..#.|.####."},
        {"one pixel", {2, 1, 3, 2}, "......|..#...|......|......"},
        {"one row", {1, 2, 5, 3}, "......|......|.####.|......"},
        {"one column", {3, 0, 4, 4}, "...#..|...#..|...#..|...#.."},
        {"two by two", {0, 0, 2, 2}, "##....|##....|......|......"},
        {"two columns", {2, 0, 4, 4}, "..##..|..##..|..##..|..##.."},
        {"whole bitmap", {0, 0, 6, 4}, "######|#....#|#....#|######"},
        // Clipped first: the frame lies on the bitmap's edge where the rectangle goes beyond.
        {"beyond left and top", {-3, -3, 3, 3}, "###...|#.#...|###...|......"},
        {"beyond right and bottom", {3, 1, 10, 10}, "......|...###|...#.#|...###"},
        {"beyond every side", {-1, -1, 7, 5}, "######|#....#|#....#|######"},
        {"outside", {-4, 0, 0, 4}, "......|......|......|......"},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestBitmap t(6, 4);
        FrameRect32(&t.bitmap, c.rect);
        EXPECT_EQ(t.Art(), c.art);
    }
}

} // namespace
} // namespace lumetta
