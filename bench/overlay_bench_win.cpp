// A preview's hover bar, run on the rig's desktop (bench/run.sh). Every figure is a ratio against a
// baseline measured in the same run:
//   - the pointer entering a preview to its bar on screen, against a trivial layered window of
//     this program shown on the same mouse message over a window of its own;
//   - a redraw of the bar of a 1920-pixel-wide preview (a hover move to another button), against
//     the same message when it changes nothing (no redraw);
//   - the instance's idle CPU with 100 previews and the pointer over none, against the empty
//     instance: no bar keeps a timer running.
//
//   overlay_bench.exe [ROUNDS] [IDLE_SECONDS]
#include <cstdio>
#include <thread>

#include "bench_support_win.h"
#include "overlay/constants.h"
#include "overlay/layout.h"

using namespace e2e;

namespace {

constexpr int kBarWidth = 1920, kBarHeight = 38;

// The baseline: a window whose first mouse message shows a layered popup as wide as the bar.
struct Trivial {
    HWND target = nullptr, popup = nullptr;
    DWORD thread = 0;
};
Trivial g_trivial;

LRESULT CALLBACK TrivialProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE && !IsWindowVisible(g_trivial.popup)) {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(info.bmiHeader), kBarWidth, -kBarHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        std::fill_n(static_cast<uint32_t*>(bits), kBarWidth * kBarHeight, 0x80000000u);
        RECT r{};
        GetWindowRect(hwnd, &r);
        POINT at{r.left, r.top}, origin{0, 0};
        SIZE size{kBarWidth, kBarHeight};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(g_trivial.popup, screen, &at, &size, memory, &origin, 0, &blend,
                            ULW_ALPHA);
        ShowWindow(g_trivial.popup, SW_SHOWNOACTIVATE);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The baseline's windows, on a thread of their own that answers the X server's events.
void RunTrivial(RECT at, HANDLE ready) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TrivialProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"OverlayBenchTarget";
    RegisterClassW(&wc);
    g_trivial.target = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE,
                                       at.left, at.top, at.right - at.left, at.bottom - at.top,
                                       nullptr, nullptr, wc.hInstance, nullptr);
    g_trivial.popup = CreateWindowExW(
        WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, L"",
        WS_POPUP, 0, 0, 0, 0, g_trivial.target, nullptr, wc.hInstance, nullptr);
    g_trivial.thread = GetCurrentThreadId();
    SetEvent(ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
}

// From the pointer's entry to the window shown, starting from a pointer away from both.
double EnterMs(POINT away, POINT inside, const std::function<bool()>& shown) {
    MouseMove(away.x, away.y);
    WaitFine([&] { return !shown(); }, 5000);
    const double start = NowMs();
    MouseMove(inside.x, inside.y);
    WaitFine(shown, 5000);
    return NowMs() - start;
}

