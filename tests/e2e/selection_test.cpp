// The road from a selection to a preview, given as real pointer and key input to a selection
// process: the ways to select and to cancel, what a running main instance gets, a missing one
// started first (also in silent mode), a main window that refuses or hangs told to exit; and which
// window a selection hands over as its source. What is handed over is read by a stand-in main
// window in this process, or seen as the preview the real main instance opens. The rules' every
// edge is a unit table's. The cloak rules apply from Windows 8 on, so the source's suite also runs
// under Windows 7.
#include <cstdio>

#include "e2e.h"

#include <versionhelpers.h>

using namespace e2e;

namespace {

using SelectionRoad = E2eTest;
using SelectionSourceVersions = E2eTest;

// What the user does, as "op x,y" steps: p press, r release, c click, m move (left button),
// R right click, k press key x.
void Do(const char* steps) {
    char op = 0;
    int x = 0, y = 0, used = 0;
    for (; std::sscanf(steps, " %c%d,%d%n", &op, &x, &y, &used) == 3; steps += used) {
        switch (op) {
        case 'p': PressAt(x, y); break;
        case 'r': ReleaseAt(x, y); break;
        case 'c': Click(x, y); break;
        case 'm': MouseMove(x, y); break;
        case 'R': Click(x, y, 3); break;
        default: KeyPress(WORD(x)); break;
        }
    }
}

// The main window the selection meets: a stand-in that accepts, refuses or hangs, none (one is
// started) or a running main instance.
enum Main { Accepting, Refusing, Hanging, None, Running };
constexpr DWORD kHangMs = 3500;

struct Case {
    const char* what;
    const char* steps;
    std::optional<RECT> handedOver; // none: the selection is cancelled
    Main main = Accepting;
    bool silent = false;
};

// The source a selection from (400, 300) to (601, 501), centred on (500, 400), hands over.
HWND SourceOfSelection() {
    FakeMainWindow main;
    Selection s = StartSelection();
    if (!s.window) return nullptr;
    Drag(400, 300, 601, 501);
    s.process.WaitExit();
    return main.handOffs.empty() ? nullptr : main.handOffs[0].source;
}

struct SourceCase {
    const char* what;
    std::wstring options;            // of the tested fixture, over the centre
    bool passedOver = false;         // the backstop is the source
    bool owned = false;              // owned by a fixture elsewhere, itself owned by another
    DWORD cloak = 0, cloakRoot = 0;  // cloak values of the tested window and of its root owner
    RECT client{450, 350, 250, 150}; // x, y, width, height of the tested fixture
};

} // namespace

