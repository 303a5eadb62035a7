// A preview handled as a user handles it: zoomed by keys, the wheel and the middle button with its
// top-left corner kept, maximized and restored by double-clicks, moved by a drag and panned by a
// Ctrl-drag and the arrows, resized at a constant zoom, told of a DPI change, and shown for the
// first time with its client area already over the selection. Seen from outside: the windows'
// rectangles, the foreground window and the stand-in compositor's record.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <future>
#include <tuple>

#include "e2e.h"
#include "preview/constants.h"

using namespace e2e;

namespace {

using PreviewInteraction = E2eTest;
using Action = std::function<void()>;

const auto Width = [](const RECT& r) { return int(r.right - r.left); };
const auto Height = [](const RECT& r) { return int(r.bottom - r.top); };

// One preview of a region of a fixture, and what a user sees of it.
struct View {
    Fixture source;
    Instance instance;
    HWND hwnd = nullptr;
    std::string thumb;
    RECT region{};  // source client coordinates
    POINT corner{}; // the window's top-left corner, which zooming keeps
    SIZE frame{};   // the window less its client area

    RECT Window() const { return Inspect(hwnd).window; }
    RECT Client() const { return Inspect(hwnd).client; }
    POINT Picture() const { return {Client().left + 60, Client().top + 50}; } // off the borders
    // The newest rcDestination on record.
    std::optional<RECT> Shown() const {
        const auto updates =
            DwmCalls("DwmUpdateThumbnailProperties", instance.process.pid, "thumb", thumb);
        return updates.empty() ? std::nullopt : LineRect(updates.back(), "rcDestination");
    }
    // The source's whole client area at zoom, the region's corner at the preview's client origin.
    RECT At(int zoom) const {
        const int left = -(region.left * zoom / 100), top = -(region.top * zoom / 100);
        return {left, top, left + Width(source.client) * zoom / 100,
                top + Height(source.client) * zoom / 100};
    }
    // The window at corner, its client area showing the region at zoom.
    void ExpectZoom(int zoom) const {
        const RECT want{corner.x, corner.y, corner.x + Width(region) * zoom / 100 + frame.cx,
                        corner.y + Height(region) * zoom / 100 + frame.cy};
        WaitUntil([&] { return Window() == want && Shown() == At(zoom); }, 5000);
        EXPECT_EQ(Window(), want) << "at " << zoom << " %";
        EXPECT_EQ(Shown(), At(zoom)) << "at " << zoom << " %";
    }
};

View Open(int x, int y, int w, int h, const RECT& region) {
    View v;
    v.source = StartFixture(x, y, w, h);
    v.region = region;
    const RECT shown = v.source.ScreenRect(region.left, region.top, region.right, region.bottom);
    v.instance = StartInstance(L"-preview " + HandleArg(v.source.hwnd) + L" " + RectArgs(shown));
    v.hwnd = WaitNewPreview(v.instance.process.pid);
    if (!v.hwnd) ADD_FAILURE() << "no preview";
    const std::string registration = RegistrationOf(v.hwnd, v.instance.process.pid);
    v.thumb = dwmrig::RecordField(registration, "thumb").value_or("?");
    const WindowInfo info = Inspect(v.hwnd);
    v.corner = {info.window.left, info.window.top};
    v.frame = {Width(info.window) - Width(info.client), Height(info.window) - Height(info.client)};
    return v;
}

// Maximized: the region as large as the work area allows at its own aspect, the window centred.
void ExpectMaximized(const View& v, const RECT& normal) {
    EXPECT_TRUE(WaitUntil(
        [&] {
            const RECT c = v.Client();
            return !(v.Window() == normal) && v.Shown() == RECT{0, 0, Width(c), Height(c)};
        },
        5000));
    const RECT work = PrimaryWorkArea(), w = v.Window();
    const int cw = Width(v.Client()), ch = Height(v.Client());
    const int sw = Width(v.region), sh = Height(v.region);
    EXPECT_TRUE((cw == Width(work) - v.frame.cx && ch == sh * cw / sw) ||
                (ch == Height(work) - v.frame.cy && cw == sw * ch / sh))
        << cw << " x " << ch;
    EXPECT_LE(std::abs((w.left - work.left) - (work.right - w.right)), 1);
    EXPECT_LE(std::abs((w.top - work.top) - (work.bottom - w.bottom)), 1);
}

} // namespace

