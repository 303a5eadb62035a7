// A preview's hover bar as a user meets it: it appears over the preview under the pointer without
// taking the foreground, darkens the picture inside its pills, shows white glyphs, a grey square
// under the pointer and tooltips, sends each button's command, hides a moment after the pointer
// has left, stays away after the commands that suspend it, and survives bad messages and ten
// thousand redraws without holding on to anything. Layout, glyphs and pixels are unit tables'.
#include "e2e.h"
#include "menus.h"
#include "overlay/constants.h"
#include "overlay/layout.h"
#include "res/resource.h"

using namespace e2e;
using lumetta::OverlayButton;

namespace {

using Overlay = E2eTest;

constexpr int kRegionWidth = 300, kRegionHeight = 160;

// A preview of a 300 × 160 area of a fixture at 100 %, and its bar.
struct Bar {
    Fixture source = StartFixture(150, 120, 640, 420);
    Instance instance =
        StartInstance(L"-preview " + HandleArg(source.hwnd) + L" " +
                      RectArgs(source.ScreenRect(20, 30, 20 + kRegionWidth, 30 + kRegionHeight)));
    DWORD pid = instance.process.pid;
    HWND preview = WaitNewPreview(pid);

    HWND Window() const {
        return FirstVisible(FindTopLevel(lumetta::OVERLAY_WINDOW_CLASS, nullptr, pid));
    }
    bool Shown() const { return Window() != nullptr; }
    // The visible frame: the stand-in compositor draws no invisible borders.
    RECT Frame() const { return Inspect(preview).window; }
    // A button's rectangle on screen, where the bar shows it.
    RECT Button(OverlayButton b) const {
        const RECT f = Frame();
        const lumetta::Rect r =
            lumetta::LayoutOverlay(f.right - f.left, f.bottom - f.top, 96).buttonRects[int(b)];
        return {f.left + r.left, f.top + 6 + r.top, f.left + r.right, f.top + 6 + r.bottom};
    }
    POINT Centre(OverlayButton b) const {
        const RECT r = Button(b);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT Picture() const { return {Frame().left + 150, Frame().bottom - 30}; }
    // Two moves: the pointer may rest there already, and a pointer that does not move tells no
    // one. Each process turns the X events of its own windows into the pointer's position, so the
    // instance has to be done with its events before the pointer goes elsewhere, or it could
    // put back an older position after the newer.
    bool Hover() const {
        MouseMove(Picture().x + 4, Picture().y);
        MouseMove(Picture().x, Picture().y);
        return WaitUntil([&] { return Shown(); }, 5000) && Responsive(preview);
    }
    // The pointer away from the preview: the bar goes (after `hidden`) and stays away. Wine
    // notices a pointer leaving only at its next look, so the pointer rests a moment; and an
    // older position the instance puts back late can show the bar once more, briefly.
    bool Leave(double* hiddenMs = nullptr) const {
        const POINT away{Frame().right + 80, Picture().y};
        const double start = NowMs();
        MouseMove(away.x, away.y);
        Responsive(preview);
        MouseMove(away.x + 1, away.y);
        const bool gone = WaitUntil([&] { return !Shown(); }, 5000);
        if (hiddenMs) *hiddenMs = NowMs() - start;
        return gone && WaitUntil([&] { return !WaitUntil([&] { return Shown(); }, 500); }, 5000);
    }
    // The fixture's pixel that a screen point of the picture shows at 100 %.
    rig::Rgb Source(int x, int y, uint8_t frame) const {
        const RECT c = Inspect(preview).client;
        return rig::ExpectedFixturePixel(x - c.left + 20, y - c.top + 30, frame);
    }
    int ClientWidth() const {
        const RECT c = Inspect(preview).client;
        return c.right - c.left;
    }
};

// The picture seen through black of alpha a, or under a grey of alpha 176 (premultiplied g).
bool Through(const Bar& bar, const Screenshot& shot, POINT p, int grey, int alpha) {
    const rig::Rgb seen = shot.Pixel(p.x, p.y), under = bar.Source(p.x, p.y, seen.b);
    const auto mix = [&](uint8_t c) { return uint8_t(grey + c * (255 - alpha) / 255); };
    return Near(seen, {mix(under.r), mix(under.g), seen.b});
}

constexpr rig::Rgb kWhite{255, 255, 255};

// Which pixels of an area are white: the label's text, told apart from another text's.
std::vector<bool> Ink(const Screenshot& shot, const RECT& r) {
    std::vector<bool> ink;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x)
            ink.push_back(shot.Pixel(x, y) == kWhite);
    return ink;
}

// A tooltip's text is its own, not its window title: WM_GETTEXT answers with it.
bool TooltipBecomes(DWORD pid, const std::wstring& want) {
    const auto reads = [&] {
        wchar_t text[64] = {};
        DWORD_PTR n = 0;
        const HWND tip = FirstVisible(FindTopLevel(TOOLTIPS_CLASSW, nullptr, pid));
        return tip &&
               SendMessageTimeoutW(tip, WM_GETTEXT, 64, LPARAM(text), SMTO_NORMAL, 2000, &n) &&
               text == want;
    };
    return WaitUntil(reads, 5000);
}

void ClickButton(const Bar& bar, OverlayButton b) {
    const POINT p = bar.Centre(b);
    Click(p.x, p.y);
}

TEST_F(Overlay, HoverButtonsLeaveAndSuspendingCommands) {
    Bar bar;
    ASSERT_TRUE(bar.preview);
    // Wine may activate a new window a while after it shows: the preview is made the foreground
    // first, so that only the bar could take it from there.
    ASSERT_TRUE(WaitUntil([&] { return Focus(bar.preview); }, kWindowTimeoutMs));
    HWND foreground = GetForegroundWindow();
    ASSERT_TRUE(bar.Hover());
    EXPECT_EQ(GetForegroundWindow(), foreground);
    // Where it lies shows in the pixels below; what does not show is this.
    const WindowInfo info = Inspect(bar.Window());
    const RECT frame = bar.Frame();
    EXPECT_EQ(info.owner, bar.preview);
    EXPECT_EQ(info.exStyle & (WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW),
              DWORD(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW));

    // On the button, off its glyph: the grey square; a pill's corner: black at half opacity.
    const POINT zoomOut = bar.Centre(OverlayButton::ZoomOut);
    MouseMove(zoomOut.x, zoomOut.y - 10);
    const RECT zoom = bar.Button(OverlayButton::ZoomOut);
    const Screenshot shot = ShotWhen("overlay-hover", [&](const Screenshot& s) {
        return Through(bar, s, {zoomOut.x - 10, zoomOut.y - 10}, 28, 176);
    });
    EXPECT_TRUE(Through(bar, shot, {zoom.left - 2, zoom.top + 2}, 0, 128)) << shot.pngPath;
    EXPECT_TRUE(Through(bar, shot, {(frame.left + frame.right) / 2, zoom.top + 2}, 0, 0))
        << "between the pills: the picture as it is";
    EXPECT_EQ(shot.Pixel(zoomOut.x, zoomOut.y), kWhite) << shot.pngPath;
    std::vector<bool> label;
    const auto newLabel = [&](const Screenshot& s) {
        const std::vector<bool> ink = Ink(s, bar.Button(OverlayButton::ZoomLabel));
        return ink != label && std::count(ink.begin(), ink.end(), true) > 0;
    };
    EXPECT_TRUE(newLabel(shot)) << "no label; " << shot.pngPath;
    label = Ink(shot, bar.Button(OverlayButton::ZoomLabel));

    // Zoom in, out and back to 100 % by the label; the label tells the new zoom.
    foreground = GetForegroundWindow();
    ClickButton(bar, OverlayButton::ZoomIn);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() == kRegionWidth * 6 / 5; }, 5000));
    EXPECT_EQ(GetForegroundWindow(), foreground) << "a click on the bar activated a window";
    EXPECT_TRUE(newLabel(ShotWhen("overlay-120", newLabel))) << "the label still reads 100%";
    ClickButton(bar, OverlayButton::ZoomIn);
    ClickButton(bar, OverlayButton::ZoomOut);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() == kRegionWidth * 6 / 5; }, 5000));
    ClickButton(bar, OverlayButton::ZoomLabel);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() == kRegionWidth; }, 5000));

    // Maximize and restore from the same button, which switches its tooltip (the texts are the
    // string table's, like the menu's).
    const RECT normal = Inspect(bar.preview).window;
    ClickButton(bar, OverlayButton::Maximize);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() > kRegionWidth * 2; }, 5000));
    const POINT restore = bar.Centre(OverlayButton::Maximize);
    MouseMove(restore.x + 1, restore.y); // a fresh hover for the tooltip
    MouseMove(restore.x, restore.y);
    EXPECT_TRUE(TooltipBecomes(bar.pid, L"Restore Preview"));
    ClickButton(bar, OverlayButton::Maximize);
    ASSERT_TRUE(WaitUntil([&] { return Inspect(bar.preview).window == normal; }, 5000));

    // The pointer away: the bar goes, but not at once.
    double hiddenMs = 0;
    ASSERT_TRUE(bar.Leave(&hiddenMs));
    // A timer never fires early: the bar stayed at least about its 220 ms.
    EXPECT_GE(hiddenMs, 180);

    // New Preview hides the bar for the selection, which covers the preview.
    ASSERT_TRUE(bar.Hover());
    ASSERT_TRUE(ChooseFromMenu(bar.pid, bar.Picture(), 0));
    const HWND selection = WaitWindow(lumetta::SELECTION_WINDOW_CLASS, nullptr);
    ASSERT_TRUE(selection);
    EXPECT_FALSE(bar.Shown());
    Focus(selection);
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(WaitWindowGone(selection));
    EXPECT_TRUE(bar.Leave());
    // Bring To Front keeps it away while the pointer stays on the preview (the source, moved
    // aside, covers nothing); once the pointer has left, it comes back.
    SetWindowPos(bar.source.hwnd, nullptr, 900, 600, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(bar.Hover());
    ASSERT_TRUE(ChooseFromMenu(bar.pid, bar.Picture(), 1));
    MouseMove(bar.Picture().x + 5, bar.Picture().y);
    EXPECT_FALSE(WaitUntil([&] { return bar.Shown(); }, 600));
    EXPECT_TRUE(bar.Leave());
    // Options... keeps it away while the dialog is open; once closed, a hover brings it back.
    ASSERT_TRUE(ChooseFromMenu(bar.pid, bar.Picture(), 6));
    const HWND options = WaitOptionsDialog(bar.pid);
    ASSERT_TRUE(options);
    MouseMove(bar.Picture().x + 5, bar.Picture().y);
    EXPECT_FALSE(WaitUntil([&] { return bar.Shown(); }, 600));
    ClickOn(DialogControl(options, IDC_CANCEL));
    ASSERT_TRUE(WaitWindowGone(options));
    EXPECT_TRUE(bar.Leave());
    EXPECT_TRUE(bar.Hover());

    // More actions: the menu at its button's corner. Close: the preview goes.
    ClickButton(bar, OverlayButton::MoreActions);
    const HWND menu = WaitPopupMenu(bar.pid);
    ASSERT_TRUE(menu);
    const RECT moreAt = bar.Button(OverlayButton::MoreActions);
    EXPECT_EQ(Inspect(menu).window.left, moreAt.left);
    EXPECT_EQ(Inspect(menu).window.top, moreAt.bottom);
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(bar.Hover());
    ClickButton(bar, OverlayButton::Close);
    EXPECT_TRUE(WaitWindowGone(bar.preview));
}

