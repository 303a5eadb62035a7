// Thumbnails show the covered source's own pixels where and as large as asked, and go when they
// should.
#include "selftest_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace selftest {
namespace {

struct Picture {
    const char* name;
    RECT dest, source; // source in client coordinates, also for a window-relative thumbnail
    bool clientOnly;
    BYTE opacity;
    int tolerance; // colour levels: smoothing and blending round
};

// A destination pixel that is not what `p` should show, or nothing: a grid over the visible part,
// and the destination's own background just outside it.
std::string Mismatch(const Picture& p) {
    RECT in;
    IntersectRect(&in, &p.dest, &DEST_CLIENT);
    const double xScale = double(p.source.right - p.source.left) / (p.dest.right - p.dest.left);
    const double yScale = double(p.source.bottom - p.source.top) / (p.dest.bottom - p.dest.top);
    auto over = [&](double source) { // over the grey background
        return ((int(source) & 255) * p.opacity + GetRValue(BACKGROUND) * (255 - p.opacity)) / 255;
    };
    char text[96] = "";
    for (int i = 0; i < 25; ++i) {
        const int x = in.left + 1 + i % 5 * (in.right - in.left - 3) / 4;
        const int y = in.top + 1 + i / 5 * (in.bottom - in.top - 3) / 4;
        const int red = over(p.source.left + (x - p.dest.left + 0.5) * xScale);
        const int green = over(p.source.top + (y - p.dest.top + 0.5) * yScale);
        const COLORREF c = Pixel(TheDesk().dest, x, y);
        if (std::abs(GetRValue(c) - red) > p.tolerance ||
            std::abs(GetGValue(c) - green) > p.tolerance)
            std::snprintf(text, sizeof text, "(%d,%d) is %06lx, not red %d green %d", x, y, c, red,
                          green);
    }
    for (POINT o : {POINT{p.dest.left - 2, in.top + 1}, POINT{p.dest.right + 1, in.top + 1},
                    POINT{in.left + 1, p.dest.top - 2}, POINT{in.left + 1, p.dest.bottom + 1}})
        if (PtInRect(&DEST_CLIENT, o) && Pixel(TheDesk().dest, o.x, o.y) != BACKGROUND)
            std::snprintf(text, sizeof text, "(%ld,%ld) outside the picture is drawn on", o.x, o.y);
    return text;
}

class Pictures : public testing::TestWithParam<Picture> {};

TEST_P(Pictures, ShowTheCoveredSourceAsAsked) {
    const Picture& p = GetParam();
    const Desk& d = TheDesk();
    Thumb t(d.dest, d.source.hwnd);
    RECT source = p.source;
    if (!p.clientOnly) OffsetRect(&source, d.clientOffset.x, d.clientOffset.y);
    const DWM_THUMBNAIL_PROPERTIES props = Props(p.dest, source, p.clientOnly, p.opacity);
    UpdateWindow(d.dest); // what the last test's picture left is painted over first
    ASSERT_EQ(DwmUpdateThumbnailProperties(t.h, &props), S_OK);
    std::string wrong;
    EXPECT_TRUE(e2e::WaitUntil([&] { return (wrong = Mismatch(p)).empty(); }, 3000)) << wrong;
    // Refreshes keep it so, and a translucent picture does not build up over them; they follow
    // the source's frames.
    const COLORREF first = Pixel(d.dest, 110, 100);
    EXPECT_FALSE(e2e::WaitUntil([&] { return !(wrong = Mismatch(p)).empty(); }, 300)) << wrong;
    EXPECT_TRUE(e2e::WaitUntil([&] { return Pixel(d.dest, 110, 100) != first; }, 2000));
}

const Picture PICTURES[] = {
    {"HalfSizeSmoothed", {0, 0, 128, 128}, {0, 0, 256, 256}, true, 255, 3},
    {"OneAndAHalfTimesFromAboveLeft", {-64, -64, 320, 320}, {0, 0, 256, 256}, true, 255, 2},
    {"TwiceIntoTheBottomRight", {100, 50, 612, 562}, {0, 0, 256, 256}, true, 255, 2},
    {"APartWindowRelative", {20, 10, 148, 138}, {64, 32, 192, 160}, false, 255, 0},
    {"TranslucentOverTheBackground", {0, 0, 128, 128}, {64, 32, 192, 160}, true, 128, 3},
};
INSTANTIATE_TEST_SUITE_P(Cases, Pictures, testing::ValuesIn(PICTURES),
                         [](const testing::TestParamInfo<Picture>& c) {
                             return std::string(c.param.name);
                         });

// Each step takes the picture away, and the destination's own background shows again, or brings
// it back where it was: shown again with only its visibility flagged, it keeps its rectangles.
TEST(Pictures, GoAndComeBack) {
    const Desk& d = TheDesk();
    e2e::Fixture source = e2e::StartFixture(900, 500, 256, 256, L"--fps 0");
    ASSERT_TRUE(source.hwnd);
    auto shows = [&](bool picture) {
        return e2e::WaitUntil(
            [&] {
                return Pixel(d.dest, 100, 100) == (picture ? RGB(80, 90, 0) : BACKGROUND) &&
                       Pixel(d.dest, 270, 260) == (picture ? RGB(250, 250, 0) : BACKGROUND);
            },
            3000);
    };
    const DWM_THUMBNAIL_PROPERTIES props = Props({20, 10, 276, 266}, {0, 0, 256, 256});
    DWM_THUMBNAIL_PROPERTIES visible{DWM_TNP_VISIBLE, {}, {}, 0, FALSE, FALSE};
    Thumb t(d.dest, source.hwnd);
    DwmUpdateThumbnailProperties(t.h, &props);
    EXPECT_TRUE(shows(true)) << "shown";
    DwmUpdateThumbnailProperties(t.h, &visible);
    EXPECT_TRUE(shows(false)) << "hidden";
    visible.fVisible = TRUE;
    DwmUpdateThumbnailProperties(t.h, &visible);
    EXPECT_TRUE(shows(true)) << "shown again";
    dwmrig::SetComposition(false);
    EXPECT_TRUE(shows(false)) << "composition off";
    dwmrig::SetComposition(true);
    EXPECT_TRUE(shows(true)) << "composition on again";
    DwmUnregisterThumbnail(t.h);
    EXPECT_TRUE(shows(false)) << "unregistered";
    Thumb again(d.dest, source.hwnd);
    DwmUpdateThumbnailProperties(again.h, &props);
    EXPECT_TRUE(shows(true)) << "registered again";
    source.process.Kill();
    EXPECT_TRUE(shows(false)) << "its source's process ended";
}

} // namespace
} // namespace selftest
