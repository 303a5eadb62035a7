#include "app/base/geometry.h"
#include "app/base/handoff.h"
#include "app/cmdline.h"
#include "app/base/settings.h"
#include "app/preview_slots.h"

#include <sstream>

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

TEST(Geometry, NormalizeEmptinessAndIntersection) {
    EXPECT_EQ(NormalizeRect({100, 20, 10, 50}), (Rect{10, 20, 100, 50})); // one axis only
    EXPECT_EQ(NormalizeRect({kMax, kMax, kMin, kMin}), (Rect{kMin, kMin, kMax, kMax}));
    EXPECT_EQ(RectWidth({kMin, 0, kMax, 0}), (int64_t{1} << 32) - 1);
    EXPECT_TRUE(IsRectEmpty({kMax, 0, kMin, 10})); // reversed: the width is negative
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

// The record of window 0x1A2B over (-10, 20, 300, -40) as it travels: size 32, version 1, the
// window in 8 bytes, then left, top, right and bottom.
const HandOffBytes kWire = {0x20, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x2B, 0x1A, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0xF6, 0xFF, 0xFF, 0xFF, 0x14, 0x00,
                            0x00, 0x00, 0x2C, 0x01, 0x00, 0x00, 0xD8, 0xFF, 0xFF, 0xFF};

// The fuzzer checks acceptance against the record's rules, that what is accepted encodes back to
// its bytes and the clipping against a plain overlap; these pin the layout and what its envelope
// cannot vary.
TEST(HandOff, EncodesAcceptsRefusesAndClips) {
    EXPECT_EQ(EncodeHandOffRecord(MakeHandOffRecord(0x1A2B, {-10, 20, 300, -40})), kWire);
    const std::optional<HandOffRecord> record = AcceptHandOff(HANDOFF_TAG, 32, kWire.data());
    ASSERT_TRUE(record);
    EXPECT_EQ(std::make_pair(record->sourceWindow, record->rect),
              std::make_pair(uint64_t{0x1A2B}, Rect{-10, 20, 300, -40}));
    const HandOffBytes highest = EncodeHandOffRecord(MakeHandOffRecord(0xFFFFFFFF, {}));
    EXPECT_TRUE(AcceptHandOff(HANDOFF_TAG, 32, highest.data()));
    EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG | 1ull << 32, 32, kWire.data())) << "tag's upper half";
    EXPECT_FALSE(AcceptHandOff(HANDOFF_TAG, 32, nullptr));
    // The fuzzer holds every other field and the clipping to the virtual screen against their
    // rules; what it does not vary is here.
    EXPECT_EQ(ClipToVirtualScreen({1, 2, 3, 4}, 0, 0, 10, 10), (Rect{1, 2, 3, 4}));
}

// ParseArguments on a command line whose arguments are separated by '|', behind a program path,
// into a result that holds leftovers of an earlier parse: its flags, window and rectangle, or
// nothing when it refuses the line.
std::optional<std::tuple<uint32_t, uint32_t, Rect>> Parse(const wchar_t* line) {
    std::vector<std::wstring> args{L"Lumetta.exe"};
    std::wistringstream stream(line);
    for (std::wstring arg; std::getline(stream, arg, L'|');)
        args.push_back(arg);
    std::vector<const wchar_t*> argv;
    for (const std::wstring& arg : args)
        argv.push_back(arg.c_str());
    CommandLineArgs out{CMD_QUIT, 77, {1, 2, 3, 4}};
    if (!ParseArguments(static_cast<int>(argv.size()), argv.data(), &out)) return std::nullopt;
    return std::make_tuple(out.flags, out.sourceWindow, out.rect);
}

TEST(ParseArguments, OptionsInAnyCaseOrderAndRepetitionAndBadLines) {
    const Rect extremes{kMin, kMin, kMax, kMax};
    // command line, flags, source window, rectangle
    const std::tuple<const wchar_t*, uint32_t, uint32_t, Rect> cases[] = {
        {L"", 0, 0, {}},
        {L"-select|/STARTUP|/Select|-exit|/EXIT", CMD_STARTUP | CMD_EXIT, 0, {}},
        {L"-Install|/wAiT", CMD_INSTALL | CMD_WAIT, 0, {}},
        {L"-preview|0x1A2B|100|50|10|20", CMD_PREVIEW, 0x1A2B, {10, 20, 100, 50}},
        {L"/PREVIEW|012|-10|-10|10|10", CMD_PREVIEW, 10, {-10, -10, 10, 10}},
        {L"-preview|4294967295|0|0|1|1", CMD_PREVIEW, 0xFFFFFFFF, {0, 0, 1, 1}},
        // A minus behind white space is read, and wraps modulo 2^64.
        {L"-preview| -18446744073709551615|0|0|1|1", CMD_PREVIEW, 1, {0, 0, 1, 1}},
        {L"-preview|1|-2147483648|-02147483648|2147483647|+2147483647", CMD_PREVIEW, 1, extremes},
        // A later -preview replaces the earlier one; values are values even if they look like
        // options.
        {L"-preview|1|0|0|10|10|-preview|2|-1|-2|-3|-4", CMD_PREVIEW, 2, {-3, -4, -1, -2}},
    };
    for (const auto& [line, flags, window, rect] : cases)
        EXPECT_EQ(Parse(line), std::make_tuple(flags, window, rect)) << line;
    const wchar_t* const bad[] = {
        // No '-' or '/'; the name would be "-startup"; no abbreviations; a dotless i is no 'I'.
        L"startup", L"+startup", L"--startup", L"-star", L"-startups", L"-ex\u0131t",
        // No values, four values, a window that would wrap to 1, 0, 2^32 or 2^64 - 1.
        L"-preview", L"-preview|1|0|0|10", L"-preview|-18446744073709551615|0|0|10|10",
        L"-preview|0|0|0|10|10", L"-preview|4294967296|0|0|10|10", L"-preview| -1|0|0|10|10",
        // Width 0, height 0, coordinates outside 32 bits or not decimal.
        L"-preview|1|10|20|10|80", L"-preview|1|0|5|10|5", L"-preview|1|2147483648|0|10|10",
        L"-preview|1|0|-2147483649|10|10", L"-preview|1|0x10|0|20|10"};
    for (const wchar_t* line : bad)
        EXPECT_FALSE(Parse(line)) << line;
    const wchar_t* argv[] = {L"Lumetta.exe", nullptr};
    CommandLineArgs out;
    EXPECT_FALSE(ParseArguments(0, argv, &out));
    EXPECT_FALSE(ParseArguments(1, nullptr, &out));
    EXPECT_FALSE(ParseArguments(1, argv, nullptr));
    EXPECT_FALSE(ParseArguments(2, argv, &out)); // a missing argument
}

