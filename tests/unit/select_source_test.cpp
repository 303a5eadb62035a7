#include "select/source_filter.h"

#include "tests/unit/printers.h"

using namespace lumetta;

TEST(SelectSource, CentreTruncatesTowardZero) {
    const std::pair<Rect, Point> cases[] = {
        {{100, 100, 201, 301}, {150, 200}},
        {{-101, -101, 0, 0}, {-50, -50}},         // not -51: truncation, not flooring
        {{300, 200, 100, 50}, {200, 125}},        // order does not matter
        {{kMax, kMax, kMax, kMax}, {kMax, kMax}}, // the sum does not overflow
        {{kMin, kMin, kMin, kMin}, {kMin, kMin}},
    };
    ExpectRows(cases, SelectionCenter);
}

// Each listed name, exact and case-sensitive, and the fading-window prefix.
TEST(SelectSource, ExcludedClassNamesAndTitles) {
    // name, excluded as a class, excluded as a title
    const std::tuple<const wchar_t*, bool, bool> cases[] = {
        {L"WorkerW", true, false},
        {L"AVP.SandboxWindow", true, false},
        {L"YoloMouseClass", true, false},
        {L"Lumetta_PreviewWnd", true, false},
        {L"YoloMouseOverlay", false, true},
        {L"DFMonitorFadingWindow:", true, false},
        {L"DFMonitorFadingWindow:\\\\.\\DISPLAY2 and a name longer than the buffer", true, false},
        {L"DFMonitorFadingWindow", false, false},
        {L"workerw", false, false}, // case-sensitive
        {L"WorkerW2", false, false},
        {L"YoloMouseOverlay ", false, false},
        {L"", false, false},
        {nullptr, false, false},
    };
    for (const auto& [name, asClass, asTitle] : cases) {
        EXPECT_EQ(IsExcludedSourceClass(name), asClass) << name;
        EXPECT_EQ(IsExcludedSourceTitle(name), asTitle) << name;
    }
    // Names are read into a 32-unit buffer: a longer one is compared as its first 31 units.
    EXPECT_EQ(NameAsRead(std::wstring(40, L'x').c_str()), std::wstring(31, L'x'));
}

TEST(SelectSource, InvisibleOwnedLayers) {
    EXPECT_TRUE(IsInvisibleLayer(false, false, 255)) << "per-pixel alpha: attributes unreadable";
    EXPECT_TRUE(IsInvisibleLayer(true, true, 0)) << "constant alpha 0";
    EXPECT_FALSE(IsInvisibleLayer(true, true, 1)) << "constant alpha 1";
    EXPECT_FALSE(IsInvisibleLayer(true, false, 0)) << "alpha 0 with a colour key";
}
