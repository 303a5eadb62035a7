#include "app/base/handoff.h"

#include "tests/unit/printers.h"

using namespace lumetta;

// The record of window 0x1A2B over (-10, 20, 300, -40) as it travels: size 32, version 1, the
// window in 8 bytes, then left, top, right and bottom.
const HandOffBytes kWire = {0x20, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x2B, 0x1A, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0xF6, 0xFF, 0xFF, 0xFF, 0x14, 0x00,
                            0x00, 0x00, 0x2C, 0x01, 0x00, 0x00, 0xD8, 0xFF, 0xFF, 0xFF};

// The fuzzer checks acceptance against the record's rules and that what is accepted encodes back
// to its bytes; these pin the layout and what its envelope cannot vary.
TEST(HandOff, EncodesAndAcceptsTheLittleEndianRecord) {
    EXPECT_EQ(EncodeHandOffRecord(MakeHandOffRecord(0x1A2B, {-10, 20, 300, -40})), kWire);
    const std::optional<HandOffRecord> record = AcceptHandOff(HANDOFF_TAG, 32, kWire.data());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sourceWindow, 0x1A2Bu);
    EXPECT_EQ(record->rect, (Rect{-10, 20, 300, -40}));
    const HandOffBytes highest = EncodeHandOffRecord(MakeHandOffRecord(0xFFFFFFFF, {}));
    EXPECT_TRUE(AcceptHandOff(HANDOFF_TAG, 32, highest.data()));
}

TEST(HandOff, RefusesOtherCopyData) {
    EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG | 1ull << 32, 32, kWire.data())) << "tag's upper half";
    EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG, 31, kWire.data()));
    EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG, 33, kWire.data()));
    EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG, 32, nullptr));
    // Field offset, width and value: size 64, version 2, window 0, a window above 32 bits.
    const std::tuple<size_t, size_t, uint64_t> fields[] = {
        {0, 4, 64}, {4, 4, 2}, {8, 8, 0}, {8, 8, 0x100000010}};
    for (const auto& [offset, width, value] : fields) {
        HandOffBytes bytes = kWire;
        for (size_t i = 0; i < width; ++i)
            bytes[offset + i] = static_cast<uint8_t>(value >> 8 * i);
        EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG, 32, bytes.data())) << offset << ": " << value;
    }
}

TEST(HandOff, ClipsToTheVirtualScreen) {
    // The fuzzer compares the clipping with a plain overlap on many more.
    const std::tuple<Rect, int32_t, int32_t, int32_t, int32_t, std::optional<Rect>> cases[] = {
        {{300, 200, 100, 100}, 0, 0, 1920, 1080, Rect{100, 100, 300, 200}},    // normalised
        {{-100, -100, 100, 100}, -1920, 0, 1920, 1080, Rect{-100, 0, 0, 100}}, // ends at x + cx
        {{1920, 0, 2100, 100}, 0, 0, 1920, 1080, std::nullopt},                // only touching
        {{100, 100, 300, 200}, 1920, 1080, -1920, -1080, Rect{100, 100, 300, 200}},
        // The far edge of an absurd screen is held within 32 bits.
        {{kMax - 5, 0, kMax, 10}, kMax - 10, 0, kMax, 100, Rect{kMax - 5, 0, kMax, 10}},
    };
    ExpectRows(cases, ClipToVirtualScreen);
}