TEST_F(SelectionRoad, SelectCancelAndHandOff) {
    const char* const drag = "p650,350 m775,450 r900,550";
    const RECT area{650, 350, 900, 550};
    const Case cases[] = {
        {"click, move, click", "c300,300 m380,340 c460,380", RECT{300, 300, 460, 380}},
        // The second press arrives as WM_LBUTTONDBLCLK and is ignored; its release is a click.
        {"a double-click does not finish", "c500,300 c500,300 m650,420 c700,450",
         RECT{500, 300, 700, 450}},
        // Enter is bound to a command the selection window ignores.
        {"Enter does nothing, before or during a drag",
         "m250,250 k13,0 p250,250 m400,350 k13,0 r450,380", RECT{250, 250, 450, 380}},
        {"the right button during a drag, no main instance", "p600,300 m800,500 R800,500",
         std::nullopt, None},
        {"Escape during a drag, no main instance", "p600,300 m800,500 k27,0", std::nullopt, None},
        {"none runs: one is started", drag, area, None},
        {"none runs, silent mode: one is started all the same", drag, area, None, true},
        {"one runs", drag, area, Running},
        {"a window that refuses is told to exit", drag, area, Refusing},
        {"a window that hangs is told to exit after the time-out", drag, area, Hanging},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Clean();
        if (c.silent) SetFlags(lumetta::SETTINGS_DEFAULT_FLAGS | lumetta::SETTINGS_SILENT_MODE);
        // A source under the area where a preview is to show it; elsewhere only the desktop.
        const bool opens = c.main >= None && c.handedOver;
        const Fixture source = opens ? StartFixture(600, 300, 400, 300, L"--fps 0") : Fixture{};
        Instance running;
        if (c.main == Running) running = StartInstance(L"-startup");
        std::optional<FakeMainWindow> standIn;
        if (c.main < None) standIn.emplace(FakeMainWindow::Answer(c.main), kHangMs);

        Selection s = StartSelection();
        if (standIn) standIn->hangUntil = s.process.handle.Get();
        Do(c.steps);
        ASSERT_EQ(s.process.WaitExit(), std::optional<DWORD>(0)) << "no clean end";
        if (!c.handedOver) MouseUp(); // a cancelled drag leaves the button down
        EXPECT_FALSE(IsWindow(s.window));
        if (!opens) {
            // The hand-off runs before the process ends: anything it sent is here now.
            ASSERT_EQ(standIn ? standIn->handOffs.size() : 0u, standIn && c.handedOver ? 1u : 0u);
            EXPECT_TRUE(!standIn || !c.handedOver ||
                        (standIn->handOffs[0].rect == *c.handedOver &&
                         standIn->handOffs[0].source == ShellWindow()));
            // Refused or hung, the main window is told to exit; nothing else is started.
            const bool told = c.main == Refusing || c.main == Hanging;
            if (told) WaitUntil([&] { return !standIn->instanceCommands.empty(); }, 5000);
            EXPECT_TRUE(!standIn ||
                        standIn->instanceCommands == (told ? std::vector<WPARAM>{lumetta::CMD_EXIT}
                                                           : std::vector<WPARAM>{}));
            EXPECT_TRUE(LumettaProcesses().empty()) << "the selection started something";
            if (c.main != Hanging) continue;
            // From the record's arrival to the end of the selection process, both as the system
            // recorded them (a loaded machine may notice either late).
            const uint64_t waitedMs =
                (ExitTimeOf(s.process) - standIn->handOffs[0].receivedAt) / 10000;
            EXPECT_GE(waitedMs, lumetta::HANDOFF_TIMEOUT_MS - 100) << "gave up before the time-out";
            EXPECT_LT(waitedMs, kHangMs) << "waited for the hung window";
            continue;
        }
        // Only the main instance stays: the one that ran, or one started to wait for the area
        // (even in silent mode, so it was told to wait). Its preview lies exactly over the area
        // and shows the window beneath it.
        ASSERT_TRUE(WaitUntil([] { return LumettaProcesses().size() == 1; }, kExitTimeoutMs));
        const DWORD pid = LumettaProcesses().front();
        EXPECT_TRUE(!running.process.handle || pid == running.process.pid) << "a second instance";
        const HWND preview = WaitNewPreview(pid);
        ASSERT_TRUE(preview) << "no preview";
        EXPECT_EQ(Inspect(preview).client, *c.handedOver);
        EXPECT_TRUE(LineHas(RegistrationOf(preview, pid), "hwndSource", HandleText(source.hwnd)));
    }
}

// A fixture of each kind is put over the selection's centre, above a plain "backstop" fixture;
// a window passed over leaves the backstop as the source.
TEST_F(SelectionSourceVersions, WindowsPassedOverAndWindowsTaken) {
    const bool cloakRules = IsWindows8OrGreater();
    const SourceCase cases[] = {
        {"a hidden window", L"--hidden", true},
        {"a cloaked window", L"", cloakRules, false, 2},
        {"a window whose root owner is cloaked", L"", cloakRules, true, 0, 1},
        {"an owned layered window at alpha 0", L"--layered-alpha 0", true, true},
        {"an owned layered window at alpha 1", L"--layered-alpha 1", false, true},
        {"an owned per-pixel-alpha window", L"--per-pixel-alpha 255", true, true},
        {"an unowned per-pixel-alpha window", L"--per-pixel-alpha 255"},
        {"Lumetta's preview class", std::wstring(L"--class ") + lumetta::PREVIEW_WINDOW_CLASS,
         true},
        {"a listed title", L"--title YoloMouseOverlay", true},
        // Right and bottom edges are outside a window: one that ends at x = 500 misses the centre.
        {"a window that ends at the centre", L"", true, false, 0, 0, {300, 350, 200, 150}},
        {"a window that begins at the centre", L"", false, false, 0, 0, {500, 400, 200, 150}},
    };
    Fixture backstop = StartFixture(200, 200, 800, 500, L"--fps 0");
    for (const SourceCase& c : cases) {
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
