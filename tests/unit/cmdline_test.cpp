#include "app/cmdline.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/base/settings.h"
#include "tests/unit/printers.h"

namespace lumetta {
namespace {

// Runs ParseArguments on the given arguments behind a program path.
bool Parse(std::initializer_list<const wchar_t*> args, CommandLineArgs* out) {
    std::vector<const wchar_t*> argv{L"C:\\Program Files\\Lumetta\\Lumetta.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    return ParseArguments(static_cast<int>(argv.size()), argv.data(), out);
}

std::string Describe(std::initializer_list<const wchar_t*> args) {
    std::string text;
    for (const wchar_t* arg : args) {
        text += " [";
        for (const wchar_t* p = arg; p && *p; ++p) {
            text += (*p >= 0x20 && *p < 0x7F) ? static_cast<char>(*p) : '?';
        }
        text += "]";
    }
    return text;
}

struct AcceptedCase {
    std::initializer_list<const wchar_t*> args;
    uint32_t flags;
    uint32_t window;
    Rect rect;
};

TEST(ParseArguments, AcceptsOptionsInAnyCaseOrderAndRepetition) {
    const AcceptedCase cases[] = {
        {{}, 0, 0, {}},
        {{L"-select"}, 0, 0, {}},
        {{L"-exit"}, CMD_EXIT, 0, {}},
        {{L"/STARTUP"}, CMD_STARTUP, 0, {}},
        {{L"-Install", L"/wAiT"}, CMD_INSTALL | CMD_WAIT, 0, {}},
        {{L"-startup", L"-wait"}, CMD_STARTUP | CMD_WAIT, 0, {}},
        {{L"-exit", L"/EXIT", L"-select", L"/Select"}, CMD_EXIT, 0, {}},
        {{L"-preview", L"0x1A2B", L"100", L"50", L"10", L"20"},
         CMD_PREVIEW,
         0x1A2B,
         {10, 20, 100, 50}},
        {{L"/PREVIEW", L"5", L"-10", L"-10", L"10", L"10"}, CMD_PREVIEW, 5, {-10, -10, 10, 10}},
        {{L"-preview", L"012", L"0", L"0", L"10", L"10"}, CMD_PREVIEW, 10, {0, 0, 10, 10}},
        {{L"-preview", L"0X1f", L"0", L"0", L"1", L"1"}, CMD_PREVIEW, 31, {0, 0, 1, 1}},
        {{L"-preview", L"4294967295", L"0", L"0", L"1", L"1"},
         CMD_PREVIEW,
         0xFFFFFFFF,
         {0, 0, 1, 1}},
        {{L"-preview", L"+7", L"0", L"0", L"1", L"1"}, CMD_PREVIEW, 7, {0, 0, 1, 1}},
        {{L"-preview", L" \t\n\v\f\r7", L"0", L"0", L"1", L"1"}, CMD_PREVIEW, 7, {0, 0, 1, 1}},
        // A minus behind white space is read, and wraps modulo 2^64.
        {{L"-preview", L" -18446744073709551615", L"0", L"0", L"1", L"1"},
         CMD_PREVIEW,
         1,
         {0, 0, 1, 1}},
        {{L"-preview", L"1", L" +5", L"\t-5", L"0", L"0"}, CMD_PREVIEW, 1, {0, -5, 5, 0}},
        {{L"-preview", L"1", L"-2147483648", L"-02147483648", L"2147483647", L"+2147483647"},
         CMD_PREVIEW,
         1,
         {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}},
        // A later -preview replaces the earlier one.
        {{L"-preview", L"1", L"0", L"0", L"10", L"10", L"-preview", L"2", L"5", L"5", L"20", L"30"},
         CMD_PREVIEW,
         2,
         {5, 5, 20, 30}},
        {{L"-wait", L"-preview", L"9", L"1", L"2", L"3", L"4", L"-exit"},
         CMD_WAIT | CMD_PREVIEW | CMD_EXIT,
         9,
         {1, 2, 3, 4}},
        // The five values are taken as values even when they look like options.
        {{L"-preview", L"3", L"-1", L"-2", L"-3", L"-4"}, CMD_PREVIEW, 3, {-3, -4, -1, -2}},
    };
    for (const AcceptedCase& c : cases) {
        SCOPED_TRACE(Describe(c.args));
        CommandLineArgs out;
        ASSERT_TRUE(Parse(c.args, &out));
        EXPECT_EQ(out.flags, c.flags);
        EXPECT_EQ(out.sourceWindow, c.window);
        EXPECT_EQ(out.rect, c.rect);
    }
}

TEST(ParseArguments, RejectsBadCommandLines) {
    const std::initializer_list<const wchar_t*> cases[] = {
        {L"startup"},   // no '-' or '/'
        {L"--startup"}, // the name would be "-startup"
        {L"//exit"},
        {L"-"},
        {L"/"},
        {L""},
        {L"-star"}, // no abbreviations
        {L"-startups"},
        {L"-exit", L"bogus"},
        {L"-ex it"},
        {L"-\xFF25xit"}, // fullwidth E is not folded
        {L"-ex\x0131t"}, // neither is a dotless i
        {L"-preview"},
        {L"-preview", L"1", L"0", L"0", L"10"}, // four values
        {L"-preview", L"-5", L"0", L"0", L"10", L"10"},
        {L"-preview", L"4294967296", L"0", L"0", L"10", L"10"},
        {L"-preview", L"0", L"0", L"0", L"10", L"10"},
        {L"-preview", L"0x0", L"0", L"0", L"10", L"10"},
        {L"-preview", L" -0", L"0", L"0", L"10", L"10"},
        {L"-preview", L" -1", L"0", L"0", L"10", L"10"}, // 2^64 - 1
        {L"-preview", L"", L"0", L"0", L"10", L"10"},
        {L"-preview", L"0x", L"0", L"0", L"10", L"10"},
        {L"-preview", L"08", L"0", L"0", L"10", L"10"},
        {L"-preview", L"12abc", L"0", L"0", L"10", L"10"},
        {L"-preview", L"12 ", L"0", L"0", L"10", L"10"},
        {L"-preview", L"18446744073709551616", L"0", L"0", L"10", L"10"},
        {L"-preview", L"\xFF11", L"0", L"0", L"10", L"10"},   // fullwidth digit
        {L"-preview", L"0x1A2B", L"10", L"20", L"10", L"80"}, // width 0
        {L"-preview", L"1", L"0", L"5", L"10", L"5"},         // height 0
        {L"-preview", L"1", L"2147483648", L"0", L"10", L"10"},
        {L"-preview", L"1", L"0", L"-2147483649", L"10", L"10"},
        {L"-preview", L"1", L"0", L"0", L"99999999999999999999", L"10"},
        {L"-preview", L"1", L"0", L"0", L"10", L""},
        {L"-preview", L"1", L"0x10", L"0", L"20", L"10"}, // coordinates are decimal only
        {L"-preview", L"1", L"1.5", L"0", L"20", L"10"},
        {L"-preview", L"1", L"0", L"0", L"10", L"10", L"-bogus"},
        {L"-preview", L"1", L"0", L"0", L"10", L"10", L"-preview"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(Describe(args));
        CommandLineArgs out;
        EXPECT_FALSE(Parse(args, &out));
    }
}

TEST(ParseArguments, RejectsMissingInput) {
    const wchar_t* argv[] = {L"Lumetta.exe", nullptr};
    CommandLineArgs out;
    EXPECT_FALSE(ParseArguments(0, argv, &out));
    EXPECT_FALSE(ParseArguments(1, nullptr, &out));
    EXPECT_FALSE(ParseArguments(1, argv, nullptr));
    EXPECT_FALSE(ParseArguments(2, argv, &out)); // a missing argument
    EXPECT_TRUE(ParseArguments(1, argv, &out));
}

TEST(ParseArguments, StartsFromAFreshResult) {
    CommandLineArgs out;
    out.flags = CMD_QUIT;
    out.sourceWindow = 77;
    out.rect = {1, 2, 3, 4};
    ASSERT_TRUE(Parse({L"-exit"}, &out));
    EXPECT_EQ(out.flags, CMD_EXIT);
    EXPECT_EQ(out.sourceWindow, 0u);
    EXPECT_EQ(out.rect, (Rect{}));
}

TEST(NumberParsing, UnsignedWithBasePrefix) {
    struct Case {
        const wchar_t* text;
        bool ok;
        uint64_t value;
    };
    const Case cases[] = {
        {L"0", true, 0},
        {L"00", true, 0},
        {L"0x0", true, 0},
        {L"-0", true, 0},
        {L"18446744073709551615", true, UINT64_MAX},
        {L"0xFFFFFFFFFFFFFFFF", true, UINT64_MAX},
        {L"0xffffffffffffffff", true, UINT64_MAX},
        {L"01777777777777777777777", true, UINT64_MAX},
        {L"-1", true, UINT64_MAX},
        {L"-18446744073709551615", true, 1},
        {L"0x00000000000000000001", true, 1}, // leading zeros are not overflow
        {L"18446744073709551616", false, 0},
        {L"0x10000000000000000", false, 0},
        {L"02000000000000000000000", false, 0},
        {L"-18446744073709551616", false, 0},
        {L"", false, 0},
        {L" ", false, 0},
        {L"+", false, 0},
        {L"-", false, 0},
        {L"- 1", false, 0},
        {L"+-1", false, 0},
        {L"1-", false, 0},
        {L"0xg", false, 0},
        {L"x1", false, 0},
        {L"09", false, 0},
        {L"1 2", false, 0},
        {L"\xA0"
         L"1",
         false, 0}, // only the C locale's white space is skipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe({c.text}));
        uint64_t value = 12345;
        EXPECT_EQ(ParseUnsignedNumber(c.text, &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
    uint64_t value = 0;
    EXPECT_FALSE(ParseUnsignedNumber(nullptr, &value));
    EXPECT_FALSE(ParseUnsignedNumber(L"1", nullptr));
}

TEST(NumberParsing, SignedDecimal) {
    struct Case {
        const wchar_t* text;
        bool ok;
        int64_t value;
    };
    const Case cases[] = {
        {L"0", true, 0},
        {L"042", true, 42}, // decimal, not octal
        {L" -42", true, -42},
        {L"+42", true, 42},
        {L"9223372036854775807", true, INT64_MAX},
        {L"-9223372036854775808", true, INT64_MIN},
        {L"9223372036854775808", false, 0},
        {L"-9223372036854775809", false, 0},
        {L"18446744073709551616", false, 0},
        {L"0x1", false, 0},
        {L"", false, 0},
        {L"-", false, 0},
        {L"5 ", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe({c.text}));
        int64_t value = 12345;
        EXPECT_EQ(ParseSignedDecimal(c.text, &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(ProcessRole, FollowsTheCommandFlags) {
    // No option, -select and -wait select; any of exit, startup, preview, install does not.
    EXPECT_TRUE(IsSelectionRole(0));
    EXPECT_TRUE(IsSelectionRole(CMD_WAIT));
    for (uint32_t flag : {CMD_EXIT, CMD_STARTUP, CMD_PREVIEW, CMD_INSTALL}) {
        EXPECT_FALSE(IsSelectionRole(flag)) << flag;
        EXPECT_FALSE(IsSelectionRole(flag | CMD_WAIT)) << flag;
    }
    EXPECT_EQ(InstanceCommandFlags(CMD_PREVIEW | CMD_EXIT | CMD_WAIT), CMD_EXIT | CMD_WAIT);
    EXPECT_EQ(InstanceCommandFlags(CMD_PREVIEW), 0u);
}

TEST(ProcessRole, MainInstanceStartsUnlessExitOrIdleSilentMode) {
    struct Case {
        uint32_t commandFlags;
        uint32_t settingsFlags;
        bool starts;
    };
    const Case cases[] = {
        {CMD_STARTUP, SETTINGS_DEFAULT_FLAGS, true},
        {CMD_INSTALL, SETTINGS_DEFAULT_FLAGS, true},
        {CMD_STARTUP, SETTINGS_SILENT_MODE, false},
        {CMD_INSTALL, SETTINGS_SILENT_MODE, false},
        {CMD_STARTUP | CMD_WAIT, SETTINGS_SILENT_MODE, true},
        {CMD_PREVIEW, SETTINGS_SILENT_MODE, true},
        {CMD_EXIT, 0, false},
        {CMD_EXIT | CMD_PREVIEW, 0, false},
        {CMD_EXIT | CMD_STARTUP | CMD_WAIT, SETTINGS_SILENT_MODE, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShouldStartMainInstance(c.commandFlags, c.settingsFlags), c.starts)
            << std::hex << c.commandFlags << " with settings " << c.settingsFlags;
    }
}

} // namespace
} // namespace lumetta