TEST_F(PreviewInteraction, ZoomKeepsTheCornerEvenPastTheScreen) {
    View v = Open(200, 150, 600, 400, {100, 80, 400, 280});
    // A click on an inactive preview only activates it: the next step starts from 100 %. (Under
    // Wine a clicked window rises above all others on the X server, topmost ones included, so the
    // window clicked first lies beside the preview.)
    const OwnWindow other;
    Click(800, 575);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.Get(); }, 5000));
    const RECT before = v.Window();
    const POINT p = v.Picture();
    Click(p.x, p.y);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == v.hwnd; }, 5000));
    // The click runs the system's move loop, which eats keys: the first key must come after the
    // button's release has reached it.
    EXPECT_TRUE(WaitUntil([] { return GetAsyncKeyState(VK_LBUTTON) >= 0; }, 5000));
    EXPECT_EQ(v.Window(), before);
    const auto key = [](WORD vk) { return [vk] { KeyPress(vk); }; };
    const auto wheel = [](int notches) { return [notches] { Wheel(notches); }; };
    const std::tuple<const char*, Action, int> steps[] = {
        {"+", key(VK_ADD), 120},          {"=", key(VK_OEM_PLUS), 140},
        {"-", key(VK_SUBTRACT), 120},     {"- (main keys)", key(VK_OEM_MINUS), 100},
        {"-", key(VK_SUBTRACT), 80},      {"Backspace", key(VK_BACK), 100},
        {"wheel forward", wheel(1), 120}, {"wheel back", wheel(-1), 100},
        {"wheel back", wheel(-1), 80},    {"middle click", [&] { Click(p.x, p.y, 2); }, 100},
        {"-", key(VK_SUBTRACT), 80},      {"Enter", key(VK_RETURN), 100},
    };
    for (const auto& [what, give, zoom] : steps) {
        SCOPED_TRACE(what);
        give();
        v.ExpectZoom(zoom);
    }

    // Near the screen's bottom-right corner, zooming in takes the window past both edges.
    Clean();
    View edge = Open(1500, 780, 400, 280, {100, 60, 380, 240});
    ASSERT_TRUE(Focus(edge.hwnd));
    for (int zoom : {120, 140}) {
        KeyPress(VK_ADD);
        edge.ExpectZoom(zoom);
    }
    EXPECT_GT(edge.Window().right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(edge.Window().bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(PreviewInteraction, DoubleClickMaximizesAndRestores) {
    View v = Open(200, 150, 600, 400, {100, 80, 400, 280});
    ASSERT_TRUE(Focus(v.hwnd));
    KeyPress(VK_ADD);
    v.ExpectZoom(120);
    const RECT normal = v.Window();
    const POINT p = v.Picture();
    // Restored with its zoom by a second double-click, or by a wheel notch that zooms no further.
    for (const Action& restore :
         {Action([&] { DoubleClick(p.x, p.y); }), Action([] { Wheel(1); })}) {
        WaitOutDoubleClickTime();
        DoubleClick(p.x, p.y);
        ExpectMaximized(v, normal);
        WaitOutDoubleClickTime();
        restore();
        v.ExpectZoom(120);
    }
}

TEST_F(PreviewInteraction, DragMovesCtrlDragAndArrowsPan) {
    View v = Open(200, 150, 600, 400, {100, 80, 400, 280});
    ASSERT_TRUE(Focus(v.hwnd));
    // A plain drag moves the window by the drag; the picture stays.
    POINT p = v.Picture();
    Drag(p.x, p.y, p.x + 70, p.y + 45);
    v.corner = {v.corner.x + 70, v.corner.y + 45};
    v.ExpectZoom(100);

    // With Ctrl held the picture follows the pointer, as far as the source's client area goes.
    p = v.Picture();
    HoldModifier(VK_CONTROL, true);
    const AtExit release{[] { HoldModifier(VK_CONTROL, false); }};
    const std::tuple<int, int, RECT> pans[] = {{-50, -30, {150, 110, 450, 310}},
                                               {200, 150, {0, 0, 300, 200}},
                                               {-400, -300, {300, 200, 600, 400}}};
    for (const auto& [dx, dy, region] : pans) {
        WaitOutDoubleClickTime();
        Drag(p.x, p.y, p.x + dx, p.y + dy);
        v.region = region;
        v.ExpectZoom(100);
    }
    HoldModifier(VK_CONTROL, false);

    // An arrow shows what lies 10 source pixels further that way.
    const std::tuple<WORD, int, int> arrows[] = {
        {VK_LEFT, -10, 0}, {VK_UP, 0, -10}, {VK_RIGHT, 10, 0}, {VK_DOWN, 0, 10}};
    for (const auto& [arrow, dx, dy] : arrows) {
        KeyPress(arrow);
        OffsetRect(&v.region, dx, dy);
        v.ExpectZoom(100);
    }
}

TEST_F(PreviewInteraction, ResizeChangesTheRegionAtConstantZoom) {
    View v = Open(900, 300, 600, 400, {200, 150, 350, 250});
    ASSERT_TRUE(Focus(v.hwnd));
    for (int zoom = 120; zoom <= 200; zoom += 20) {
        KeyPress(VK_ADD);
        v.ExpectZoom(zoom);
    }
    // The left border dragged out: the region grows to the left, its right edge stays.
    const RECT w = v.Window();
    const std::tuple<int, RECT> drags[] = {
        {w.left + 1 - 40, {180, 150, 350, 250}}, // 40 px: 20 source pixels at 200 %
        {w.right - 805, {0, 150, 400, 250}},     // the region stops at the source's left edge
        {10, {0, 150, 600, 250}},                // the window at the source's whole width
    };
    for (const auto& [toX, region] : drags) {
        Drag(v.corner.x + 1, (w.top + w.bottom) / 2, toX, (w.top + w.bottom) / 2);
        v.region = region;
        v.corner.x = w.right - (Width(region) * 2 + v.frame.cx);
        v.ExpectZoom(200);
    }
}

TEST_F(PreviewInteraction, DpiChangeKeepsZoomAndRegion) {
    View v = Open(200, 150, 600, 400, {100, 80, 400, 280});
    ASSERT_TRUE(Focus(v.hwnd));
    KeyPress(VK_ADD);
    v.ExpectZoom(120);
    // Only the system's own suggested rectangle is taken: one sent or posted from another
    // process must not move the window, readable there (the shared page) or not.
    const LPARAM sharedPage = 0x7FFE0000;
    const std::tuple<bool, UINT, LPARAM> cases[] = {
        {false, 144, 0}, {false, 96, sharedPage}, {true, 144, 0x10}, {true, 96, sharedPage}};
    int zoom = 120;
    for (const auto& [post, dpi, rect] : cases) {
        SCOPED_TRACE(testing::Message() << (post ? "posted " : "sent ") << dpi);
        ASSERT_TRUE(post ? PostMessageW(v.hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), rect)
                         : SendMessageTimeoutW(v.hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), rect,
                                               SMTO_ABORTIFHUNG, 5000, nullptr));
        // The next step goes on from the zoom and the region kept, at the same corner.
        zoom = zoom == 120 ? 140 : 120;
        KeyPress(zoom == 140 ? VK_ADD : VK_SUBTRACT);
        EXPECT_TRUE(WaitUntil([&] { return v.Shown() == v.At(zoom); }, 5000)) << zoom << " %";
        const RECT w = v.Window();
        EXPECT_EQ(std::make_pair(w.left, w.top), std::make_pair(v.corner.x, v.corner.y));
    }
    EXPECT_TRUE(v.instance.process.Running());
}

