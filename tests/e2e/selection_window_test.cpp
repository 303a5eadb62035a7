// The selection window as the user sees it: one full-screen window per selection, the dimmed
// screen with the hint at the primary work area's corner, and the rubber band of a drag, checked
// in screenshots of the composited screen over the fake shell's known picture.
#include "selection_support.h"

using namespace e2e;

namespace {

constexpr uint8_t kDimAlpha = 0x78;
constexpr uint8_t kBandAlpha = 0x01;
constexpr int kTolerance = 3; // compositors round differently
constexpr DWORD kScreenTimeoutMs = 15000;

// Text is opaque grey 200; nothing else on the dimmed screen comes near it.
bool IsHintPixel(rig::Rgb c) {
    return c.r >= 160 && c.g >= 160 && c.b >= 160;
}

// Takes screenshots until pred accepts one (the compositor shows a new frame a little after the
// program pushed it).
Screenshot ShotWhen(const std::string& name, const std::function<bool(const Screenshot&)>& pred) {
    Screenshot shot;
    WaitUntil(
        [&] {
            shot = TakeScreenshot(name);
            return shot.Valid() && pred(shot);
        },
        kScreenTimeoutMs);
    return shot;
}

// The hint's pixels on a screenshot: how many, and how far right and down they reach.
struct HintInk {
    int count = 0;
    int right = -1, bottom = -1;
    int outside = 0; // hint-coloured pixels outside the area the hint may cover
};

HintInk FindHintInk(const Screenshot& shot, const RECT& area) {
    HintInk ink;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (!IsHintPixel(sel::ToRgb(shot.Pixel(x, y)))) continue;
            if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) {
                ++ink.outside;
                continue;
            }
            ++ink.count;
            ink.right = std::max(ink.right, x);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

// Where the hint may be: the right part of the primary work area's bottom strip.
RECT HintArea() {
    const RECT work = sel::PrimaryWorkArea();
    return RECT{work.left, work.bottom - 120, work.right, work.bottom};
}

// Every dimmed sample on a coarse grid outside skip matches the shell seen through the dim.
int DimMismatches(const Screenshot& shot, const RECT& skip) {
    int mismatches = 0;
    for (int y = 3; y < shot.height; y += 37) {
        for (int x = 5; x < shot.width; x += 41) {
            if (x >= skip.left && x < skip.right && y >= skip.top && y < skip.bottom) continue;
            if (!sel::Near(sel::ToRgb(shot.Pixel(x, y)), sel::ShellThrough(x, y, kDimAlpha),
                           kTolerance)) {
                ++mismatches;
            }
        }
    }
    return mismatches;
}

void CancelWithRightButton(sel::Selection& s) {
    MouseDown(3);
    MouseUp(3);
    auto code = s.process.WaitExit();
    ASSERT_TRUE(code.has_value()) << "the selection did not end on a right-button release";
    EXPECT_EQ(*code, 0u);
}

class SelectionWindow : public sel::SelectionTest {};

} // namespace

