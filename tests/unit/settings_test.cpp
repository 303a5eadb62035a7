#include "options/settings.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace lumetta {
namespace {

TEST(Settings, DefaultsAreTopmostMultiplePreviewsAndMaximize) {
    const Settings settings;
    EXPECT_EQ(settings.flags, 5u);
    EXPECT_EQ(settings.dblAction, 20102u);
}

TEST(Settings, StoredDwordIsKeptOnlyWhenItIsOne) {
    struct Case {
        const char* what;
        DwordQuery query;
        uint32_t expected;
    };
    const Case cases[] = {
        {"valid", {true, true, 4, 0xFFFFFFF0}, 0xFFFFFFF0},
        {"valid zero", {true, true, 4, 0}, 0},
        {"query failed", {false, true, 4, 9}, 77},
        {"another type", {true, false, 4, 9}, 77},
        {"DWORD of 8 bytes", {true, true, 8, 9}, 77},
        {"DWORD of 2 bytes", {true, true, 2, 9}, 77},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DwordOrDefault(c.query, 77), c.expected) << c.what;
    }
}

std::wstring TextOf(const AutostartCommand& command) {
    return std::wstring(command.text, command.length);
}

bool RestIsZero(const AutostartCommand& command) {
    for (uint32_t i = command.length; i < AUTOSTART_BUFFER_UNITS; ++i) {
        if (command.text[i] != 0) return false;
    }
    return true;
}

TEST(Autostart, QuotesThePathAndAddsTheSwitch) {
    const std::wstring path = L"D:\\Apps\\Lumetta.exe";
    AutostartCommand command;
    ASSERT_TRUE(BuildAutostartCommand(path.c_str(), path.size(), &command));
    EXPECT_EQ(TextOf(command), L"\"D:\\Apps\\Lumetta.exe\" /startup");
    EXPECT_EQ(command.length, 30u);
    EXPECT_EQ(command.byteCount, 62u); // the terminating null included
    EXPECT_TRUE(RestIsZero(command));
}

TEST(Autostart, PathMayNotFillItsCapacity) {
    const std::wstring longest(AUTOSTART_PATH_CAPACITY - 1, L'p');
    AutostartCommand command;
    ASSERT_TRUE(BuildAutostartCommand(longest.c_str(), longest.size(), &command));
    EXPECT_EQ(command.length, 1018u);
    EXPECT_EQ(command.byteCount, 2038u);
    EXPECT_EQ(TextOf(command), L"\"" + longest + L"\" /startup");
    EXPECT_TRUE(RestIsZero(command));

    // GetModuleFileNameW returns the capacity when it had to cut the path.
    const std::wstring cut(AUTOSTART_PATH_CAPACITY, L'p');
    EXPECT_FALSE(BuildAutostartCommand(cut.c_str(), cut.size(), &command));
    EXPECT_FALSE(BuildAutostartCommand(cut.c_str(), cut.size() + 100, &command));
    EXPECT_FALSE(BuildAutostartCommand(L"", 0, &command)); // the fetch failed
    EXPECT_FALSE(BuildAutostartCommand(nullptr, 5, &command));
    EXPECT_FALSE(BuildAutostartCommand(L"a", 1, nullptr));
}

} // namespace
} // namespace lumetta
