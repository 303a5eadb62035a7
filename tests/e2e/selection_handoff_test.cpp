// The road from a selection to a preview in the main instance: a running instance gets the area,
// a missing one is started first (also in silent mode), and a main window that refuses or hangs
// is told to exit. (That a preview is never taken for a source is the source filter's.)
#include "e2e.h"

using namespace e2e;

namespace {

using SelectionHandOff = E2eTest;

enum MainKind { None, Running, Refusing, Hanging }; // the last two: a stand-in main window

struct Case {
    const char* what;
    MainKind main;
    bool silent = false;
};

constexpr DWORD kHangMs = 3500;

} // namespace

TEST_F(SelectionHandOff, ToTheMainInstance) {
    const Case cases[] = {
        {"none runs: one is started", None},
        {"none runs, silent mode: one is started all the same", None, true},
        {"one runs", Running},
        {"a window that refuses is told to exit", Refusing},
        {"a window that hangs is told to exit after the time-out", Hanging},
    };
    const RECT area{650, 350, 900, 550};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Clean();
        if (c.silent) SetFlags(lumetta::SETTINGS_DEFAULT_FLAGS | lumetta::SETTINGS_SILENT_MODE);
        const Fixture source = StartFixture(600, 300, 400, 300, L"--fps 0");
        Instance running;
        if (c.main == Running) running = StartInstance(L"-startup");
        std::optional<FakeMainWindow> standIn;
        if (c.main >= Refusing)
            standIn.emplace(FakeMainWindow::Answer(c.main - Refusing + 1), kHangMs);

        Selection s = StartSelection();
        Drag(area.left, area.top, area.right, area.bottom);
        ASSERT_EQ(s.process.WaitExit(), std::optional<DWORD>(0));
        if (standIn) {
            ASSERT_EQ(standIn->handOffs.size(), 1u);
            EXPECT_TRUE(WaitUntil([&] { return !standIn->instanceCommands.empty(); }, 5000));
            EXPECT_EQ(standIn->instanceCommands, std::vector<WPARAM>{lumetta::CMD_EXIT});
            EXPECT_TRUE(LumettaProcesses().empty()) << "a main window exists: nothing to start";
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
        // (even in silent mode, so it was told to wait).
        ASSERT_TRUE(WaitUntil([] { return LumettaProcesses().size() == 1; }, kExitTimeoutMs));
        const DWORD pid = LumettaProcesses().front();
        EXPECT_TRUE(!running.process.handle || pid == running.process.pid) << "a second instance";
        // The preview lies exactly over the area and shows the window beneath it.
        const HWND preview = WaitNewPreview(pid);
        ASSERT_TRUE(preview) << "no preview";
        EXPECT_EQ(Inspect(preview).client, area);
        EXPECT_TRUE(LineHas(RegistrationOf(preview, pid), "hwndSource", HandleText(source.hwnd)));
    }
}
