// The visible demo: what a user sees, step by step, with a screenshot of each step. Run by
// tools/demo.sh through the desktop runner; the screenshots stay in the folder it names.
#include <cstdio>

#include "app/base/constants.h"
#include "driver.h"
#include "preview_support.h"

using namespace e2e;

namespace {

int g_failures = 0;

void Step(const char* what, bool ok) {
    std::printf("demo: %-58s %s\n", what, ok ? "ok" : "FAILED");
    std::fflush(stdout);
    if (!ok) ++g_failures;
}

void Shot(const char* name, const char* what) {
    Screenshot shot = TakeScreenshot(name);
    std::printf("demo:   screenshot %s.png: %s\n", name, what);
    if (!shot.Valid()) ++g_failures;
}

// Lets a person watching the display see the step.
void Linger(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

} // namespace

int main() {
    if (LumettaExe().empty()) {
        std::fprintf(stderr, "lumetta_demo: run me through tools/desktop-run\n");
        return 2;
    }
    const DWORD linger = Env(L"LUMETTA_DEMO_LINGER_MS").empty()
                             ? 0
                             : static_cast<DWORD>(_wtoi(Env(L"LUMETTA_DEMO_LINGER_MS").c_str()));

    // The window to keep an eye on: a live, animated source.
    pv::Fixture source = pv::StartFixture(
        160, 140, 720, 480, L"--class LumettaDemoSource --title \"Build log\" --fps 20");
    Step("a live source window (\"Build log\")", source.hwnd != nullptr);

    // The main instance, as the installer starts it: tray icon and balloon.
    Process main = StartLumetta(L"-install");
    HWND mainWindow = WaitWindow(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE);
    Step("main instance started with -install", mainWindow != nullptr);
    Step("its icon in the notification area", WaitTrayVisible(true));
    Shot("1-tray", "the main instance's icon in Wine's tray (top left)");
    Linger(linger);

    // A preview asked for on the command line, lying over the area it shows.
    const RECT area = source.ScreenRect(120, 80, 440, 320);
    auto messenger =
        RunLumetta(L"-preview " + pv::HandleArg(source.hwnd) + L" " + pv::RectArgs(area));
    Step("lumetta -preview <window> <area> (a messenger)", messenger == std::optional<DWORD>(0));
    HWND first = nullptr;
    WaitUntil(
        [&] {
            auto previews = pv::Previews(main.pid);
            first = previews.empty() ? nullptr : previews.front();
            return first != nullptr;
        },
        kWindowTimeoutMs);
    Step("a live preview opened over that area", first != nullptr);
    if (first) {
        // Move it aside so both can be seen: the source keeps changing, and so does the preview.
        RECT r{};
        GetWindowRect(first, &r);
        SetWindowPos(first, nullptr, 1100, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        WaitUntil(
            [&] {
                RECT now{};
                GetWindowRect(first, &now);
                return now.left == 1100;
            },
            3000);
    }
    Shot("2-preview", "the source (left) and its live preview (right)");
    Linger(linger);

    // Cover the source: the preview keeps showing it, live.
    pv::Fixture cover =
        pv::StartFixture(120, 100, 820, 580, L"--class LumettaDemoCover --title Cover --fps 0");
    Step("another window covers the source", cover.hwnd != nullptr);
    Shot("3-covered", "the source covered; the preview still shows it");
    Linger(linger);
    cover.process.Kill();

    // The selection road: double-click the tray icon, drag out an area, get a preview of it.
    if (TrayWindow()) {
        POINT icon = FirstTrayIcon();
        DoubleClick(icon.x, icon.y);
        HWND selection = WaitWindow(lumetta::SELECTION_WINDOW_CLASS, lumetta::APP_TITLE);
        Step("a double-click on the icon starts a selection", selection != nullptr);
        if (selection) {
            Shot("4-selection", "the dimmed screen with the hint");
            const RECT pick = source.ScreenRect(40, 40, 300, 220);
            MouseMove(pick.left, pick.top);
            MouseDown();
            for (int i = 1; i <= 6; ++i) {
                MouseMove(pick.left + (pick.right - pick.left) * i / 6,
                          pick.top + (pick.bottom - pick.top) * i / 6);
            }
            // The band is drawn on the selection window's next redraw tick; wait until the
            // screen shows its white frame at the far corner.
            WaitUntil(
                [&] {
                    Screenshot probe = TakeScreenshot("probe");
                    DiscardScreenshot(probe);
                    return probe.Pixel(pick.right, pick.top + 10) == 0xFFFFFF;
                },
                3000);
            Shot("5-rubber-band", "the rubber band mid-drag");
            MouseUp();
            size_t before = first ? 1 : 0;
            bool opened =
                WaitUntil([&] { return pv::Previews(main.pid).size() > before; }, kWindowTimeoutMs);
            Step("the dragged-out area opens as a second preview", opened);
            Shot("6-selected-preview", "the preview of the selected area, over it");
            Linger(linger);
        }
    }

    RunLumetta(L"-exit");
    Step("lumetta -exit ends the main instance", main.WaitExit() == std::optional<DWORD>(0));
    std::printf("demo: %s\n", g_failures ? "some steps failed" : "all steps passed");
    return g_failures ? 1 : 0;
}
