#include "options/dialog.h"
#include "options/settings.h"

#include "tests/unit/printers.h"

using namespace lumetta;

namespace {

// The controls and the settings as tuples, to compare and print.
auto Tie(const GeneralControls& c) {
    return std::make_tuple(c.silentMode, c.keepOnTop, c.taskbarButtons, c.newPreviewAction,
                           c.dblClickAction);
}
auto Tie(const Settings& s) {
    return std::make_pair(s.flags, s.dblAction);
}

TEST(OptionsControls, ShowTheSettingsAndRebuildThemFromNothing) {
    struct Case {
        Settings stored;
        GeneralControls shown; // newPreviewAction, dblClickAction
        Settings saved;
    } const cases[] = {
        {{5, 20102}, {false, true, false, 4u, 20102u}, {5, 20102}},
        {{0xFFFFFFFF, 20108}, {true, true, true, 4u, 20108u}, {0xF, 20108}},
        {{0x2, 20100}, {false, false, true, 0u, 20100u}, {0x2, 20100}},
        {{0x8, 20101}, {true, false, false, 0u, 20101u}, {0x8, 20101}},
        {{0x1, 20104}, {false, true, false, 0u, 20102u}, {0x1, 20102}}, // Zoom In is not offered
        {{0x4, 0}, {false, false, false, 4u, 20102u}, {0x4, 20102}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tie(ControlsFromSettings(c.stored)), Tie(c.shown)) << c.stored.flags;
        EXPECT_EQ(Tie(SettingsFromControls(c.shown)), Tie(c.saved)) << c.stored.flags;
    }
    // No selection, an unreadable item or a value no item has: replace mode and Maximize.
    for (const std::optional<uint32_t>& value : {std::optional<uint32_t>{}, {20104u}, {1u}})
        EXPECT_EQ(Tie(SettingsFromControls({false, true, false, value, value})),
                  std::make_pair(uint32_t{SETTINGS_KEEP_ON_TOP}, 20102u));
}

TEST(OptionsLayout, PageFitButtonsTitleFontIconBoxAndLinkColour) {
    // page size, display area, growth
    const std::tuple<Point, Rect, Point> fits[] = {
        {{383, 293}, {7, 28, 372, 316}, {18, 5}},
        {{383, 293}, {7, 28, 390, 321}, {0, 0}},
        {{100, 100}, {0, 0, 120, 130}, {-20, -30}},
        {{10, 10}, {50, 50, 40, 40}, {20, 20}}, // a reversed area
    };
    ExpectRows(fits, PageFitGrowth);
    // client, margin, OK size, Cancel size, OK and Cancel places
    const std::tuple<Point, Point, Point, Point, std::pair<Point, Point>> buttons[] = {
        {{400, 363}, {8, 7}, {83, 26}, {83, 26}, {{222, 330}, {309, 330}}},
        {{400, 363}, {9, 7}, {83, 26}, {83, 26}, {{221, 330}, {308, 330}}}, // half of 9 is 4
        {{10, 10}, {8, 7}, {83, 26}, {83, 26}, {{-168, -23}, {-81, -23}}},
    };
    ExpectRows(buttons, [](Point client, Point margin, Point ok, Point cancel) {
        const ButtonPlaces places = LayOutButtons(client, margin, ok, cancel);
        return std::make_pair(places.ok, places.cancel);
    });
    // The About page: title font height from the base one, icon box side from the page width.
    const std::pair<int32_t, int32_t> heights[] = {{-12, -21}, {-16, -28}, {-13, -22},
                                                   {12, 21},   {0, 0},     {kMin, kMin}};
    ExpectRows(heights, TitleFontHeight);
    const std::pair<int32_t, int32_t> sides[] = {{59, 56}, {64, 64}, {89, 88}, {7, 0}, {-9, 0}};
    ExpectRows(sides, IconBoxSide);
    EXPECT_EQ(LinkColour(0, 0x808080), 0x747474u);
    EXPECT_EQ(LinkColour(0xFFFFFF, 0x3FF03F), 0x3FF03Fu);
}

TEST(Settings, StoredDwordOnlyWhenItIsOneAndTheAutostartCommand) {
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
    // The autostart path is quoted and followed by the switch, counted in UTF-16 units whatever
    // wchar_t is and with the terminating null; a path that fills its capacity may have been cut
    // and is refused. Path, bytes to store (0: refused).
    const std::pair<std::wstring, uint32_t> paths[] = {
        {L"D:\\Apps\\Lumetta.exe", 62},
        {std::wstring(AUTOSTART_PATH_CAPACITY - 1, L'p'), 2038},
        {std::wstring(AUTOSTART_PATH_CAPACITY, L'p'), 0},
        {L"", 0}, // the fetch failed
    };
    for (const auto& [path, byteCount] : paths) {
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

} // namespace