TEST_F(SelectionWindow, OneLayeredTopmostWindowOverTheVirtualScreen) {
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window) << "no selection window";
    const WindowInfo info = Inspect(s.window);
    EXPECT_EQ(info.title, L"Lumetta");
    EXPECT_EQ(info.style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME),
              DWORD(WS_POPUP | WS_VISIBLE));
    EXPECT_EQ(info.exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              DWORD(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    EXPECT_TRUE(EqualRect(&info.window, &screen));
    EXPECT_EQ(FindTopLevel(lumetta::SELECTION_WINDOW_CLASS, nullptr).size(), 1u);
    EXPECT_TRUE(FindTopLevel(lumetta::MAIN_WINDOW_CLASS, nullptr).empty());

    // A second start while it is open ends at once and leaves it alone.
    const ULONGLONG before = GetTickCount64();
    auto second = RunLumetta(L"");
    ASSERT_TRUE(second.has_value()) << "the second start did not end";
    EXPECT_EQ(*second, 0u);
    EXPECT_LT(GetTickCount64() - before, 5000u);
    EXPECT_EQ(FindTopLevel(lumetta::SELECTION_WINDOW_CLASS, nullptr).size(), 1u);
    EXPECT_TRUE(IsWindowVisible(s.window));

    MouseMove(100, 100);
    CancelWithRightButton(s);
}

TEST_F(SelectionWindow, DimsTheScreenAndShowsTheHintAtTheWorkAreasCorner) {
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    MouseMove(20, 20);
    const RECT hintArea = HintArea();
    Screenshot shot = ShotWhen("selection-dimmed", [&](const Screenshot& sh) {
        return DimMismatches(sh, hintArea) == 0 && FindHintInk(sh, hintArea).count > 0;
    });
    ASSERT_TRUE(shot.Valid());
    EXPECT_EQ(DimMismatches(shot, hintArea), 0) << "see " << shot.pngPath;

    // Right- and bottom-aligned: the text ends 16 pixels left of and 5 above the work area's
    // bottom-right corner (less what the glyphs' own side bearings and descent leave blank).
    const RECT work = sel::PrimaryWorkArea();
    const HintInk ink = FindHintInk(shot, hintArea);
    EXPECT_GT(ink.count, 500) << "see " << shot.pngPath;
    EXPECT_EQ(ink.outside, 0) << "see " << shot.pngPath;
    EXPECT_LE(ink.right, work.right - 16);
    EXPECT_GE(ink.right, work.right - 16 - 6);
    EXPECT_LE(ink.bottom, work.bottom - 5);
    EXPECT_GE(ink.bottom, work.bottom - 5 - 12);

    CancelWithRightButton(s);
}

TEST_F(SelectionWindow, ADragShowsAClearBandWithAWhiteFrameAndErasesTheHint) {
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    const int x0 = 700, y0 = 300, x1 = 1000, y1 = 520;
    sel::PressAt(x0, y0);
    for (int i = 1; i < 6; ++i)
        MouseMove(x0 + (x1 - x0) * i / 6, y0 + (y1 - y0) * i / 6);
    sel::MoveAndHold(x1, y1);
    const rig::Rgb white{255, 255, 255};
    const RECT hintArea = HintArea();
    Screenshot shot = ShotWhen("selection-band", [&](const Screenshot& sh) {
        return sel::Near(sel::ToRgb(sh.Pixel(x1, (y0 + y1) / 2)), white, kTolerance) &&
               FindHintInk(sh, hintArea).count == 0;
    });
    ASSERT_TRUE(shot.Valid());
    SCOPED_TRACE("see " + shot.pngPath);

    // The frame: every pixel of the outermost rows and columns, corners included, so the band is
    // (x1 - x0 + 1) by (y1 - y0 + 1) pixels.
    int badFrame = 0;
    for (int x = x0; x <= x1; ++x) {
        badFrame += !sel::Near(sel::ToRgb(shot.Pixel(x, y0)), white, kTolerance);
        badFrame += !sel::Near(sel::ToRgb(shot.Pixel(x, y1)), white, kTolerance);
    }
    for (int y = y0; y <= y1; ++y) {
        badFrame += !sel::Near(sel::ToRgb(shot.Pixel(x0, y)), white, kTolerance);
        badFrame += !sel::Near(sel::ToRgb(shot.Pixel(x1, y)), white, kTolerance);
    }
    EXPECT_EQ(badFrame, 0);
    // Inside, the screen shows through (black at alpha 1); just outside it stays dimmed.
    int badInside = 0, badOutside = 0;
    for (int y = y0 + 1; y < y1; y += 7) {
        for (int x = x0 + 1; x < x1; x += 9) {
            badInside += !sel::Near(sel::ToRgb(shot.Pixel(x, y)),
                                    sel::ShellThrough(x, y, kBandAlpha), kTolerance);
        }
        badOutside += !sel::Near(sel::ToRgb(shot.Pixel(x0 - 1, y)),
                                 sel::ShellThrough(x0 - 1, y, kDimAlpha), kTolerance);
        badOutside += !sel::Near(sel::ToRgb(shot.Pixel(x1 + 1, y)),
                                 sel::ShellThrough(x1 + 1, y, kDimAlpha), kTolerance);
    }
    for (int x = x0; x <= x1; x += 5) {
        badOutside += !sel::Near(sel::ToRgb(shot.Pixel(x, y0 - 1)),
                                 sel::ShellThrough(x, y0 - 1, kDimAlpha), kTolerance);
        badOutside += !sel::Near(sel::ToRgb(shot.Pixel(x, y1 + 1)),
                                 sel::ShellThrough(x, y1 + 1, kDimAlpha), kTolerance);
    }
    EXPECT_EQ(badInside, 0);
    EXPECT_EQ(badOutside, 0);
    // The hint went with the first redraw of the drag.
    EXPECT_EQ(FindHintInk(shot, hintArea).count, 0);
    EXPECT_EQ(DimMismatches(shot, RECT{x0 - 1, y0 - 1, x1 + 2, y1 + 2}), 0);

    CancelWithRightButton(s);
    sel::ReleaseAt(x1, y1);
}

// A display change renders the screen afresh: a drag in progress is dropped and the hint is back.
// (The rig's display cannot change its mode, so the message comes as the system would send it.)
TEST_F(SelectionWindow, DisplayChangeDropsTheDragAndShowsTheHintAgain) {
    sel::FakeMainWindow main;
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    const RECT hintArea = HintArea();
    const rig::Rgb white{255, 255, 255};
    sel::PressAt(500, 400);
    MouseMove(700, 500);
    sel::MoveAndHold(800, 600);
    Screenshot shot = ShotWhen("selection-before-display-change", [&](const Screenshot& sh) {
        return sel::Near(sel::ToRgb(sh.Pixel(800, 550)), white, kTolerance);
    });
    ASSERT_TRUE(sel::Near(sel::ToRgb(shot.Pixel(800, 550)), white, kTolerance))
        << "no band; see " << shot.pngPath;

    PostMessageW(s.window, WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    shot = ShotWhen("selection-after-display-change", [&](const Screenshot& sh) {
        return DimMismatches(sh, hintArea) == 0 && FindHintInk(sh, hintArea).count > 500;
    });
    EXPECT_EQ(DimMismatches(shot, hintArea), 0) << "the band stayed; see " << shot.pngPath;
    EXPECT_GT(FindHintInk(shot, hintArea).count, 500) << "no hint; see " << shot.pngPath;

    // The drag is gone: this release starts a new one instead of finishing the old.
    sel::ReleaseAt(800, 600);
    sel::ClickAt(950, 700);
    auto got = main.WaitHandOff();
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(sel::SameRect(got->rect, RECT{800, 600, 950, 700})) << sel::RectText(got->rect);
}

// Without "Segoe UI" the hint falls back to the generic sans-serif family; without any family the
// window still comes up, dims the screen and selects, only without text.
TEST_F(SelectionWindow, MissingFontsFallBackAndNeverCrash) {
    const std::wstring replacements = L"Software\\Wine\\Fonts\\Replacements";
    const auto segoe = RegGetString(replacements, L"Segoe UI");
    const auto sansSerif = RegGetString(replacements, L"Microsoft Sans Serif");
    struct Restore {
        std::wstring key;
        std::optional<std::wstring> segoe, sansSerif;
        ~Restore() {
            if (segoe) RegSetString(key, L"Segoe UI", *segoe);
            if (sansSerif) RegSetString(key, L"Microsoft Sans Serif", *sansSerif);
        }
    } restore{replacements, segoe, sansSerif};

    const RECT hintArea = HintArea();
    RegDeleteValueOf(replacements, L"Segoe UI");
    {
        sel::Selection s = sel::StartSelection();
        ASSERT_TRUE(s.window) << "no selection window without Segoe UI";
        MouseMove(20, 20);
        Screenshot shot = ShotWhen("selection-no-segoe", [&](const Screenshot& sh) {
            return FindHintInk(sh, hintArea).count > 0;
        });
        EXPECT_GT(FindHintInk(shot, hintArea).count, 500)
            << "no hint in the generic family; see " << shot.pngPath;
        CancelWithRightButton(s);
    }

    RegDeleteValueOf(replacements, L"Microsoft Sans Serif");
    sel::FakeMainWindow main;
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window) << "no selection window without any sans-serif family";
    MouseMove(20, 20);
    Screenshot shot = ShotWhen("selection-no-fonts", [&](const Screenshot& sh) {
        return DimMismatches(sh, hintArea) == 0;
    });
    EXPECT_EQ(DimMismatches(shot, hintArea), 0) << "see " << shot.pngPath;
    sel::DragFromTo(300, 200, 500, 400);
    auto got = main.WaitHandOff();
    ASSERT_TRUE(got.has_value()) << "no hand-off";
    EXPECT_TRUE(sel::SameRect(got->rect, RECT{300, 200, 500, 400})) << sel::RectText(got->rect);
    auto code = s.process.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u) << "the selection process did not end cleanly";
}
