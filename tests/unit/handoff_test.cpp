#include "app/base/handoff.h"

#include <cstdint>
#include <optional>

#include <gtest/gtest.h>

#include "tests/unit/printers.h"

namespace lumetta {
namespace {

// The record of window 0x1A2B over (-10, 20, 300, -40) as it travels.
const HandOffBytes kWire = {
    0x20, 0x00, 0x00, 0x00,                         // size 32
    0x01, 0x00, 0x00, 0x00,                         // version 1
    0x2B, 0x1A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // window
    0xF6, 0xFF, 0xFF, 0xFF,                         // left -10
    0x14, 0x00, 0x00, 0x00,                         // top 20
    0x2C, 0x01, 0x00, 0x00,                         // right 300
    0xD8, 0xFF, 0xFF, 0xFF,                         // bottom -40
};

TEST(HandOff, EncodesLittleEndianWithoutPadding) {
    const HandOffRecord record = MakeHandOffRecord(0x1A2B, {-10, 20, 300, -40});
    EXPECT_EQ(EncodeHandOffRecord(record), kWire);
}

TEST(HandOff, AcceptsWhatTheSenderBuilds) {
    const std::optional<HandOffRecord> record = AcceptHandOff(HANDOFF_TAG, 32, kWire.data());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sourceWindow, 0x1A2Bu);
    EXPECT_EQ(record->rect, (Rect{-10, 20, 300, -40}));

    const HandOffBytes highest = EncodeHandOffRecord(MakeHandOffRecord(0xFFFFFFFF, {}));
    const std::optional<HandOffRecord> top = AcceptHandOff(HANDOFF_TAG, 32, highest.data());
    ASSERT_TRUE(top);
    EXPECT_EQ(top->sourceWindow, 0xFFFFFFFFu);
}

TEST(HandOff, RefusesOtherCopyData) {
    const auto withField = [](size_t offset, uint64_t value, size_t width) {
        HandOffBytes bytes = kWire;
        for (size_t i = 0; i < width; ++i)
            bytes[offset + i] = static_cast<uint8_t>(value >> 8 * i);
        return bytes;
    };
    struct Case {
        const char* what;
        uint64_t tag;
        uint32_t byteCount;
        HandOffBytes bytes;
    };
    const Case cases[] = {
        {"other tag", 0x4C4D5432, 32, kWire},
        {"tag in the upper half", 0x100000000ull | HANDOFF_TAG, 32, kWire},
        {"31 bytes", HANDOFF_TAG, 31, kWire},
        {"33 bytes", HANDOFF_TAG, 33, kWire},
        {"size field 31", HANDOFF_TAG, 32, withField(0, 31, 4)},
        {"size field 64", HANDOFF_TAG, 32, withField(0, 64, 4)},
        {"version 0", HANDOFF_TAG, 32, withField(4, 0, 4)},
        {"version 2", HANDOFF_TAG, 32, withField(4, 2, 4)},
        {"window 0", HANDOFF_TAG, 32, withField(8, 0, 8)},
        {"window upper half set", HANDOFF_TAG, 32, withField(8, 0x0000000100000010ull, 8)},
        {"window only upper half", HANDOFF_TAG, 32, withField(8, 0x8000000000000000ull, 8)},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(AcceptHandOff(c.tag, c.byteCount, c.bytes.data())) << c.what;
    }
    EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG, 32, nullptr));
}

TEST(HandOff, ClipsToTheVirtualScreen) {
    struct Case {
        Rect rect;
        int32_t x, y, cx, cy;
        std::optional<Rect> expected;
    };
    const Case cases[] = {
        {{100, 100, 300, 200}, 0, 0, 1920, 1080, Rect{100, 100, 300, 200}},
        {{300, 200, 100, 100}, 0, 0, 1920, 1080, Rect{100, 100, 300, 200}}, // normalised
        // Half overlapping: only the overlap is opened.
        {{1800, 1000, 2000, 1200}, 0, 0, 1920, 1080, Rect{1800, 1000, 1920, 1080}},
        {{-2000, -100, -1800, 100}, -1920, 0, 3840, 1080, Rect{-1920, 0, -1800, 100}},
        // Wholly outside, or only touching.
        {{2000, 0, 2100, 100}, 0, 0, 1920, 1080, std::nullopt},
        {{1920, 0, 2100, 100}, 0, 0, 1920, 1080, std::nullopt},
        {{-100, -100, -1, -1}, 0, 0, 1920, 1080, std::nullopt},
        // Empty selection, or no screen at all.
        {{100, 100, 100, 200}, 0, 0, 1920, 1080, std::nullopt},
        {{100, 100, 300, 200}, 0, 0, 0, 1080, std::nullopt},
        // A screen given with a negative size is normalised like the record.
        {{100, 100, 300, 200}, 1920, 1080, -1920, -1080, Rect{100, 100, 300, 200}},
        // The far edge of an absurd screen is held within 32 bits.
        {{INT32_MAX - 5, 0, INT32_MAX, 10},
         INT32_MAX - 10,
         0,
         INT32_MAX,
         100,
         Rect{INT32_MAX - 5, 0, INT32_MAX, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.rect));
        EXPECT_EQ(ClipToVirtualScreen(c.rect, c.x, c.y, c.cx, c.cy), c.expected);
    }
}

} // namespace
} // namespace lumetta
