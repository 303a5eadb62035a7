// How long a preview lives: as long as its source does, which a watch every 500 ms checks, and a
// handle that comes to another process's window is not its source any more. Sources that cannot be
// shown open nothing, and a silent-mode instance ends with its last preview.
#include <cstdio>
#include <tuple>

#include "e2e.h"
#include "preview/constants.h"

using namespace e2e;

namespace {

using PreviewLifetime = E2eTest;

// What happens to the source. The last two hand the source over by its index only, which then
// names whatever window takes that index next: first, as the control, a window of this process.
enum Change { HideAndShow, Minimize, Close, DestroyOwnAndRetake, CloseAndTake };

void Command(HWND source, uint32_t command) {
    ASSERT_TRUE(rig::FixtureCommand(source, command)) << command;
}

} // namespace

// In silent mode, where the instance lives only as long as a preview does: one that stays open
// keeps it running while sources that cannot be shown open nothing and the others come and go.
TEST_F(PreviewLifetime, AsLongAsItsSource) {
    SetFlags(lumetta::SETTINGS_DEFAULT_FLAGS | lumetta::SETTINGS_SILENT_MODE);
    const Fixture keeper = StartFixture(1200, 600, 300, 200);
    Instance instance =
        StartInstance(L"-preview " + HandleArg(keeper.hwnd) + L" 1210 610 1450 780");
    const DWORD pid = instance.process.pid;
    const HWND kept = WaitNewPreview(pid);

    const Fixture source = StartFixture(203, 157, 400, 300);
    const Fixture minimized = StartFixture(250, 200, 300, 200, L"--minimized");
    const Fixture refused = StartFixture(250, 200, 300, 200, L"--title Refused");
    ASSERT_TRUE(dwmrig::SetRefused(refused.hwnd, E_ACCESSDENIED));
    const std::tuple<const char*, HWND, RECT> nothing[] = {
        {"wholly outside the client area", source.hwnd, source.ScreenRect(-100, 50, -1, 150)},
        {"a minimized source (no client area)", minimized.hwnd,
         minimized.ScreenRect(10, 10, 200, 150)},
        {"thumbnail refused", refused.hwnd, refused.ScreenRect(10, 10, 200, 150)},
        {"no such window", reinterpret_cast<HWND>(0x7FFE), source.ScreenRect(10, 10, 200, 150)},
    };
    for (const auto& [what, handle, selection] : nothing) {
        SCOPED_TRACE(what);
        EXPECT_EQ(HandOff(instance.main, handle, selection), std::optional<LRESULT>(0));
        EXPECT_EQ(Previews(pid), std::vector<HWND>{kept});
        EXPECT_TRUE(MessageBoxes(pid).empty());
    }
    // The refused registration was tried once, and nothing was updated but the kept preview.
    EXPECT_EQ(DwmCalls("DwmRegisterThumbnail", pid, "hwndSource", HandleText(refused.hwnd)).size(),
              1u);
    EXPECT_EQ(DwmCalls("DwmUpdateThumbnailProperties", pid).size(), 1u);

    const double period = lumetta::SOURCE_WATCH_INTERVAL_MS;
    // What happens, and when since the preview opened: samples spread over the watch's period.
    const std::tuple<const char*, Change, double> cases[] = {
        {"hidden and shown again", HideAndShow, 0},
        {"minimized", Minimize, 0},
        {"closed", Close, 0},
        {"closed half a period later", Close, period / 2},
        {"destroyed, its index taken by its own process", DestroyOwnAndRetake, 0},
        {"closed, its index taken by another process", CloseAndTake, 0},
    };
    const OwnWindow warm; // the first window of a thread brings helper windows with it
    for (const auto& [what, change, phaseMs] : cases) {
        SCOPED_TRACE(what);
        const bool own = change == DestroyOwnAndRetake;
        const bool stays = change != Close && change != CloseAndTake;
        std::optional<OwnWindow> window;
        Fixture fixture;
        if (own) window.emplace(RECT{700, 500, 900, 650});
        if (!own) fixture = StartFixture(203, 157, 320, 200);
        const HWND watched = own ? window->Get() : fixture.hwnd;
        const HWND preview =
            OpenByHandOff(instance, change >= DestroyOwnAndRetake ? IndexOnly(watched) : watched,
                          own ? RECT{710, 510, 890, 640} : fixture.ScreenRect(10, 10, 250, 180));
        ASSERT_TRUE(preview);
        const double opened = NowMs();
        WaitFine([&] { return NowMs() - opened >= phaseMs; }, 2000);
        if (change == HideAndShow) Command(watched, rig::FIXTURE_CMD_HIDE);
        if (change == HideAndShow) Command(watched, rig::FIXTURE_CMD_SHOW);
        if (change == Minimize) Command(watched, rig::FIXTURE_CMD_MINIMIZE);
        if (own) DestroyWindow(watched);
        if (change == Close || change == CloseAndTake) Command(watched, rig::FIXTURE_CMD_CLOSE);
        const double changed = NowMs();
        IndexTaker taker;
        ASSERT_TRUE(change < DestroyOwnAndRetake || taker.Take(IndexOnly(watched)))
            << "the index went elsewhere";
        if (stays) {
            EXPECT_FALSE(WaitUntil([&] { return !IsWindow(preview); }, 3 * period + 100));
            taker = IndexTaker();
            if (!own) Command(watched, rig::FIXTURE_CMD_CLOSE);
        }
        EXPECT_TRUE(WaitFine([&] { return !IsWindow(preview); }, 5000))
            << "it outlived its watched";
        if (stays) continue;
        std::printf("[ preview lifetime ] %s: closed in %.0f ms\n", what, NowMs() - changed);
        // One watch period, but a loaded machine may hold a check back by a period or two; a
        // watch of the wrong period (seconds) still shows.
        EXPECT_LT(NowMs() - changed, 4 * period) << "a watch period and more";
    }
    EXPECT_TRUE(instance.process.Running()) << "ended while a preview was open";
    Command(keeper.hwnd, rig::FIXTURE_CMD_CLOSE);
    EXPECT_EQ(instance.process.WaitExit(5000), std::optional<DWORD>(0))
        << "outlived its last preview";
}
