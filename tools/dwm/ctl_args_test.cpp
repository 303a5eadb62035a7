#include "tools/dwm/ctl_args.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dwmrig {
namespace {

// dwm_selftest runs dwmctl with lines it takes and sees their effect; these it refuses.
TEST(ParseCtlArgs, RefusesWithAReason) {
    for (const char* line :
         {"", "composition", "composition maybe", "composition on now", "cloak 0x10", "cloak zz 1",
          "cloak 0 1", "cloak 0x 1", "cloak 1ffffffffffffffff 1", "cloak 0x10 4294967296",
          "cloak 0x10 -1", "cloak 0x10 12a", "refuse 0x10 0", "refuse 0x10 0x1ffffffff",
          "refuse 0x10 0x80004005 x", "uncloak 0x10"}) {
        std::istringstream words(line);
        std::vector<std::string> args;
        for (std::string word; words >> word;)
            args.push_back(word);
        const CtlRequest r = ParseCtlArgs(args);
        EXPECT_EQ(r.command, CtlCommand::Invalid) << line;
        EXPECT_FALSE(r.error.empty()) << line;
    }
}

TEST(ParseNumber, TakesAll64BitsAndNoMore) {
    uint64_t v = 0;
    EXPECT_TRUE(ParseHex("ffffffffffffffff", &v) && v == UINT64_MAX);
    EXPECT_TRUE(ParseNumber("18446744073709551615", &v) && v == UINT64_MAX);
    EXPECT_FALSE(ParseNumber("18446744073709551616", &v));
}

} // namespace
} // namespace dwmrig
