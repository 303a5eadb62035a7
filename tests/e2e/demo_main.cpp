// The visible demo: what a user sees, step by step, with a screenshot of each step taken once the
// screen shows what its caption says. Run by tools/demo.sh through the desktop runner; the
// screenshots stay in the folder it names.
#include <cstdio>

#include "app/base/constants.h"
#include "driver.h"
#include "overlay/constants.h"
#include "overlay/layout.h"
#include "res/resource.h"

using namespace e2e;

namespace {

int g_failures = 0;

void Step(const std::string& what, bool ok) {
    std::printf("demo: %-70s %s\n", what.c_str(), ok ? "ok" : "FAILED");
    std::fflush(stdout);
    g_failures += !ok;
}

// A screenshot once the screen shows its caption; it stays a while for a person watching.
void Shot(const char* name, const char* caption,
          const std::function<bool(const Screenshot&)>& shows) {
    const Screenshot shot = ShotWhen(name, shows);
    Step(std::string(name) + ".png: " + caption, shot.Valid() && shows(shot));
    WaitUntil([] { return false; }, DWORD(_wtoi(Env(L"LUMETTA_DEMO_LINGER_MS").c_str())));
}

// A preview's client area shows the source's client pixels from (x, y) on at zoom percent, seen
// below the bar of buttons that the pointer over a preview brings.
bool PreviewShows(const Screenshot& shot, HWND preview, POINT from, int zoom = 100) {
    const RECT c = Inspect(preview).client;
    const int below = 48; // the bar's height and its distance from the top, and a little more
    const RECT area{c.left, c.top + below, c.right, c.bottom};
    const POINT origin{c.left - from.x, area.top - from.y - below * 100 / zoom};
    return ShownFixtureFrame(shot, area, origin, zoom).has_value();
}

SIZE ClientSize(HWND window) {
    const RECT c = Inspect(window).client;
    return SIZE{c.right - c.left, c.bottom - c.top};
}

} // namespace

