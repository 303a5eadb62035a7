#include "app/cmdline.h"

#include <sstream>

#include "app/base/settings.h"
#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

// ParseArguments on a command line whose arguments are separated by '|', behind a program path,
// into a result that holds leftovers of an earlier parse.
bool Parse(const wchar_t* line, CommandLineArgs* out) {
    std::vector<std::wstring> args{L"Lumetta.exe"};
    std::wistringstream stream(line);
    for (std::wstring arg; std::getline(stream, arg, L'|');)
        args.push_back(arg);
    std::vector<const wchar_t*> argv;
    for (const std::wstring& arg : args)
        argv.push_back(arg.c_str());
    *out = CommandLineArgs{CMD_QUIT, 77, {1, 2, 3, 4}};
    return ParseArguments(static_cast<int>(argv.size()), argv.data(), out);
}

TEST(ParseArguments, AcceptsOptionsInAnyCaseOrderAndRepetition) {
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
    for (const auto& [line, flags, window, rect] : cases) {
        SCOPED_TRACE(line);
        CommandLineArgs out;
        ASSERT_TRUE(Parse(line, &out));
        EXPECT_EQ(out.flags, flags);
        EXPECT_EQ(out.sourceWindow, window);
        EXPECT_EQ(out.rect, rect);
    }
}

TEST(ParseArguments, RejectsBadCommandLines) {
    const wchar_t* const cases[] = {
        // No '-' or '/'; the name would be "-startup"; no abbreviations; a dotless i is no 'I'.
        L"startup", L"+startup", L"--startup", L"-star", L"-startups", L"-ex\u0131t",
        // No values, four values, a window that would wrap to 1, 0, 2^32 or 2^64 - 1.
        L"-preview", L"-preview|1|0|0|10", L"-preview|-18446744073709551615|0|0|10|10",
        L"-preview|0|0|0|10|10", L"-preview|4294967296|0|0|10|10", L"-preview| -1|0|0|10|10",
        // Width 0, height 0, coordinates outside 32 bits or not decimal.
        L"-preview|1|10|20|10|80", L"-preview|1|0|5|10|5", L"-preview|1|2147483648|0|10|10",
        L"-preview|1|0|-2147483649|10|10", L"-preview|1|0x10|0|20|10"};
    for (const wchar_t* line : cases) {
        CommandLineArgs out;
        EXPECT_FALSE(Parse(line, &out)) << line;
    }
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
    const std::tuple<const wchar_t*, std::optional<uint64_t>, std::optional<int64_t>> cases[] = {
        {L"042", 34, 42},
        {L"0x1f", 31, {}},
        {L" \t\n\v\f\r+7", 7, 7},
        {L"-1", UINT64_MAX, -1},
        {L"18446744073709551615", UINT64_MAX, {}},
        {L"01777777777777777777777", UINT64_MAX, {}},
        {L"18446744073709551616", {}, {}},
        {L"0x10000000000000000", {}, {}},
        {L"-9223372036854775808", 9223372036854775808u, INT64_MIN},
        {L"9223372036854775808", 9223372036854775808u, {}},
        {L"09", {}, 9},
        // Only the C locale's white space is skipped; a fullwidth digit is no digit.
        {L"\u00A01", {}, {}},
        {L"\uFF11", {}, {}}};
    for (const auto& [text, asUnsigned, asSigned] : cases) {
        uint64_t u = 12345;
        int64_t s = 12345;
        const bool unsignedOk = ParseUnsignedNumber(text, &u);
        EXPECT_EQ(unsignedOk ? std::optional<uint64_t>(u) : std::nullopt, asUnsigned) << text;
        const bool signedOk = ParseSignedDecimal(text, &s);
        EXPECT_EQ(signedOk ? std::optional<int64_t>(s) : std::nullopt, asSigned) << text;
    }
    uint64_t u = 0;
    EXPECT_FALSE(ParseUnsignedNumber(nullptr, &u));
    EXPECT_FALSE(ParseUnsignedNumber(L"1", nullptr));
}

TEST(ProcessRole, FollowsTheCommandFlagsAndSilentMode) {
    // command flags, settings flags, runs a selection, starts a main instance when none runs
    const std::tuple<uint32_t, uint32_t, bool, bool> cases[] = {
        {0, SETTINGS_DEFAULT_FLAGS, true, true},
        {CMD_WAIT, SETTINGS_SILENT_MODE, true, true},
        {CMD_STARTUP, SETTINGS_DEFAULT_FLAGS, false, true},
        {CMD_INSTALL, SETTINGS_SILENT_MODE, false, false},
        {CMD_STARTUP | CMD_WAIT, SETTINGS_SILENT_MODE, false, true},
        {CMD_PREVIEW, SETTINGS_SILENT_MODE, false, true},
        {CMD_EXIT | CMD_WAIT, 0, false, false},
    };
    for (const auto& [command, settings, selects, starts] : cases) {
        EXPECT_EQ(IsSelectionRole(command), selects) << std::hex << command;
        EXPECT_EQ(ShouldStartMainInstance(command, settings), starts)
            << std::hex << command << " with settings " << settings;
    }
    EXPECT_EQ(InstanceCommandFlags(CMD_PREVIEW | CMD_EXIT | CMD_WAIT), CMD_EXIT | CMD_WAIT);
}

} // namespace
