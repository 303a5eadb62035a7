// The selection window as the user sees it, in screenshots of the composited screen over the fake
// shell's known picture: the dimmed screen with the hint at the work area's corner, and a drag's
// clear band in its white frame.
#include "e2e.h"
#include "select/constants.h"

using namespace e2e;

using SelectionWindow = E2eTest;

constexpr uint8_t kDimAlpha = lumetta::SELECTION_DIM_PIXEL >> 24;
constexpr uint8_t kBandAlpha = lumetta::SELECTION_BAND_PIXEL >> 24;
constexpr rig::Rgb kWhite{255, 255, 255};

// One layered topmost window over the virtual screen dims it and shows the hint; a drag shows a
// clear band in a white frame, and its first redraw erases the hint; a display change renders the
// screen afresh, dropping the drag. (The rig's display cannot change its mode, so the message
// comes as the system would send it.)
TEST_F(SelectionWindow, DimHintBandAndDisplayChange) {
    FakeMainWindow main;
    Selection s = StartSelection();
    MouseMove(20, 20);
    Screenshot shot = ShotWhen("selection-dimmed", ShowsDimAndHint);
    ASSERT_TRUE(ShowsDimAndHint(shot)) << "see " << shot.pngPath;
    // Its frame and extent show in the dimming of every pixel; what does not show is this.
    const DWORD exStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    EXPECT_EQ(Inspect(s.window).exStyle & exStyle, exStyle);
    // Right-aligned at the margin from the work area's corner (less what the glyphs' own side
    // bearings leave blank); the rows are the unit table's.
    const LONG right = PrimaryWorkArea().right - lumetta::HINT_MARGIN_RIGHT;
    EXPECT_TRUE(FindHintInk(shot).right <= right && FindHintInk(shot).right >= right - 6);

    // The band of a drag from (700, 300) to (1000, 520) covers both corners' pixels.
    PressAt(700, 300);
    for (int i = 1; i <= 6; ++i)
        MouseMove(700 + 50 * i, 300 + 220 * i / 6);
    shot = ShotWhen("selection-band", [&](const Screenshot& sh) {
        return Near(sh.Pixel(1000, 410), kWhite) && FindHintInk(sh).count == 0;
    });
    // Its outermost pixels white, the screen seen through it inside, and dimmed beyond.
    const std::tuple<int, int, int> samples[] = {{700, 300, 0},         {1000, 520, 0},
                                                 {850, 300, 0},         {850, 410, kBandAlpha},
                                                 {699, 299, kDimAlpha}, {1001, 521, kDimAlpha}};
    for (const auto& [x, y, alpha] : samples)
        EXPECT_TRUE(Near(shot.Pixel(x, y), alpha ? ShellThrough(x, y, uint8_t(alpha)) : kWhite))
            << x << ", " << y << "; see " << shot.pngPath;
    EXPECT_EQ(FindHintInk(shot).count, 0) << "the hint stayed; see " << shot.pngPath;
    EXPECT_EQ(DimMismatches(shot, RECT{699, 299, 1002, 522}), 0) << "see " << shot.pngPath;

    PostMessageW(s.window, WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    shot = ShotWhen("selection-display-change", ShowsDimAndHint);
    EXPECT_TRUE(ShowsDimAndHint(shot)) << "the band stayed; see " << shot.pngPath;
    // The drag is gone: this release starts a new one instead of finishing the old.
    ReleaseAt(1000, 520);
    Click(1150, 700);
    EXPECT_EQ(s.process.WaitExit(), std::optional<DWORD>(0)) << "no clean end";
    ASSERT_EQ(main.handOffs.size(), 1u);
    EXPECT_EQ(main.handOffs[0].rect, (RECT{1000, 520, 1150, 700}));
}
