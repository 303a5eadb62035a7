// Which window a selection hands over as its source: a fixture of each kind is put over the
// selection's centre, above a plain "backstop" fixture, and the stand-in main window reads the
// handle from the hand-off. A window passed over leaves the backstop as the source. The lists of
// names and the layer rule are unit tables; here each rule is met once through real windows. The
// cloak rules apply from Windows 8 on, so the suite also runs under Windows 7.
#include "e2e.h"

#include <versionhelpers.h>

using namespace e2e;

namespace {

using SelectionSourceVersions = E2eTest;

// The source a selection from (400, 300) to (601, 501), centred on (500, 400), hands over.
HWND SourceOfSelection() {
    FakeMainWindow main;
    Selection s = StartSelection();
    if (!s.window) return nullptr;
    Drag(400, 300, 601, 501);
    s.process.WaitExit();
    return main.handOffs.empty() ? nullptr : main.handOffs[0].source;
}

struct Case {
    const char* what;
    std::wstring options;            // of the tested fixture, over the centre
    bool passedOver = false;         // the backstop is the source
    bool owned = false;              // owned by a fixture elsewhere, itself owned by another
    DWORD cloak = 0, cloakRoot = 0;  // cloak values of the tested window and of its root owner
    RECT client{450, 350, 250, 150}; // x, y, width, height of the tested fixture
};

} // namespace

TEST_F(SelectionSourceVersions, WindowsPassedOverAndWindowsTaken) {
    const bool cloakRules = IsWindows8OrGreater();
    const Case cases[] = {
        {"a hidden window", L"--hidden", true},
        {"a cloaked window", L"", cloakRules, false, 2},
        {"a window whose root owner is cloaked", L"", cloakRules, true, 0, 1},
        {"an owned layered window at alpha 0", L"--layered-alpha 0", true, true},
        {"an owned layered window at alpha 1", L"--layered-alpha 1", false, true},
        {"an owned per-pixel-alpha window", L"--per-pixel-alpha 255", true, true},
        {"an unowned per-pixel-alpha window", L"--per-pixel-alpha 255"},
        {"Lumetta's preview class", std::wstring(L"--class ") + lumetta::PREVIEW_WINDOW_CLASS,
         true},
        {"a long class name with the listed prefix",
         L"--class \"DFMonitorFadingWindow:\\\\.\\DISPLAY1 long name\"", true},
        {"a listed title", L"--title YoloMouseOverlay", true},
        // Right and bottom edges are outside a window: one that ends at x = 500 misses the centre.
        {"a window that ends at the centre", L"", true, false, 0, 0, {300, 350, 200, 150}},
        {"a window that begins at the centre", L"", false, false, 0, 0, {500, 400, 200, 150}},
    };
    Fixture backstop = StartFixture(200, 200, 800, 500, L"--fps 0");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture root, owner;
        std::wstring options = c.options + L" --fps 0";
        if (c.owned) {
            root = StartFixture(1400, 100, 200, 100, L"--fps 0");
            owner = StartFixture(1400, 300, 200, 100, L"--fps 0 --owner " + HandleArg(root.hwnd));
            options += L" --owner " + HandleArg(owner.hwnd);
            dwmrig::SetCloaked(root.hwnd, c.cloakRoot);
        }
        const Fixture tested =
            StartFixture(c.client.left, c.client.top, c.client.right, c.client.bottom, options);
        dwmrig::SetCloaked(tested.hwnd, c.cloak);
        EXPECT_EQ(SourceOfSelection(), c.passedOver ? backstop.hwnd : tested.hwnd)
            << "tested " << tested.hwnd << ", backstop " << backstop.hwnd;
    }

    // With nothing under the centre that qualifies, the source is the shell window. The rig's
    // shell covers the screen, so it is cloaked to be passed over by the search itself; where the
    // cloak rules do not apply, the search finds it directly.
    backstop.process.Kill();
    ASSERT_TRUE(WaitWindowGone(backstop.hwnd));
    ASSERT_TRUE(dwmrig::SetCloaked(ShellWindow(), 1));
    EXPECT_EQ(SourceOfSelection(), ShellWindow());
}
