#include "options/settings.h"

#include "tests/unit/printers.h"

using namespace lumetta;

TEST(Settings, StoredDwordIsKeptOnlyWhenItIsOne) {
    // Succeeded, REG_DWORD, size, value: only a 4-byte REG_DWORD read back is taken.
    const std::pair<DwordQuery, uint32_t> cases[] = {
        {{true, true, 4, 0xFFFFFFF0}, 0xFFFFFFF0},
        {{true, true, 4, 0}, 0},
        {{false, true, 4, 9}, 77},
        {{true, false, 4, 9}, 77},
        {{true, true, 8, 9}, 77},
        {{true, true, 2, 9}, 77},
    };
    ExpectRows(cases, [](const DwordQuery& q) { return DwordOrDefault(q, 77); });
}

// The path is quoted and followed by the switch, counted in UTF-16 units whatever wchar_t is and
// with the terminating null; a path that fills its capacity may have been cut and is refused.
TEST(Autostart, QuotesThePathAndRefusesOneThatMayBeCut) {
    // path, bytes to store (0: refused)
    const std::pair<std::wstring, uint32_t> cases[] = {
        {L"D:\\Apps\\Lumetta.exe", 62},
        {std::wstring(AUTOSTART_PATH_CAPACITY - 1, L'p'), 2038},
        {std::wstring(AUTOSTART_PATH_CAPACITY, L'p'), 0},
        {L"", 0}, // the fetch failed
    };
    for (const auto& [path, byteCount] : cases) {
        AutostartCommand command;
        ASSERT_EQ(BuildAutostartCommand(path.c_str(), path.size(), &command), byteCount != 0)
            << path.size();
        if (!byteCount) continue;
        EXPECT_EQ(std::wstring(command.text, command.length), L"\"" + path + L"\" /startup");
        EXPECT_EQ(command.byteCount, byteCount);
        EXPECT_EQ(command.text[command.length], 0);
    }
    AutostartCommand command;
    EXPECT_FALSE(BuildAutostartCommand(nullptr, 5, &command));
    EXPECT_FALSE(BuildAutostartCommand(L"a", 1, nullptr));
}
