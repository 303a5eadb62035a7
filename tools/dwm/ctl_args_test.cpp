#include "tools/dwm/ctl_args.h"

#include <gtest/gtest.h>

namespace dwmrig {
namespace {

struct CtlCase {
    std::vector<std::string> args;
    CtlCommand command;
    bool on;
    uint64_t hwnd;
    uint64_t value;
};

class ParseCtlArgsTest : public testing::TestWithParam<CtlCase> {};

TEST_P(ParseCtlArgsTest, Parses) {
    const CtlCase& c = GetParam();
    const CtlRequest r = ParseCtlArgs(c.args);
    std::string line;
    for (const auto& a : c.args)
        line += a + " ";
    ASSERT_EQ(r.command, c.command) << line;
    if (c.command == CtlCommand::Invalid) {
        EXPECT_FALSE(r.error.empty()) << line;
        return;
    }
    EXPECT_EQ(r.on, c.on) << line;
    EXPECT_EQ(r.hwnd, c.hwnd) << line;
    EXPECT_EQ(r.value, c.value) << line;
}

constexpr CtlCommand kBad = CtlCommand::Invalid;

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCtlArgsTest,
    testing::Values(
        CtlCase{{"composition", "on"}, CtlCommand::Composition, true, 0, 0},
        CtlCase{{"composition", "off"}, CtlCommand::Composition, false, 0, 0},
        CtlCase{{"cloak", "0x1a2b", "2"}, CtlCommand::Cloak, false, 0x1a2b, 2},
        CtlCase{{"cloak", "1A2B", "0x4"}, CtlCommand::Cloak, false, 0x1a2b, 4},
        CtlCase{{"cloak", "10020", "0"}, CtlCommand::Cloak, false, 0x10020, 0},
        CtlCase{{"refuse", "0x10020"}, CtlCommand::Refuse, true, 0x10020, 0x80070057},
        CtlCase{{"refuse", "0x10020", "0x80004005"}, CtlCommand::Refuse, true, 0x10020, 0x80004005},
        CtlCase{{"refuse", "0x10020", "80004005"}, CtlCommand::Refuse, true, 0x10020, 0x80004005},
        CtlCase{{"refuse", "0x10020", "off"}, CtlCommand::Refuse, false, 0x10020, 0x80070057},
        CtlCase{{}, kBad, false, 0, 0}, CtlCase{{"composition"}, kBad, false, 0, 0},
        CtlCase{{"composition", "maybe"}, kBad, false, 0, 0},
        CtlCase{{"composition", "on", "now"}, kBad, false, 0, 0},
        CtlCase{{"cloak", "0x10"}, kBad, false, 0, 0},
        CtlCase{{"cloak", "zz", "1"}, kBad, false, 0, 0},
        CtlCase{{"cloak", "0", "1"}, kBad, false, 0, 0},
        CtlCase{{"cloak", "0x10", "4294967296"}, kBad, false, 0, 0},
        CtlCase{{"cloak", "0x10", "-1"}, kBad, false, 0, 0},
        CtlCase{{"refuse", "0x10", "0"}, kBad, false, 0, 0},
        CtlCase{{"refuse", "0x10", "0x1ffffffff"}, kBad, false, 0, 0},
        CtlCase{{"refuse", "0x10", "0x80004005", "x"}, kBad, false, 0, 0},
        CtlCase{{"uncloak", "0x10"}, kBad, false, 0, 0}));

TEST(ParseNumber, RejectsOverflowAndEmptyDigits) {
    uint64_t v = 0;
    EXPECT_TRUE(ParseHex("ffffffffffffffff", &v));
    EXPECT_EQ(v, UINT64_MAX);
    EXPECT_FALSE(ParseHex("1ffffffffffffffff", &v));
    EXPECT_FALSE(ParseHex("0x", &v));
    EXPECT_FALSE(ParseHex("", &v));
    EXPECT_FALSE(ParseNumber("18446744073709551616", &v));
    EXPECT_TRUE(ParseNumber("18446744073709551615", &v));
    EXPECT_FALSE(ParseNumber("12a", &v));
}

} // namespace
} // namespace dwmrig
