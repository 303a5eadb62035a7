// A preview's hover bar as a user meets it: it appears over the preview under the pointer without
// taking the foreground, darkens the picture inside its pills only, shows white glyphs, a grey
// square under the pointer and tooltips, sends each button's command, hides a moment after the
// pointer has left, stays away after the commands that suspend it, and survives bad messages and
// ten thousand redraws without holding on to anything.
#include <chrono>

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

int Slot(OverlayButton b) {
    return static_cast<int>(b);
}

// A preview of a 300 × 160 area of a fixture at 100 %, and its bar.
struct Bar {
    Fixture source = StartFixture(150, 120, 640, 420);
    Instance instance =
        StartInstance(L"-preview " + HandleArg(source.hwnd) + L" " +
                      RectArgs(source.ScreenRect(20, 30, 20 + kRegionWidth, 30 + kRegionHeight)));
    DWORD pid = instance.process.pid;
    HWND preview = WaitNewPreview(pid);

    HWND Window() const {
        const auto found = FindTopLevel(lumetta::OVERLAY_WINDOW_CLASS, nullptr, pid);
        return found.empty() ? nullptr : found.front();
    }
    bool Shown() const { return Window() && Inspect(Window()).visible; }
    // The visible frame: the stand-in compositor draws no invisible borders.
    RECT Frame() const { return Inspect(preview).window; }
    lumetta::OverlayLayout Layout() const {
        const RECT f = Frame();
        return lumetta::LayoutOverlay(f.right - f.left, f.bottom - f.top, 96);
    }
    // A button's rectangle on screen, where the bar shows it.
    RECT Button(OverlayButton b) const {
        const lumetta::Rect r = Layout().buttonRects[Slot(b)];
        const RECT f = Frame();
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
    // The pointer away from the preview: the bar goes (after `hidden`) and nothing brings it
    // back. Wine notices a pointer leaving only at its next look, so the pointer rests a moment.
    bool Leave(std::chrono::milliseconds* hidden = nullptr) const {
        const POINT away{Frame().right + 80, Picture().y};
        const auto start = std::chrono::steady_clock::now();
        MouseMove(away.x, away.y);
        Responsive(preview);
        MouseMove(away.x + 1, away.y);
        const bool gone = WaitUntil([&] { return !Shown(); }, 5000);
        if (hidden) {
            *hidden = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
        }
        return gone && !WaitUntil([&] { return Shown(); }, 500);
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

// The label's white pixels are exactly those of the same text drawn here with the same font.
bool LabelReads(const Bar& bar, const Screenshot& shot, const wchar_t* text) {
    const RECT r = bar.Button(OverlayButton::ZoomLabel);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(w, h, 1, 1, nullptr);
    HFONT font = CreateFontW(-lumetta::OVERLAY_LABEL_TEXT_96, 0, 0, 0,
                             lumetta::OVERLAY_LABEL_WEIGHT, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, FF_SWISS, lumetta::OVERLAY_LABEL_FONT);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap), oldFont = SelectObject(dc, font);
    RECT box{0, 0, w, h};
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int mismatches = 0, ink = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool drawn = GetPixel(dc, x, y) == 0;
            ink += drawn;
            mismatches += drawn != (shot.Pixel(r.left + x, r.top + y) == kWhite);
        }
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return ink > 0 && mismatches == 0;
}

// A tooltip's text is its own, not its window title: WM_GETTEXT answers with it.
std::wstring TooltipText(DWORD pid) {
    for (HWND tip : FindTopLevel(TOOLTIPS_CLASSW, nullptr, pid)) {
        wchar_t text[64] = {};
        DWORD_PTR copied = 0;
        if (Inspect(tip).visible &&
            SendMessageTimeoutW(tip, WM_GETTEXT, 64, LPARAM(text), SMTO_NORMAL, 2000, &copied))
            return text;
    }
    return L"";
}

void ClickButton(const Bar& bar, OverlayButton b) {
    const POINT p = bar.Centre(b);
    Click(p.x, p.y);
}

TEST_F(Overlay, HoverShowsTheBarOverThePictureWithItsTooltips) {
    Bar bar;
    ASSERT_TRUE(bar.preview);
    const HWND foreground = GetForegroundWindow();
    ASSERT_TRUE(bar.Hover());
    const WindowInfo info = Inspect(bar.Window());
    const RECT frame = bar.Frame();
    EXPECT_EQ(info.owner, bar.preview);
    EXPECT_EQ(info.exStyle & (WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW),
              DWORD(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW));
    EXPECT_EQ(info.window, (RECT{frame.left, frame.top + 6, frame.right, frame.top + 44}));
    EXPECT_EQ(GetForegroundWindow(), foreground);

    const POINT zoomOut = bar.Centre(OverlayButton::ZoomOut);
    MouseMove(zoomOut.x, zoomOut.y - 10); // on the button, off its glyph
    const RECT zoom = bar.Button(OverlayButton::ZoomOut), close = bar.Button(OverlayButton::Close);
    const POINT pill{zoom.left - 2, zoom.top + 2},
        gap{(frame.left + frame.right) / 2, zoom.top + 2};
    const Screenshot shot = ShotWhen("overlay-hover", [&](const Screenshot& s) {
        return Through(bar, s, {zoomOut.x - 10, zoomOut.y - 10}, 28, 176);
    });
    EXPECT_TRUE(Through(bar, shot, pill, 0, 128)) << "inside a pill: black at half opacity";
    EXPECT_TRUE(Through(bar, shot, gap, 0, 0)) << "between the pills: the picture as it is";
    EXPECT_EQ(shot.Pixel(zoomOut.x, zoomOut.y), kWhite);
    EXPECT_EQ(shot.Pixel(close.left + 7, close.top + 7), kWhite) << "the close cross";
    EXPECT_TRUE(LabelReads(bar, shot, L"100%"));
    EXPECT_TRUE(WaitUntil([&] { return TooltipText(bar.pid) == L"Zoom Out"; }, 5000));
    const POINT more = bar.Centre(OverlayButton::MoreActions);
    MouseMove(more.x, more.y);
    EXPECT_TRUE(WaitUntil([&] { return TooltipText(bar.pid) == L"More actions"; }, 5000));
}

TEST_F(Overlay, ButtonsSendTheirCommands) {
    Bar bar;
    ASSERT_TRUE(bar.preview);
    ASSERT_TRUE(bar.Hover());
    const HWND foreground = GetForegroundWindow();
    ClickButton(bar, OverlayButton::ZoomIn);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() == kRegionWidth * 6 / 5; }, 5000));
    EXPECT_EQ(GetForegroundWindow(), foreground) << "a click on the bar activated a window";
    EXPECT_TRUE(LabelReads(
        bar,
        ShotWhen("overlay-120", [&](const Screenshot& s) { return LabelReads(bar, s, L"120%"); }),
        L"120%"));
    ClickButton(bar, OverlayButton::ZoomIn);
    ClickButton(bar, OverlayButton::ZoomOut);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() == kRegionWidth * 6 / 5; }, 5000));
    ClickButton(bar, OverlayButton::ZoomLabel);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() == kRegionWidth; }, 5000));

    // Maximize and restore from the same button, which switches its look and tooltip.
    const RECT normal = Inspect(bar.preview).window;
    const RECT max = bar.Button(OverlayButton::Maximize);
    ClickButton(bar, OverlayButton::Maximize);
    ASSERT_TRUE(WaitUntil([&] { return bar.ClientWidth() > kRegionWidth * 2; }, 5000));
    const POINT restore = bar.Centre(OverlayButton::Maximize);
    MouseMove(restore.x + 1, restore.y); // a fresh hover for the tooltip
    MouseMove(restore.x, restore.y);
    EXPECT_TRUE(WaitUntil([&] { return TooltipText(bar.pid) == L"Restore Preview"; }, 5000));
    // The restore look: two squares, the front one's top-left corner 3 pixels in.
    const Screenshot two = ShotWhen("overlay-restore", [&](const Screenshot& s) {
        return s.Pixel(restore.x - 5, restore.y - 5) == kWhite;
    });
    EXPECT_EQ(two.Pixel(restore.x - 8, restore.y - 8), kWhite);
    EXPECT_NE(two.Pixel(restore.x - 8, restore.y + 8), kWhite);
    ClickButton(bar, OverlayButton::Maximize);
    ASSERT_TRUE(WaitUntil([&] { return Inspect(bar.preview).window == normal; }, 5000));
    EXPECT_EQ(bar.Button(OverlayButton::Maximize), max);

    // Pressed, moved off and released: nothing. More actions: the menu at its button's corner.
    const POINT closeAt = bar.Centre(OverlayButton::Close);
    PressAt(closeAt.x, closeAt.y);
    ReleaseAt(closeAt.x, closeAt.y + 60);
    ASSERT_TRUE(bar.Hover());
    EXPECT_TRUE(IsWindow(bar.preview));
    ClickButton(bar, OverlayButton::MoreActions);
    const HWND menu = WaitPopupMenu(bar.pid);
    ASSERT_TRUE(menu);
    const RECT more = bar.Button(OverlayButton::MoreActions);
    EXPECT_EQ(Inspect(menu).window.left, more.left);
    EXPECT_EQ(Inspect(menu).window.top, more.bottom);
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(bar.Hover());
    ClickButton(bar, OverlayButton::Close);
    EXPECT_TRUE(WaitWindowGone(bar.preview));
}

