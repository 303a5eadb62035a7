// Handling a preview, run on the rig's desktop (bench/run.sh). Every figure is a ratio against a
// baseline measured in the same run:
//   - a key press to the preview at its new size with its thumbnail record updated, against a
//     plain window (a still fixture) resized by SetWindowPos;
//   - the instance's CPU per step of an interactive resize (the right edge dragged through the X
//     server), against the plain window's process per SetWindowPos step;
//   - windows, GDI objects and working set before and after many zoom, maximize and restore
//     cycles and many menu openings.
//
//   preview_interaction_bench.exe [CYCLES] [STEPS]
#include <cstdio>

#include "bench_support_win.h"
#include "res/resource.h"

using namespace e2e;

namespace {

int Width(HWND window) {
    return Inspect(window).window.right - Inspect(window).window.left;
}

// From a key press to the preview at a new width with a thumbnail update on record.
double KeyToResizedMs(bench::RecordTail* record, HWND preview, WORD key) {
    const int before = Width(preview);
    record->Mark();
    const double start = NowMs();
    KeyPress(key);
    WaitFine(
        [&] { return Width(preview) != before && record->Has("DwmUpdateThumbnailProperties"); },
        5000);
    return NowMs() - start;
}

double SetWindowPosMs(HWND window, int width) {
    const RECT r = Inspect(window).window;
    const double start = NowMs();
    SetWindowPos(window, nullptr, 0, 0, width, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitFine([&] { return Width(window) == width; }, 5000);
    return NowMs() - start;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int cycles = argc > 1 ? _wtoi(argv[1]) : 1000;
    const int steps = argc > 2 ? _wtoi(argv[2]) : 100;
    KillAllLumetta();
    ClearSettings();
    const Fixture source = StartFixture(100, 120, 800, 600, L"--fps 0");
    const Fixture plain = StartFixture(1000, 120, 400, 300, L"--fps 0 --class RigPlain");
    Instance instance = StartInstance(L"-preview " + HandleArg(source.hwnd) + L" " +
                                      RectArgs(source.ScreenRect(100, 100, 400, 300)));
    const DWORD pid = instance.process.pid;
    const HWND preview = WaitNewPreview(pid);
    if (!source.hwnd || !plain.hwnd || !preview) {
        std::fprintf(stderr, "preview_interaction_bench: the windows did not come up\n");
        return 1;
    }
    const RECT at = Inspect(preview).client;
    const POINT middle{(at.left + at.right) / 2, (at.top + at.bottom) / 2};
    Click(middle.x, middle.y); // activates it; keys go to it from now on
    Focus(preview);

    bench::RecordTail record;
    std::vector<double> keyMs, plainMs;
    for (int i = 0; i < 20; ++i) {
        keyMs.push_back(KeyToResizedMs(&record, preview, i % 2 ? VK_SUBTRACT : VK_ADD));
        plainMs.push_back(SetWindowPosMs(plain.hwnd, 400 + (i % 2 ? 0 : 24)));
    }

    // The right edge dragged out and back, a pixel a step, against the plain window's steps.
    const std::string plainExe = Utf8(Env(L"LUMETTA_RIG")) + "\\fixture.exe";
    const RECT w = Inspect(preview).window;
    const int y = (w.top + w.bottom) / 2;
    const double instance0 = bench::InstanceCpuMs();
    PressAt(w.right - 1, y);
    for (int i = 1; i <= steps; ++i)
        MouseMove(w.right - 1 + (i <= steps / 2 ? i : steps - i), y);
    ReleaseAt(w.right - 1, y);
    const double resizeCpu = bench::InstanceCpuMs() - instance0;
    const double plain0 = bench::ProcessCpuMs(plainExe);
    for (int i = 1; i <= steps; ++i)
        SetWindowPosMs(plain.hwnd, 400 + (i <= steps / 2 ? i : steps - i));
    const double plainCpu = bench::ProcessCpuMs(plainExe) - plain0;

    const e2e::GuiCounts before = bench::SteadyCounts(pid);
    for (int i = 0; i < cycles; ++i) {
        for (UINT command : {IDM_ZOOM_IN, IDM_MAXIMIZE, IDM_MAXIMIZE, IDM_ZOOM_OUT})
            SendMessageW(preview, WM_COMMAND, command, 0);
    }
    const e2e::GuiCounts afterZoom = bench::SteadyCounts(pid);
    const double menus0 = NowMs();
    for (int i = 0; i < cycles; ++i) {
        Click(middle.x, middle.y, 3);
        const HWND menu = WaitPopupMenu(pid);
        KeyPress(VK_ESCAPE);
        WaitFine([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 5000);
    }
    const e2e::GuiCounts afterMenus = bench::SteadyCounts(pid);
    std::printf("  (menus took %.0f ms)\n", NowMs() - menus0);

    std::printf("preview interaction benchmark (%d cycles, %d resize steps)\n", cycles, steps);
    std::printf("  key to resized preview with its thumbnail updated, median ms: %.1f; a plain "
                "window resized by SetWindowPos %.1f (x%.2f)\n",
                bench::Median(keyMs), bench::Median(plainMs),
                bench::Median(keyMs) / std::max(bench::Median(plainMs), 0.1));
    std::printf("  CPU per resize step, ms: preview %.2f, plain window %.2f (x%.2f; 10 ms ticks)\n",
                resizeCpu / steps, plainCpu / steps, plainCpu > 0 ? resizeCpu / plainCpu : 0.0);
    bench::PrintCounts("zoom, maximize and restore cycles", before, afterZoom);
    bench::PrintCounts("menu openings", afterZoom, afterMenus);
    KillAllLumetta();
    return 0;
}
