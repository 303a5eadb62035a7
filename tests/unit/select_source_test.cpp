#include "select/source_filter.h"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "select/constants.h"
#include "tests/unit/printers.h"

namespace lumetta {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(SelectSource, CentreTruncatesTowardZero) {
    struct Case {
        Rect rect;
        Point centre;
    } const cases[] = {
        {{100, 100, 201, 301}, {150, 200}},
        {{-101, -101, 0, 0}, {-50, -50}}, // not -51: truncation, not flooring
        {{-3, -1, 0, 0}, {-1, 0}},
        {{-1920, 0, -1, 1080}, {-960, 540}},
        {{300, 200, 100, 50}, {200, 125}},        // order does not matter
        {{10, 10, 10, 10}, {10, 10}},             // an empty selection still has a point
        {{kMax, kMax, kMax, kMax}, {kMax, kMax}}, // the sum does not overflow
        {{kMin, kMin, kMin, kMin}, {kMin, kMin}},
        {{kMin, kMin, kMax, kMax}, {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SelectionCenter(c.rect), c.centre) << ::testing::PrintToString(c.rect);
    }
}

TEST(SelectSource, ExcludedClassNames) {
    const std::wstring prefix = L"DFMonitorFadingWindow:";
    struct Case {
        std::wstring name;
        bool excluded;
    } const cases[] = {
        {L"Lumetta_PreviewWnd", true},
        {L"WorkerW", true},
        {L"AVP.SandboxWindow", true},
        {L"YoloMouseClass", true},
        {prefix, true},
        {prefix + L"1", true},
        {prefix + L"\\\\.\\DISPLAY2 and a name far longer than the buffer", true},
        {L"DFMonitorFadingWindow", false}, // without the final colon
        {L"dfmonitorfadingwindow:1", false},
        {L"workerw", false}, // case-sensitive
        {L"WorkerW2", false},
        {L"Worker", false},
        {L" WorkerW", false},
        {L"Lumetta_PreviewWn", false},
        {L"Lumetta_MainWnd", false},
        {L"Lumetta_SelectionWnd", false}, // hidden while the search runs: never reached
        {L"LumettaOverlay", false},       // owned and per-pixel alpha: left out by the layer rule
        {L"YoloMouseOverlay", false},     // a title, not a class
        {L"Progman", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsExcludedSourceClass(c.name.c_str()), c.excluded)
            << std::string(c.name.begin(), c.name.end());
    }
    EXPECT_FALSE(IsExcludedSourceClass(nullptr));
}

TEST(SelectSource, ExcludedTitles) {
    struct Case {
        const wchar_t* title;
        bool excluded;
    } const cases[] = {
        {L"YoloMouseOverlay", true},
        {L"YoloMouseOverlay ", false},
        {L"yolomouseoverlay", false},
        {L"YoloMouseClass", false},
        {L"WorkerW", false},
        {L"Lumetta", false},
        {L"", false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsExcludedSourceTitle(c.title), c.excluded)
            << (c.title ? std::string(c.title, c.title + std::wstring(c.title).size()) : "null");
    }
}

TEST(SelectSource, NamesAreComparedAsTheirFirstThirtyOneCharacters) {
    const std::wstring longName(40, L'x');
    EXPECT_EQ(NameAsRead(longName.c_str()), std::wstring(31, L'x'));
    EXPECT_EQ(NameAsRead(L"WorkerW"), L"WorkerW");
    EXPECT_TRUE(NameAsRead(nullptr).empty());
    // A title that begins with a listed one but goes on past the buffer is still another title.
    const std::wstring longTitle = L"YoloMouseOverlay" + std::wstring(30, L'!');
    EXPECT_FALSE(IsExcludedSourceTitle(longTitle.c_str()));
}

TEST(SelectSource, InvisibleOwnedLayers) {
    struct Case {
        const char* what;
        bool read;
        bool alphaOnly;
        uint8_t alpha;
        bool invisible;
    } const cases[] = {
        {"per-pixel alpha: attributes unreadable", false, false, 0, true},
        {"constant alpha 0", true, true, 0, true},
        {"constant alpha 1", true, true, 1, false},
        {"alpha 0 with a colour key", true, false, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInvisibleLayer(c.read, c.alphaOnly, c.alpha), c.invisible) << c.what;
    }
}

} // namespace
} // namespace lumetta
