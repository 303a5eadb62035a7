// dwm_selftest: the stand-in compositor on the rig's desktop, where its pictures are really drawn,
// its record really written by several processes and its switches really seen across them; its
// pure parts have host tests.
//   tools/desktop-run -- wine build/win64/rig/dwm_selftest.exe [--gtest_filter=...]
// It loads the stand-in dwmapi.dll beside it. `dwm_selftest --writer N` is the second process
// the record's check starts: it makes N calls and ends.
#include <windows.h>
#include <dwmapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "tools/dwm/control.h"
#include "tools/dwm/record.h"

namespace selftest {
namespace {

inline constexpr COLORREF BACKGROUND = RGB(128, 128, 128); // e2e::OwnWindow paints itself grey
inline constexpr RECT DEST_CLIENT{0, 0, 400, 300};

// A framed fixture in another process (client pixel (x, y) is red x, green y, blue the frame),
// covered by a window of this process; and a destination window of this process, with a child.
struct Desk {
    e2e::Fixture source;
    HWND cover = nullptr, dest = nullptr, destChild = nullptr;
    POINT clientOffset{}; // where the source's client area starts in its window
};

inline COLORREF Pixel(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

inline DWM_THUMBNAIL_PROPERTIES Props(RECT dest, RECT source, bool clientOnly = true,
                                      BYTE opacity = 255) {
    return {DWM_TNP_RECTDESTINATION | DWM_TNP_RECTSOURCE | DWM_TNP_OPACITY | DWM_TNP_VISIBLE |
                DWM_TNP_SOURCECLIENTAREAONLY,
            dest,
            source,
            opacity,
            TRUE,
            clientOnly};
}

// A registration that ends with its scope.
struct Thumb {
    HTHUMBNAIL h = nullptr;
    Thumb(HWND dest, HWND source) { EXPECT_EQ(DwmRegisterThumbnail(dest, source, &h), S_OK); }
    ~Thumb() {
        if (h) DwmUnregisterThumbnail(h);
    }
    Thumb(const Thumb&) = delete;
    Thumb& operator=(const Thumb&) = delete;
};

Desk g_desk;

// Made once for all suites: a fixture takes a while to start.
class DeskEnvironment : public testing::Environment {
    void SetUp() override {
        g_desk.source = e2e::StartFixture(600, 100, 256, 256, L"--style overlapped --fps 50");
        ASSERT_TRUE(g_desk.source.hwnd);
        RECT wr;
        GetWindowRect(g_desk.source.hwnd, &wr);
        g_desk.clientOffset = POINT{600 - wr.left, 100 - wr.top};
        cover_ = std::make_unique<e2e::OwnWindow>(wr, WS_EX_TOPMOST);
        dest_ = std::make_unique<e2e::OwnWindow>(RECT{40, 60, 440, 360});
        g_desk.cover = cover_->Get();
        g_desk.dest = dest_->Get();
        g_desk.destChild = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 390, 0, 10, 10,
                                           g_desk.dest, nullptr, nullptr, nullptr);
        ASSERT_TRUE(g_desk.cover && g_desk.dest && g_desk.destChild);
    }
    std::unique_ptr<e2e::OwnWindow> cover_, dest_;
};

const Desk& TheDesk() {
    return g_desk;
}

// ---- thumbnails show the covered source's own pixels where and as large as asked, and go when
// they should
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

// ---- what the stand-in learns from the system about real windows (their kind and process), its
// switches set by dwmctl in another process and seen in this one, and its record written by
// several processes at once
HWND Source() {
    return TheDesk().source.hwnd;
}
HWND Dest() {
    return TheDesk().dest;
}

// The registration's answer; a failed one must leave the handle null.
HRESULT Register(HWND dest, HWND source) {
    auto t = reinterpret_cast<HTHUMBNAIL>(1);
    const HRESULT hr = DwmRegisterThumbnail(dest, source, &t);
    if (FAILED(hr)) return t ? E_UNEXPECTED : hr;
    return DwmUnregisterThumbnail(t) == S_OK ? hr : E_UNEXPECTED;
}

TEST(Answers, RegistrationsOfRealWindows) {
    const struct {
        const char* what;
        HWND dest, source;
        HRESULT hr;
    } cases[] = {
        {"a child as destination", TheDesk().destChild, Source(), E_INVALIDARG},
        {"another process's destination", Source(), Dest(), E_INVALIDARG},
        {"a child as source", Dest(), TheDesk().destChild, E_INVALIDARG},
        {"the destination as source", Dest(), Dest(), E_INVALIDARG},
        {"the desktop as source", Dest(), GetDesktopWindow(), E_INVALIDARG},
        {"no window as source", Dest(), reinterpret_cast<HWND>(uintptr_t{0x7ff0123}), E_INVALIDARG},
        {"another window of this process as source", Dest(), TheDesk().cover, S_OK},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Register(c.dest, c.source), c.hr) << c.what;
}

bool CompositionSeen() {
    BOOL on = FALSE;
    return DwmIsCompositionEnabled(&on) == S_OK && on;
}

DWORD CloakSeen() {
    DWORD value = 0xFFFFFFFF;
    DwmGetWindowAttribute(Source(), DWMWA_CLOAKED, &value, sizeof value);
    return value;
}

// dwmctl sets each switch with control.h in a process of its own; this one sees it.
TEST(Switches, SetByDwmctlAreSeenHere) {
    const std::string source = e2e::HandleText(Source());
    const struct {
        std::string args;
        DWORD exitCode;
        bool (*seen)();
    } cases[] = {
        {"cloak " + source + " 6", 0, [] { return CloakSeen() == 6; }},
        {"cloak " + source + " 0", 0, [] { return CloakSeen() == 0; }},
        {"refuse " + source, 0, [] { return Register(Dest(), Source()) == E_INVALIDARG; }},
        {"refuse " + source + " 80070005", 0,
         [] { return Register(Dest(), Source()) == E_ACCESSDENIED; }},
        {"refuse " + source + " off", 0, [] { return Register(Dest(), Source()) == S_OK; }},
        {"composition off", 0, [] { return !CompositionSeen(); }},
        {"composition on", 0, CompositionSeen},
        {"cloak 0x7ff0123 1", 1, nullptr}, // no such window
        {"cloak zz 1", 2, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(e2e::StartRig(L"dwmctl.exe", e2e::Wide(c.args)).WaitExit(), c.exitCode) << c.args;
        EXPECT_TRUE(!c.seen || e2e::WaitUntil(c.seen, 2000)) << c.args;
    }
    dwmrig::SetComposition(true);
}

TEST(Record, WritersInSeveralProcessesLoseNoLine) {
    using dwmrig::RecordField;
    constexpr int WRITERS = 3, CALLS = 300;
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::vector<e2e::Process> writers;
    for (int i = 0; i < WRITERS; ++i)
        writers.push_back(e2e::Start(exe, L"--writer " + std::to_wstring(CALLS)));
    BOOL on = FALSE;
    for (int i = 0; i < CALLS; ++i)
        DwmIsCompositionEnabled(&on);
    for (e2e::Process& w : writers)
        ASSERT_EQ(w.WaitExit(60000), 0u);
    std::map<std::string, int> queries; // by process id
    for (const std::string& line : e2e::DwmRecord()) {
        EXPECT_TRUE(line.back() == '}' && RecordField(line, "tid") &&
                    (RecordField(line, "hr") || RecordField(line, "result")))
            << line;
        if (RecordField(line, "fn") == "DwmIsCompositionEnabled")
            ++queries[RecordField(line, "pid").value_or("")];
    }
    for (const e2e::Process& w : writers)
        EXPECT_EQ(queries[std::to_string(w.pid)], CALLS) << "writer " << w.pid;
}

} // namespace
} // namespace selftest

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--writer") == 0) {
        BOOL on = FALSE;
        for (int i = std::atoi(argv[2]); i > 0; --i)
            DwmIsCompositionEnabled(&on);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new selftest::DeskEnvironment);
    return RUN_ALL_TESTS();
}