int main() {
    if (LumettaExe().empty()) {
        std::fprintf(stderr, "lumetta_demo: run me through tools/desktop-run\n");
        return 2;
    }
    // The window to keep an eye on, a live, animated source; the main instance as the installer
    // starts it, with its tray icon and balloon.
    const Fixture source =
        StartFixture(160, 140, 720, 480, L"--class LumettaDemoSource --title \"Build log\"");
    Instance main = StartInstance(L"-install");
    Step("a source window and the main instance, started with -install",
         source.hwnd && main.main && WaitTrayVisible(true));
    const POINT icon = FirstTrayIcon();
    Shot("1-tray", "the main instance's icon in Wine's tray (top left)", ShowsTrayIcon);

    // A preview asked for on the command line, over the area it shows, then moved aside so that
    // both can be seen: the source keeps changing, and so does the preview.
    const RECT area = source.ScreenRect(120, 80, 440, 320);
    StartLumetta(L"-preview " + HandleArg(source.hwnd) + L" " + RectArgs(area)).WaitExit();
    const HWND first = WaitNewPreview(main.process.pid);
    Step("lumetta -preview <window> <area> opens a preview over the area",
         first && Inspect(first).client == area &&
             SetWindowPos(first, nullptr, 1100, 180, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    Shot("2-preview", "the source (left) and its live preview (right)", [&](const Screenshot& s) {
        return PreviewShows(s, first, {120, 80}) &&
               ShownFixtureFrame(s, source.client, {source.client.left, source.client.top});
    });
    Fixture cover =
        StartFixture(120, 100, 820, 580, L"--class LumettaDemoCover --title Cover --fps 0");
    Shot("3-covered", "the source covered; the preview still shows it", [&](const Screenshot& s) {
        return PreviewShows(s, first, {120, 80}) && ShownFixtureFrame(s, source.client, {120, 100});
    });
    cover.process.Kill();

    // The selection road: double-click the tray icon, drag out an area, get a preview of it.
    DoubleClick(icon.x, icon.y);
    Step("a double-click on the icon starts a selection",
         WaitWindow(lumetta::SELECTION_WINDOW_CLASS, lumetta::APP_TITLE) != nullptr);
    // Nothing else on the screen comes near the hint's grey in its strip.
    Shot("4-selection", "the dimmed screen with the hint",
         [](const Screenshot& s) { return FindHintInk(s).count > 500; });
    const RECT pick = source.ScreenRect(40, 40, 300, 220);
    PressAt(pick.left, pick.top);
    MouseMove(pick.right, pick.bottom);
    Shot("5-rubber-band", "the rubber band mid-drag", [&](const Screenshot& s) {
        return s.Pixel(pick.right, pick.top + 10) == rig::Rgb{255, 255, 255};
    });
    MouseUp();
    const HWND second = WaitNewPreview(main.process.pid, {first});
    Shot("6-selected-preview", "the preview of the selected area, over it",
         [&](const Screenshot& s) {
             return second && Inspect(second).client == pick && FindHintInk(s).count == 0 &&
                    PreviewShows(s, second, {40, 40});
         });

    // Handling the preview: a wheel notch zooms in a step, a double-click maximizes it into the
    // work area and another restores it, a right click opens its menu.
    const SIZE picked = ClientSize(second);
    const POINT middle{(pick.left + pick.right) / 2, (pick.top + pick.bottom) / 2};
    Click(middle.x, middle.y); // the first click only activates it
    Click(middle.x, middle.y, 4);
    const auto at120 = [&](const Screenshot& s) {
        return ClientSize(second).cx == picked.cx * 6 / 5 && PreviewShows(s, second, {40, 40}, 120);
    };
    Shot("7-zoomed", "a wheel notch: the preview at 120 %", at120);
    WaitOutDoubleClickTime();
    DoubleClick(middle.x, middle.y);
    Shot("8-maximized", "a double-click: the preview fills the work area",
         [&](const Screenshot& s) {
             const RECT w = Inspect(second).window, work = PrimaryWorkArea();
             const bool wide = w.left == work.left && w.right == work.right;
             const bool high = w.top == work.top && w.bottom == work.bottom;
             return (wide || high) &&
                    PreviewShows(s, second, {40, 40}, int(ClientSize(second).cx * 100 / picked.cx));
         });
    WaitOutDoubleClickTime();
    DoubleClick(middle.x, middle.y);
    Shot("9-restored", "another double-click: back to 120 % where it was", at120);
    Click(middle.x, middle.y, 3);
    const HWND menu = WaitPopupMenu(main.process.pid);
    Shot("10-menu", "a right click: the preview's menu", [&](const Screenshot& s) {
        const RECT m = Inspect(menu).window;
        const rig::Rgb face = s.Pixel(m.left + 4, m.top + 4);
        return menu && IsWindowVisible(menu) && face.r == face.g && face.g == face.b &&
               face.r > 180;
    });

    // "Options..." from the same menu: the dialog's two tabs, then Cancel.
    for (int item = 0; item <= 6; ++item)
        KeyPress(VK_DOWN);
    KeyPress(VK_RETURN);
    const HWND options = WaitOptionsDialog(main.process.pid);
    const auto drawn = [&](const Screenshot& s, int control) {
        const RECT c = Inspect(options).client;
        const rig::Rgb face = s.Pixel(c.left + 3, c.bottom - 3); // the dialog's own grey
        return options && IsWindowVisible(GetParent(DialogControl(options, control))) &&
               face.r == face.g && face.g == face.b && face.r > 180;
    };
    Shot("11-options", "Options... from the menu: the Options tab",
         [&](const Screenshot& s) { return drawn(s, IDC_KEEP_ON_TOP); });
    Step("a click on the About tab shows its page", options && ShowAboutTab(options));
    Shot("12-about", "the About tab",
         [&](const Screenshot& s) { return drawn(s, IDC_ABOUT_TITLE); });
    if (options) ClickOn(DialogControl(options, IDC_CANCEL));
    Step("Cancel closes the dialog", options && WaitWindowGone(options));

    // The hover bar: the pointer on the preview brings it, the button under the pointer turns
    // grey, and a click on Zoom In zooms a step.
    const RECT frame = Inspect(second).window;
    const lumetta::Rect in =
        lumetta::LayoutOverlay(frame.right - frame.left, frame.bottom - frame.top, 96)
            .buttonRects[static_cast<int>(lumetta::OverlayButton::ZoomIn)];
    const POINT zoomIn{frame.left + (in.left + in.right) / 2,
                       frame.top + 6 + (in.top + in.bottom) / 2};
    MouseMove(zoomIn.x + 8, zoomIn.y - 8);
    MouseMove(zoomIn.x + 9, zoomIn.y - 9); // on the button, off its glyph
    Shot("13-hover-bar", "the pointer on the preview: its bar, Zoom In under the pointer",
         [&](const Screenshot& s) {
             const auto bars =
                 FindTopLevel(lumetta::OVERLAY_WINDOW_CLASS, nullptr, main.process.pid);
             return !bars.empty() && IsWindowVisible(bars.front()) &&
                    s.Pixel(zoomIn.x, zoomIn.y) == rig::Rgb{255, 255, 255};
         });
    Click(zoomIn.x, zoomIn.y);
    Shot("14-bar-zoomed", "Zoom In on the bar: the preview at 140 %",
         [&](const Screenshot&) { return ClientSize(second).cx == picked.cx * 7 / 5; });
    std::printf("demo: %s\n", g_failures ? "some steps failed" : "all steps passed");
    return g_failures ? 1 : 0;
}