double SendMs(HWND window, LPARAM point) {
    const double start = NowMs();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_MOUSEMOVE, 0, point, SMTO_NORMAL, 5000, &answer);
    return NowMs() - start;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 15;
    const int idleSeconds = argc > 2 ? _wtoi(argv[2]) : 10;
    KillAllLumetta();
    ClearSettings();
    const Fixture source = StartFixture(0, 100, kBarWidth, 500, L"--fps 0");
    Instance instance = StartInstance(L"-preview " + HandleArg(source.hwnd) + L" " +
                                      RectArgs(source.ScreenRect(0, 0, kBarWidth, 300)));
    const DWORD pid = instance.process.pid;
    const HWND preview = WaitNewPreview(pid);
    if (!preview) {
        std::fprintf(stderr, "overlay_bench: no preview\n");
        return 1;
    }
    const auto bar = [&] {
        const auto found = FindTopLevel(lumetta::OVERLAY_WINDOW_CLASS, nullptr, pid);
        return found.empty() ? nullptr : found.front();
    };
    const RECT frame = Inspect(preview).window;
    const POINT inPreview{frame.left + 400, frame.bottom - 60};
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread trivial(RunTrivial, RECT{200, 650, 600, 850}, ready);
    WaitForSingleObject(ready, 5000);

    std::vector<double> enterBar, enterTrivial;
    for (int i = 0; i < rounds; ++i) {
        enterBar.push_back(EnterMs({1000, 1000}, {inPreview.x + i % 2, inPreview.y},
                                   [&] { return bar() && IsWindowVisible(bar()); }));
        enterTrivial.push_back(EnterMs({1000, 1000}, {400 + i % 2, 750},
                                       [] { return IsWindowVisible(g_trivial.popup) != 0; }));
        ShowWindow(g_trivial.popup, SW_HIDE);
    }

    // Hover moves straight to the bar's window: between two buttons each one redraws it; to the
    // same button again, none does.
    MouseMove(inPreview.x, inPreview.y);
    WaitFine([&] { return bar() && IsWindowVisible(bar()); }, 5000);
    const lumetta::OverlayLayout layout =
        lumetta::LayoutOverlay(frame.right - frame.left, frame.bottom - frame.top, 96);
    const auto centre = [&](lumetta::OverlayButton b) {
        const lumetta::Rect r = layout.buttonRects[static_cast<int>(b)];
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    const LPARAM zoomIn = centre(lumetta::OverlayButton::ZoomIn);
    const LPARAM zoomOut = centre(lumetta::OverlayButton::ZoomOut);
    std::vector<double> redraw, same;
    for (int i = 0; i < rounds * 20; ++i) {
        redraw.push_back(SendMs(bar(), i % 2 ? zoomIn : zoomOut));
        same.push_back(SendMs(bar(), i % 2 ? zoomIn : zoomOut));
    }

    // 100 previews, the pointer away from all of them.
    for (int i = 1; i < 100; ++i)
        OpenByHandOff(instance, source.hwnd, source.ScreenRect(i * 12, 320, i * 12 + 200, 480));
    MouseMove(1900, 1000);
    const double busy0 = bench::InstanceCpuMs(), busyStart = NowMs();
    WaitUntil([] { return false; }, DWORD(idleSeconds) * 1000, 1000); // the idle time measured
    const double busyCpu = bench::InstanceCpuMs() - busy0, busyWall = NowMs() - busyStart;
    const size_t previews = Previews(pid).size();
    KillAllLumetta();
    Instance empty = StartInstance(L"-startup -wait");
    const double empty0 = bench::InstanceCpuMs(), emptyStart = NowMs();
    WaitUntil([] { return false; }, DWORD(idleSeconds) * 1000, 1000);
    const double emptyCpu = bench::InstanceCpuMs() - empty0, emptyWall = NowMs() - emptyStart;

    std::printf("hover bar benchmark (%d rounds)\n", rounds);
    const double bar0 = bench::Median(enterBar), trivial0 = bench::Median(enterTrivial);
    std::printf("  pointer in to the bar on screen, median ms: %.1f; a trivial layered window "
                "%.1f (x%.2f)\n",
                bar0, trivial0, bar0 / std::max(trivial0, 0.1));
    const double redrawMs = bench::Median(redraw), sameMs = bench::Median(same);
    std::printf("  hover move with a redraw of the 1920 x 38 bar, median ms: %.2f; the same move "
                "without one %.2f (x%.2f)\n",
                redrawMs, sameMs, redrawMs / std::max(sameMs, 0.01));
    std::printf("  idle CPU, %zu previews with bars, pointer away: %.1f ms/s; the empty instance "
                "%.1f ms/s\n",
                previews, busyCpu * 1000 / busyWall, emptyCpu * 1000 / emptyWall);
    KillAllLumetta();
    PostThreadMessageW(g_trivial.thread, WM_QUIT, 0, 0);
    trivial.join();
    return 0;
}