TEST_F(PreviewInteraction, FirstVisibleFrameLiesOverTheSelection) {
    const Fixture source = StartFixture(203, 157, 600, 400);
    const Instance instance = StartInstance(L"-startup");
    for (int n = 0; n < 6; ++n) {
        const RECT selection =
            source.ScreenRect(20 + 60 * n, 30 + 40 * n, 220 + 60 * n, 180 + 40 * n);
        const auto before = FindTopLevel(lumetta::PREVIEW_WINDOW_CLASS, nullptr);
        auto answer = std::async(std::launch::async, HandOff, instance.main, source.hwnd, selection,
                                 kPreviewTimeoutMs);
        // Every look, as fast as they come, from the first instant the new window is visible on.
        HWND preview = nullptr;
        int looks = 0;
        for (double end = NowMs() + kPreviewTimeoutMs; NowMs() < end;) {
            for (HWND h = nullptr;
                 !preview &&
                 (h = FindWindowExW(nullptr, h, lumetta::PREVIEW_WINDOW_CLASS, nullptr));)
                if (std::find(before.begin(), before.end(), h) == before.end()) preview = h;
            // Seen visible before its rectangles are read, so they are read while it is.
            WINDOWINFO info{};
            info.cbSize = sizeof(info);
            if (!preview || !IsWindowVisible(preview) || !GetWindowInfo(preview, &info)) continue;
            if (looks++ == 0) end = NowMs() + 300;
            ASSERT_EQ(info.rcClient, selection) << "opening " << n << ", look " << looks;
        }
        EXPECT_GT(looks, 0) << "opening " << n;
        EXPECT_NE(answer.get().value_or(0), 0) << "opening " << n;
    }
}