// The fuzzer compares both parsers with wcstoull and wcstoll on all the ASCII text it makes;
// these are anchors for it, and the text it does not compare.
TEST(NumberParsing, UnsignedWithBasePrefixAndSignedDecimal) {
    // text, as unsigned, as signed; only the C locale's white space is skipped, and a fullwidth
    // digit is no digit
    using U = std::optional<uint64_t>;
    using S = std::optional<int64_t>;
    const std::pair<const wchar_t*, std::pair<U, S>> cases[] = {
        {L"01777777777777777777777", {UINT64_MAX, {}}},
        {L"-9223372036854775808", {9223372036854775808u, INT64_MIN}},
        {L"\u00A01", {}},
        {L"\uFF11", {}}};
    ExpectRows(cases, [](const wchar_t* text) {
        uint64_t u = 12345;
        int64_t s = 12345;
        return std::make_pair(ParseUnsignedNumber(text, &u) ? U(u) : std::nullopt,
                              ParseSignedDecimal(text, &s) ? S(s) : std::nullopt);
    });
    uint64_t u = 0;
    EXPECT_FALSE(ParseUnsignedNumber(nullptr, &u));
    EXPECT_FALSE(ParseUnsignedNumber(L"1", nullptr));
}

TEST(ProcessRole, FollowsTheCommandFlagsAndSilentMode) {
    // command flags, settings flags, runs a selection, starts a main instance when none runs
    const std::tuple<uint32_t, uint32_t, std::pair<bool, bool>> cases[] = {
        {0, SETTINGS_DEFAULT_FLAGS, {true, true}},
        {CMD_WAIT, SETTINGS_SILENT_MODE, {true, true}},
        {CMD_STARTUP, SETTINGS_DEFAULT_FLAGS, {false, true}},
        {CMD_INSTALL, SETTINGS_SILENT_MODE, {false, false}},
        {CMD_STARTUP | CMD_WAIT, SETTINGS_SILENT_MODE, {false, true}},
        {CMD_PREVIEW, SETTINGS_SILENT_MODE, {false, true}},
        {CMD_EXIT | CMD_WAIT, 0, {false, false}},
    };
    ExpectRows(cases, [](uint32_t command, uint32_t settings) {
        return std::make_pair(IsSelectionRole(command), ShouldStartMainInstance(command, settings));
    });
    EXPECT_EQ(InstanceCommandFlags(CMD_PREVIEW | CMD_EXIT | CMD_WAIT), CMD_EXIT | CMD_WAIT);
}

// Adding takes the first free slot; replacing takes the first open slot from 1 up, else slot 0.
TEST(ChooseSlot, AddingTakesAFreeSlotAndReplacingTheOpenOne) {
    // adding (multiple previews), the open slots, the slot chosen
    const std::tuple<bool, std::vector<size_t>, int> cases[] = {
        {true, {}, 0},   {true, {0, 1, 3}, 2}, {false, {}, 0},    {false, {7}, 7},
        {false, {0}, 0}, {false, {0, 5}, 5},   {false, {99}, 99},
    };
    ExpectRows(cases, [](bool adding, const std::vector<size_t>& open) {
        SlotStates states{};
        for (size_t s : open)
            states[s] = true;
        const SlotChoice choice = ChooseSlot(states, adding);
        return choice.limitReached ? -2 : choice.slot;
    });
    SlotStates all{};
    all.fill(true);
    EXPECT_FALSE(ChooseSlot(all, false).limitReached);
    EXPECT_EQ(ChooseSlot(all, true).slot, -1);
    EXPECT_TRUE(ChooseSlot(all, true).limitReached);
    all[99] = false;
    EXPECT_EQ(ChooseSlot(all, true).slot, 99);
}

} // namespace
