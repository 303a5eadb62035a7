#include "tools/dwm/shot.h"

#include <gtest/gtest.h>

#include <string>

namespace dwmrig {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

TEST(ParsePpm, ReadsPixelsRowByRow) {
    Image img;
    ASSERT_TRUE(ParsePpm(Bytes(std::string("P6\n# made by import\n2 2\n255\n") +
                               std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12)),
                         &img));
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.height, 2);
    uint8_t r, g, b;
    ASSERT_TRUE(PixelAt(img, 1, 1, &r, &g, &b));
    EXPECT_EQ(r, 0x0a);
    EXPECT_EQ(g, 0x0b);
    EXPECT_EQ(b, 0x0c);
    ASSERT_TRUE(PixelAt(img, 0, 1, &r, &g, &b));
    EXPECT_EQ(r, 0x07);
    EXPECT_FALSE(PixelAt(img, 2, 0, &r, &g, &b));
    EXPECT_FALSE(PixelAt(img, 0, -1, &r, &g, &b));
}

TEST(ParsePpm, RejectsWhatItCannotRead) {
    const char* bad[] = {
        "",
        "P3\n1 1\n255\n\x01\x02\x03",   // ASCII pixels
        "P6\n1 1\n65535\n\x01\x02\x03", // 16-bit samples
        "P6\n2 1\n255\n\x01\x02\x03",   // short
        "P6\n0 1\n255\n",
        "P6\n99999999 1\n255\n",
        "P6\n1\n",
    };
    for (const char* text : bad) {
        Image img;
        EXPECT_FALSE(ParsePpm(Bytes(text), &img)) << text;
        EXPECT_EQ(img.width, 0);
    }
}

} // namespace
} // namespace dwmrig
