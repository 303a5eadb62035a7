// Which window a selection hands over as its source: fixtures of every kind are put over the
// selection's centre, above a plain "backstop" fixture, and the stand-in main window reads the
// window handle from the hand-off. A window that is passed over leaves the backstop as the source.
// The cloak rules apply from Windows 8 on, so the suite also runs under Windows 7.
#include "selection_support.h"

using namespace e2e;

namespace {

// The selection is dragged from (400, 300) to (601, 501): its centre is (500, 400).
constexpr POINT kFrom{400, 300}, kTo{601, 501};

class SelectionSourceVersions : public sel::SelectionTest {};

bool CloakRulesApply() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto fn = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!fn || fn(&info) != 0) return false;
    return info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion >= 2);
}

// The source a selection from kFrom to kTo hands over.
HWND SourceOfSelection() {
    sel::FakeMainWindow main;
    sel::Selection s = sel::StartSelection();
    if (!s.window) return nullptr;
    sel::DragFromTo(kFrom.x, kFrom.y, kTo.x, kTo.y);
    auto got = main.WaitHandOff();
    s.process.WaitExit();
    return got ? got->SourceWindow() : nullptr;
}

enum class Expect { Tested, Backstop };

struct Case {
    const char* what;
    std::wstring options;  // of the tested fixture, over the centre
    bool owned = false;    // owned by a fixture elsewhere on the screen
    DWORD cloakTested = 0; // cloak value given to the tested window
    DWORD cloakOwner = 0;  // cloak value given to the owner's owner
    Expect expect = Expect::Tested;
    bool cloakRule = false;          // the expectation holds only where the cloak rules apply
    RECT client{450, 350, 250, 150}; // x, y, width, height of the tested fixture
};

} // namespace

TEST_F(SelectionSourceVersions, WindowsPassedOverAndWindowsTaken) {
    const bool cloaking = CloakRulesApply();
    const std::wstring prefixClass = L"\"DFMonitorFadingWindow:\\\\.\\DISPLAY1 long name\"";
    const Case cases[] = {
        {"a plain window", L""},
        {"a hidden window", L"--hidden", false, 0, 0, Expect::Backstop},
        {"a cloaked window", L"", false, 2, 0, Expect::Backstop, true},
        {"an owned window", L"", true},
        {"a window whose root owner is cloaked", L"", true, 0, 1, Expect::Backstop, true},
        {"an owned layered window at alpha 0", L"--layered-alpha 0", true, 0, 0, Expect::Backstop},
        {"an owned layered window at alpha 1", L"--layered-alpha 1", true},
        {"an unowned layered window at alpha 0", L"--layered-alpha 0"},
        {"an owned per-pixel-alpha window", L"--per-pixel-alpha 255", true, 0, 0, Expect::Backstop},
        {"an unowned per-pixel-alpha window", L"--per-pixel-alpha 255"},
        {"Lumetta's preview class", L"--class Lumetta_PreviewWnd", false, 0, 0, Expect::Backstop},
        {"the wallpaper host", L"--class WorkerW", false, 0, 0, Expect::Backstop},
        {"the sandbox window", L"--class AVP.SandboxWindow", false, 0, 0, Expect::Backstop},
        {"the mouse overlay class", L"--class YoloMouseClass", false, 0, 0, Expect::Backstop},
        {"the fading-window prefix", L"--class DFMonitorFadingWindow:", false, 0, 0,
         Expect::Backstop},
        {"the fading-window prefix and more", L"--class " + prefixClass, false, 0, 0,
         Expect::Backstop},
        {"the fading-window name without its colon", L"--class DFMonitorFadingWindow"},
        {"a listed class in other case", L"--class workerw"},
        {"the mouse overlay title", L"--title YoloMouseOverlay", false, 0, 0, Expect::Backstop},
        {"a longer title", L"--title YoloMouseOverlayX"},
        // The right edge at x = 500: the centre lies just outside.
        {"a window that ends at the centre",
         L"",
         false,
         0,
         0,
         Expect::Backstop,
         false,
         {300, 350, 200, 150}},
        {"a window that begins at the centre",
         L"",
         false,
         0,
         0,
         Expect::Tested,
         false,
         {500, 400, 200, 150}},
    };

    sel::Fixture backstop = sel::StartFixture(200, 200, 800, 500);
    ASSERT_TRUE(backstop.hwnd);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Owners sit elsewhere on the screen: an owner of its owner, and the owner itself.
        sel::Fixture ownerOfOwner, owner;
        std::wstring options = c.options;
        if (c.owned) {
            ownerOfOwner = sel::StartFixture(1400, 100, 200, 100);
            ASSERT_TRUE(ownerOfOwner.hwnd);
            owner = sel::StartFixture(1400, 300, 200, 100,
                                      L"--owner " + sel::HandleArg(ownerOfOwner.hwnd));
            ASSERT_TRUE(owner.hwnd);
            options += L" --owner " + sel::HandleArg(owner.hwnd);
            if (c.cloakOwner) MarkCloaked(ownerOfOwner.hwnd, c.cloakOwner);
        }
        sel::Fixture tested = sel::StartFixture(c.client.left, c.client.top, c.client.right,
                                                c.client.bottom, options);
        ASSERT_TRUE(tested.hwnd);
        if (c.cloakTested) MarkCloaked(tested.hwnd, c.cloakTested);

        const bool passedOver = c.expect == Expect::Backstop && (!c.cloakRule || cloaking);
        const HWND expected = passedOver ? backstop.hwnd : tested.hwnd;
        const HWND source = SourceOfSelection();
        EXPECT_EQ(source, expected)
            << "got " << sel::HandleText(source) << ", tested " << sel::HandleText(tested.hwnd)
            << ", backstop " << sel::HandleText(backstop.hwnd);
    }
}

// With nothing under the centre that qualifies, the source is the shell window. The rig's shell
// covers the screen, so it is cloaked here to be passed over by the search itself; where the
// cloak rules do not apply the search finds it directly.
TEST_F(SelectionSourceVersions, ShellWindowWhenNothingQualifies) {
    HWND shell = sel::ShellWindowOfRig();
    ASSERT_TRUE(shell);
    struct Uncloak {
        HWND hwnd;
        ~Uncloak() { MarkCloaked(hwnd, 0); }
    } uncloak{shell};
    MarkCloaked(shell, 1);
    sel::Fixture hidden = sel::StartFixture(450, 350, 250, 150, L"--hidden");
    ASSERT_TRUE(hidden.hwnd);
    EXPECT_EQ(SourceOfSelection(), shell);
}
