// Self-check of the rig's pointer, run inside tools/desktop-run: moves and clicks given through the
// X server reach a window of another thread (with an X connection of its own, as another process
// has) at the right client coordinates and in order, and the last of a quick run of moves is the
// one the window ends with. Moves given with SendInput fail it: Wine delivers the previous
// position again after the new one was asked for.
#include "tools/input/input_win.h"

#include <windows.h>
#include <windowsx.h>

#include <atomic>
#include <cstdio>
#include <vector>

namespace {

constexpr POINT kOrigin{200, 150}; // the window's top-left corner on the screen
constexpr int kSize = 600;
constexpr int kCapacity = 8192;
MSG g_seen[kCapacity]; // the window's mouse messages, pt the client point; written by its thread
std::atomic<int> g_count{0};

LRESULT CALLBACK Record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int n = g_count; // WM_MOUSEMOVE, WM_LBUTTONDOWN and WM_LBUTTONUP follow each other
    if (msg >= WM_MOUSEMOVE && msg <= WM_LBUTTONUP && n < kCapacity) {
        g_seen[n] = {hwnd, msg, wp, lp, 0, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}};
        g_count = n + 1;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

DWORD WINAPI WindowThread(void* ready) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Record;
    wc.lpszClassName = L"LumettaInputCheck";
    RegisterClassW(&wc);
    CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, kOrigin.x,
                    kOrigin.y, kSize, kSize, nullptr, nullptr, nullptr, nullptr);
    SetEvent(ready);
    for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0;)
        DispatchMessageW(&msg);
    return 0;
}

bool Same(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

// Within 2 s the window's last message is msg at the client point and the cursor is there.
bool WaitLast(UINT msg, POINT at) {
    for (ULONGLONG end = GetTickCount64() + 2000; GetTickCount64() <= end; Sleep(1)) {
        const int n = g_count;
        POINT cursor;
        if (n > 0 && g_seen[n - 1].message == msg && Same(g_seen[n - 1].pt, at) &&
            GetCursorPos(&cursor) && Same(cursor, {kOrigin.x + at.x, kOrigin.y + at.y}))
            return true;
    }
    return false;
}

// Moves through count client points from first by step without waiting, clicks at the last, and
// checks that every message the window got meanwhile follows the order given (moves may merge).
bool Run(POINT first, POINT step, int count, bool click) {
    auto at = [&](int i) { return POINT{first.x + i * step.x, first.y + i * step.y}; };
    const int from = g_count;
    bool ok = true;
    for (int i = 0; i < count; ++i)
        ok = rig::input::MovePointer(kOrigin.x + at(i).x, kOrigin.y + at(i).y) && ok;
    const POINT last = at(count - 1);
    ok = ok && WaitLast(WM_MOUSEMOVE, last);
    ok = ok && (!click || (rig::input::Button(1, true) && WaitLast(WM_LBUTTONDOWN, last)));
    ok = ok && (!click || (rig::input::Button(1, false) && WaitLast(WM_LBUTTONUP, last)));
    for (int i = from, next = 0; i < g_count; ++i) {
        while (next < count && !Same(at(next), g_seen[i].pt))
            ++next;
        ok = ok && next < count;
    }
    return ok;
}

} // namespace

int main() {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, WindowThread, ready, 0, nullptr);
    WaitForSingleObject(ready, 5000);
    Run({1, 1}, {}, 1, false); // what the window saw before this is not counted
    // Runs over the whole window, each move a different step from the last.
    int failed = 0;
    for (int k = 0; k < 20; ++k)
        failed += !Run({10, 20}, {10 + k % 3, 11 - k % 4}, 50, true);
    std::printf("check %s: 20 quick runs of 50 moves and a click end where their last move is (%d "
                "failed)\n",
                failed ? "failed" : "passed", failed);
    return failed;
}