TEST_F(Overlay, HidesAfterThePointerLeavesAndStaysAwayAfterSuspendingCommands) {
    Bar bar;
    ASSERT_TRUE(bar.preview);
    ASSERT_TRUE(bar.Hover());
    std::chrono::milliseconds hidden{};
    ASSERT_TRUE(bar.Leave(&hidden));
    // A timer never fires early: the bar stayed at least about its 220 ms.
    EXPECT_GE(hidden.count(), 180);

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
    EXPECT_TRUE(IsWindow(bar.preview));
    EXPECT_EQ(Inspect(bar.preview).window, before);

    // Each move between two buttons and each zoom redraws the bar with a new bitmap.
    const auto at = [&](OverlayButton b) {
        const lumetta::Rect r = bar.Layout().buttonRects[Slot(b)];
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    const LPARAM zoomIn = at(OverlayButton::ZoomIn), zoomOut = at(OverlayButton::ZoomOut),
                 label = at(OverlayButton::ZoomLabel);
    const auto click = [&](LPARAM where) {
        return send(WM_LBUTTONDOWN, MK_LBUTTON, where) && send(WM_LBUTTONUP, 0, where);
    };
    // Four redraws a round: two hover moves, a press on the label and its release over another
    // button, which sends nothing; and now and then a zoom step in and out.
    const auto redraw = [&](int count) {
        for (int i = 0; i < count; i += 4) {
            ASSERT_TRUE(send(WM_MOUSEMOVE, 0, zoomIn) && send(WM_MOUSEMOVE, 0, zoomOut) &&
                        send(WM_LBUTTONDOWN, MK_LBUTTON, label) && send(WM_LBUTTONUP, 0, zoomIn));
            if (i % 500 == 0) {
                ASSERT_TRUE(click(zoomIn) && click(zoomOut));
            }
        }
    };
    redraw(400);
    const GuiCounts start = ProcessCounts(bar.pid);
    redraw(10000);
    const GuiCounts end = ProcessCounts(bar.pid);
    std::printf("[ overlay redraws ] gdi %lu -> %lu, windows %lu -> %lu, memory %.0f -> %.0f KiB\n",
                start.gdi, end.gdi, start.user, end.user, double(start.privateBytes) / 1024,
                double(end.privateBytes) / 1024);
    EXPECT_EQ(end.gdi, start.gdi);
    EXPECT_EQ(end.user, start.user);
    EXPECT_LT(end.privateBytes, start.privateBytes + 2 * 1024 * 1024);

    // Closed while the bar holds the capture and its hide timer runs: the bar and its tooltips go.
    const size_t tips = FindTopLevel(TOOLTIPS_CLASSW, nullptr, bar.pid).size();
    ASSERT_TRUE(send(WM_LBUTTONDOWN, MK_LBUTTON, label) && send(WM_MOUSELEAVE, 0, 0));
    PostMessageW(bar.preview, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitWindowGone(window));
    EXPECT_EQ(FindTopLevel(TOOLTIPS_CLASSW, nullptr, bar.pid).size(), tips - 1);
    EXPECT_TRUE(Responsive(bar.instance.main));
}

} // namespace