TEST_F(Overlay, SurvivesBadMessagesAndTenThousandRedraws) {
    Bar bar;
    ASSERT_TRUE(bar.preview);
    ASSERT_TRUE(bar.Hover());
    const HWND window = bar.Window();
    const auto send = [&](UINT message, WPARAM w, LPARAM l) {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, 5000, &answer) != 0;
    };
    const RECT before = Inspect(bar.preview).window;
    for (UINT message : {WM_TIMER, WM_LBUTTONUP, WM_DPICHANGED, WM_CAPTURECHANGED}) {
        for (WPARAM w : {WPARAM(lumetta::TIMER_OVERLAY_HIDE),
                         WPARAM(lumetta::TIMER_OVERLAY_SUPPRESS), WPARAM(0x00600060)}) {
            // A posted WM_TIMER's lParam is a callback the system itself vets before calling.
            PostMessageW(window, message, w, message == WM_TIMER ? 0 : LPARAM(0xDEAD0001));
            send(message, w, LPARAM(0xDEAD0001));
        }
    }
    ASSERT_TRUE(Responsive(bar.instance.main));

    // Each move between two buttons and each zoom redraws the bar with a new bitmap. Four redraws
    // a round: two hover moves, a press on Zoom Out and its release over Zoom In, which sends
    // nothing (or the zoom would have moved by the end); and now and then a step in and out.
    const RECT barAt = Inspect(window).window;
    const auto at = [&](OverlayButton b) {
        return MAKELPARAM(bar.Centre(b).x - barAt.left, bar.Centre(b).y - barAt.top);
    };
    const LPARAM zoomIn = at(OverlayButton::ZoomIn), zoomOut = at(OverlayButton::ZoomOut),
                 label = at(OverlayButton::ZoomLabel);
    const auto redraw = [&](int count) {
        for (int i = 0; i < count; i += 4) {
            ASSERT_TRUE(send(WM_MOUSEMOVE, 0, zoomIn) && send(WM_MOUSEMOVE, 0, zoomOut) &&
                        send(WM_LBUTTONDOWN, MK_LBUTTON, zoomOut) && send(WM_LBUTTONUP, 0, zoomIn));
            for (LPARAM step : {zoomIn, zoomOut})
                ASSERT_TRUE(i % 500 || (send(WM_LBUTTONDOWN, MK_LBUTTON, step) &&
                                        send(WM_LBUTTONUP, 0, step)));
        }
    };
    redraw(400);
    const GuiCounts start = ProcessCounts(bar.pid);
    redraw(10000);
    const GuiCounts end = ProcessCounts(bar.pid);
    // A tooltip shown at one end and not the other holds a few objects; a leak in a redraw or a
    // zoom step would hold one for each of thousands of redraws or forty steps.
    EXPECT_LT(end.gdi, start.gdi + 8) << start.gdi << " -> " << end.gdi;
    EXPECT_EQ(end.user, start.user);
    EXPECT_LT(end.privateBytes, start.privateBytes + 2 * 1024 * 1024);
    // Nothing of it moved or zoomed the preview: a release over another button sends nothing.
    ASSERT_TRUE(Responsive(bar.instance.main));
    EXPECT_EQ(Inspect(bar.preview).window, before);

    // Closed while the bar holds the capture and its hide timer runs: the bar and its tooltips go.
    const size_t tips = FindTopLevel(TOOLTIPS_CLASSW, nullptr, bar.pid).size();
    ASSERT_TRUE(send(WM_LBUTTONDOWN, MK_LBUTTON, label) && send(WM_MOUSELEAVE, 0, 0));
    PostMessageW(bar.preview, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitWindowGone(window));
    EXPECT_EQ(FindTopLevel(TOOLTIPS_CLASSW, nullptr, bar.pid).size(), tips - 1);
    EXPECT_TRUE(Responsive(bar.instance.main));
}

} // namespace
