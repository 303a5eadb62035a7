// The stand-in compositor's drawing, run on the rig's desktop (bench/run.sh). Every figure is a
// ratio against a baseline measured in the same run, for a covered fixture as the source:
//   - one refresh of a thumbnail (DwmFlush) against GDI's own copy of the same pixels: the bare
//     StretchBlt in the mode the stand-in picks, or the BitBlt when nothing is scaled;
//   - a translucent refresh against an opaque one;
//   - this process's CPU while the thumbnail refreshes on the stand-in's timer, against the same
//     process handling its messages with no thumbnail;
//   - the pictures the destination shows in two seconds against the frames the source drew (25 a
//     second, fewer than the stand-in's refreshes, so 1.0 is every frame shown).
//
//   dwm_refresh_bench.exe                       the figures for four sizes
//   dwm_refresh_bench.exe --hold W H SW SH S    one W x H thumbnail of an SW x SH source
//                                               refreshing for S seconds, for measuring the
//                                               X server's and wineserver's share from outside
// It sits beside the stand-in dwmapi.dll, in the rig folder.
#include <windows.h>
#include <dwmapi.h>

#include <cstdio>
#include <cwchar>
#include <functional>

#include "driver.h"
#include "tools/dwm/control.h"
#include "tools/dwm/mapping.h"
#include "tools/fixture/control.h"

namespace {

double MsEach(int rounds, const std::function<void()>& run) {
    const double start = e2e::NowMs();
    for (int i = 0; i < rounds; ++i)
        run();
    return (e2e::NowMs() - start) / rounds;
}

// GDI's own copy: a StretchBlt in `mode`, or with mode 0 a BitBlt.
void Copy(HWND dest, HWND source, int w, int h, int sw, int sh, int mode) {
    HDC to = GetDC(dest);
    HDC from = GetDC(source);
    if (mode == 0) {
        BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(to, mode);
        SetBrushOrgEx(to, 0, 0, nullptr);
        StretchBlt(to, 0, 0, w, h, from, 0, 0, sw, sh, SRCCOPY);
    }
    ReleaseDC(source, from);
    ReleaseDC(dest, to);
}

double ProcessCpuMs() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ms = [](FILETIME t) {
        return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// This process's share of one core, in percent, while it handles its messages for `ms` (the
// stand-in's refresh timer runs in them).
double CpuPercent(DWORD ms) {
    const double cpu = ProcessCpuMs(), wall = e2e::NowMs();
    e2e::WaitUntil([] { return false; }, ms);
    return 100.0 * (ProcessCpuMs() - cpu) / (e2e::NowMs() - wall);
}

struct Thumbnail {
    HTHUMBNAIL handle = nullptr;
    Thumbnail(HWND dest, HWND source, int w, int h, int sw, int sh) {
        DwmRegisterThumbnail(dest, source, &handle);
        Set(w, h, sw, sh, 255);
    }
    void Set(int w, int h, int sw, int sh, BYTE opacity) const {
        const DWM_THUMBNAIL_PROPERTIES p{DWM_TNP_RECTDESTINATION | DWM_TNP_RECTSOURCE |
                                             DWM_TNP_OPACITY | DWM_TNP_VISIBLE |
                                             DWM_TNP_SOURCECLIENTAREAONLY,
                                         RECT{0, 0, w, h},
                                         RECT{0, 0, sw, sh},
                                         opacity,
                                         TRUE,
                                         TRUE};
        DwmUpdateThumbnailProperties(handle, &p);
    }
    ~Thumbnail() { DwmUnregisterThumbnail(handle); }
    Thumbnail(const Thumbnail&) = delete;
    Thumbnail& operator=(const Thumbnail&) = delete;
};

void Measure(int w, int h, int sw, int sh) {
    e2e::Fixture source = e2e::StartFixture(0, 0, sw, sh, L"--fps 25");
    e2e::OwnWindow dest(RECT{0, 0, w, h}, WS_EX_TOPMOST); // over the source
    if (!source.hwnd || !dest.Get()) {
        std::printf("%d x %d from %d x %d: the source or the destination did not come up\n", w, h,
                    sw, sh);
        return;
    }
    const double idle = CpuPercent(2000);
    Thumbnail t(dest.Get(), source.hwnd, w, h, sw, sh);
    const dwmrig::Rect whole{0, 0, w, h}, from{0, 0, sw, sh};
    const bool smooth =
        dwmrig::WantsSmoothScaling(dwmrig::PlanThumbnailBlit(whole, from, from, whole));
    const int mode = w == sw && h == sh ? 0 : smooth ? HALFTONE : COLORONCOLOR;
    const double refresh = MsEach(30, [] { DwmFlush(); });
    const double copy = MsEach(30, [&] { Copy(dest.Get(), source.hwnd, w, h, sw, sh, mode); });
    const double refreshing = CpuPercent(3000);
    int pictures = 0;
    COLORREF last = CLR_INVALID;
    const auto frame0 = rig::FixtureFrame(source.hwnd);
    e2e::WaitUntil(
        [&] {
            HDC dc = GetDC(dest.Get());
            const COLORREF now = GetPixel(dc, w / 2, h / 2);
            ReleaseDC(dest.Get(), dc);
            pictures += now != last;
            last = now;
            return false;
        },
        2000, 1);
    const auto frames = rig::FixtureFrame(source.hwnd).value_or(0) - frame0.value_or(0);
    t.Set(w, h, sw, sh, 128);
    const double translucent = MsEach(10, [] { DwmFlush(); });
    std::printf("%4d x %4d from %4d x %4d: a refresh %.2f ms = %.2f x GDI's %s; translucent %.2f x "
                "opaque; CPU %.1f %% of a core = %.1f x idle; pictures per source frame %.2f\n",
                w, h, sw, sh, refresh, refresh / copy,
                mode == 0 ? "BitBlt"
                : smooth  ? "HALFTONE StretchBlt"
                          : "COLORONCOLOR StretchBlt",
                translucent / refresh, refreshing, refreshing / (idle + 0.1),
                frames ? double(pictures) / frames : 0.0);
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    dwmrig::SetComposition(true);
    if (argc == 7 && std::wcscmp(argv[1], L"--hold") == 0) {
        int v[5];
        for (int i = 0; i < 5; ++i)
            v[i] = _wtoi(argv[i + 2]);
        e2e::Fixture source = e2e::StartFixture(0, 0, v[2], v[3], L"--fps 25");
        e2e::OwnWindow dest(RECT{0, 0, v[0], v[1]}, WS_EX_TOPMOST);
        Thumbnail t(dest.Get(), source.hwnd, v[0], v[1], v[2], v[3]);
        std::printf("holding %d x %d from %d x %d for %d s\n", v[0], v[1], v[2], v[3], v[4]);
        std::fflush(stdout);
        e2e::WaitUntil([] { return false; }, DWORD(v[4]) * 1000);
        return 0;
    }
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    std::printf("stand-in compositor: each refresh against GDI's own copy, in the same run\n");
    Measure(400, 300, 800, 600);                                       // a small preview, shrunk
    Measure(sw, sh, 800, 600);                                         // maximized, enlarged
    Measure((sw - 40) * 9 / 10, (sh - 60) * 9 / 10, sw - 40, sh - 60); // large, shrunk
    Measure(800, 600, 800, 600);                                       // 1:1
    return 0;
}
