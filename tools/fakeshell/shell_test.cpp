#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/fakeshell/shell_options.h"
#include "tools/fakeshell/shell_pattern.h"
#include "tools/fixture/fill.h"

namespace rig {
namespace {

TEST(ShellArgs, ReadyFileOrNothing) {
    struct Case {
        std::vector<const wchar_t*> args;
        bool ok;
        std::wstring readyFile;
    };
    const Case cases[] = {
        {{}, true, L""},
        {{L"--ready-file", L"Z:\\tmp\\shell"}, true, L"Z:\\tmp\\shell"},
        {{L"--ready-file"}, false, L""},
        {{L"--ready-file", L""}, false, L""},
        {{L"--ready-file", L"a", L"--ready-file", L"b"}, false, L""},
        {{L"--fps", L"1"}, false, L""},
        {{L"Z:\\tmp\\shell"}, false, L""},
    };
    for (const Case& c : cases) {
        std::vector<const wchar_t*> argv = c.args;
        argv.insert(argv.begin(), L"fakeshell.exe");
        ShellOptions options;
        std::wstring error;
        const bool ok = ParseShellArgs(int(argv.size()), argv.data(), &options, &error);
        EXPECT_EQ(ok, c.ok) << argv.size();
        if (ok)
            EXPECT_EQ(options.readyFile, c.readyFile);
        else
            EXPECT_FALSE(error.empty());
    }
}

TEST(ShellPattern, FilledDesktopShowsScreenPositions) {
    // A virtual screen that starts left of and above the primary monitor.
    const int32_t left = -260;
    const int32_t top = -3;
    const int32_t width = 300;
    const int32_t height = 6;
    std::vector<uint32_t> pixels(size_t(width * height));
    FillFixturePattern(pixels.data(), width, height, left, top, SHELL_PATTERN_BLUE, 255);
    struct Probe {
        int32_t screenX, screenY;
        Rgb expected;
    };
    const Probe probes[] = {
        {-260, -3, {252, 253, 0x40}},
        {-1, -1, {255, 255, 0x40}},
        {0, 0, {0, 0, 0x40}},
        {39, 2, {39, 2, 0x40}},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(ExpectedShellPixel(p.screenX, p.screenY), p.expected);
        const uint32_t pixel = pixels[size_t((p.screenY - top) * width + (p.screenX - left))];
        EXPECT_EQ(pixel, PackPremultipliedBgra(p.expected, 255)) << p.screenX << "," << p.screenY;
    }
}

} // namespace
} // namespace rig
