#include "thumbnails_win.h"

#include "constants.h"
#include "control.h"
#include "mapping.h"

namespace dwmrig {
namespace {

struct Thumbnail {
    uint64_t id = 0; // 0: the slot is free
    HWND destination = nullptr;
    HWND source = nullptr;
    DWORD thread = 0; // the registering thread, which draws it
    ThumbProps props;
    Rect drawn;           // what the last refresh covered, in destination client coordinates
    bool stopped = false; // the destination or the drawing thread is gone
};

// The refresh timer of one thread; all thumbnails that thread registered share it.
struct ThreadTimer {
    DWORD thread = 0;
    UINT_PTR timer = 0;
    ULONGLONG restUntilMs = 0; // ticks before this skip drawing (GetTickCount64)
};

SRWLOCK g_lock = SRWLOCK_INIT;
Thumbnail g_thumbnails[MAX_THUMBNAILS];
ThreadTimer g_timers[MAX_DRAWING_THREADS];
uint64_t g_issued = 0;

struct Lock {
    Lock() { AcquireSRWLockExclusive(&g_lock); }
    ~Lock() { ReleaseSRWLockExclusive(&g_lock); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
};

// Owners of the two DCs a refresh holds, so no path leaks one.
struct WindowDc {
    HWND hwnd;
    HDC dc;
    WindowDc(HWND window, bool wholeWindow)
        : hwnd(window), dc(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDc() {
        if (dc) ReleaseDC(hwnd, dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
};

struct MemoryDc {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    MemoryDc(HDC like, int width, int height) {
        dc = CreateCompatibleDC(like);
        bitmap = dc ? CreateCompatibleBitmap(like, width, height) : nullptr;
        if (bitmap) previous = SelectObject(dc, bitmap);
    }
    ~MemoryDc() {
        if (previous) SelectObject(dc, previous);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
};

int FindSlot(uint64_t id) {
    if (id == 0) return -1;
    for (int i = 0; i < MAX_THUMBNAILS; ++i)
        if (g_thumbnails[i].id == id) return i;
    return -1;
}

RECT ToRECT(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
Rect FromRECT(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool DestinationAlive(HWND destination) {
    DWORD pid = 0;
    return IsWindow(destination) && GetWindowThreadProcessId(destination, &pid) != 0 &&
           pid == GetCurrentProcessId();
}

// What DWM would show of the source now: its surface (client or window rectangle) in the
// coordinates rcSource uses.
bool SourceSurface(HWND source, bool clientAreaOnly, Rect* surface) {
    RECT r;
    if (clientAreaOnly) {
        if (!GetClientRect(source, &r)) return false;
    } else {
        if (!GetWindowRect(source, &r)) return false;
        r = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    }
    *surface = FromRECT(r);
    return true;
}

// The area no longer covered is handed back to the destination's program to repaint.
void Uncover(HWND destination, const Rect& before, const Rect& now) {
    if (IsEmpty(before) || (!IsEmpty(now) && Contains(now, before))) return;
    const RECT b = ToRECT(before);
    if (IsEmpty(now)) {
        InvalidateRect(destination, &b, TRUE);
        return;
    }
    HRGN stale = CreateRectRgnIndirect(&b);
    const RECT n = ToRECT(now);
    HRGN kept = CreateRectRgnIndirect(&n);
    if (stale && kept && CombineRgn(stale, stale, kept, RGN_DIFF) != ERROR)
        InvalidateRgn(destination, stale, TRUE);
    else
        InvalidateRect(destination, &b, TRUE);
    if (stale) DeleteObject(stale);
    if (kept) DeleteObject(kept);
}

void Stretch(HDC to, const BlitPlan& plan, HDC from) {
    const Rect& d = plan.destination;
    const Rect& s = plan.source;
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    if (dw == sw && dh == sh) {
        BitBlt(to, d.left, d.top, dw, dh, from, s.left, s.top, SRCCOPY);
        return;
    }
    SetStretchBltMode(to, WantsSmoothScaling(plan) ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, d.left, d.top, dw, dh, from, s.left, s.top, sw, sh, SRCCOPY);
}

// Translucent: the destination's own background (asked for with WM_PRINT, as its program would
// paint it) blended with the source, composed off-screen so that refreshes do not accumulate.
void Blend(HWND destination, HDC to, const BlitPlan& plan, HDC from, BYTE opacity) {
    const Rect& c = plan.clip;
    const int cw = c.right - c.left, ch = c.bottom - c.top;
    MemoryDc back(to, cw, ch);
    if (!back.previous) return;
    SetViewportOrgEx(back.dc, -c.left, -c.top, nullptr);
    SendMessageW(destination, WM_PRINT, reinterpret_cast<WPARAM>(back.dc),
                 PRF_CLIENT | PRF_ERASEBKGND);
    const Rect& d = plan.destination;
    const Rect& s = plan.source;
    IntersectClipRect(back.dc, c.left, c.top, c.right, c.bottom);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, 0};
    GdiAlphaBlend(back.dc, d.left, d.top, d.right - d.left, d.bottom - d.top, from, s.left, s.top,
                  s.right - s.left, s.bottom - s.top, blend);
    BitBlt(to, c.left, c.top, cw, ch, back.dc, c.left, c.top, SRCCOPY);
}

// One refresh of one thumbnail; returns the area it now covers.
Rect Refresh(const Thumbnail& t, bool compositionOn) {
    const bool sourceAlive = IsWindow(t.source) != FALSE;
    // A hidden or minimized destination shows nothing and needs no work; a minimized source keeps
    // its last picture, as DWM keeps the last frame of a minimized window.
    if (!IsWindowVisible(t.destination) || IsIconic(t.destination)) return t.drawn;
    if (sourceAlive && IsIconic(t.source) && compositionOn && t.props.fVisible) return t.drawn;

    const bool clientOnly = t.props.fSourceClientAreaOnly != 0;
    BlitPlan plan;
    RECT client;
    Rect surface;
    if (compositionOn && t.props.fVisible && t.props.opacity > 0 && sourceAlive &&
        GetClientRect(t.destination, &client) && SourceSurface(t.source, clientOnly, &surface)) {
        plan = PlanThumbnailBlit(t.props.rcDestination, EffectiveSource(t.props, surface), surface,
                                 FromRECT(client));
    }
    const Rect now = plan.draw ? plan.clip : Rect{};
    Uncover(t.destination, t.drawn, now);
    if (!plan.draw) return now;

    WindowDc to(t.destination, false);
    WindowDc from(t.source, !clientOnly);
    if (!to.dc || !from.dc) return now;
    IntersectClipRect(to.dc, plan.clip.left, plan.clip.top, plan.clip.right, plan.clip.bottom);
    if (t.props.opacity == 255)
        Stretch(to.dc, plan, from.dc);
    else
        Blend(t.destination, to.dc, plan, from.dc, t.props.opacity);
    return now;
}

// Refreshes the thumbnails of the calling thread; stops those whose destination is gone.
// Returns how many are still registered by this thread.
int RefreshThread(int onlySlot) {
    const DWORD thread = GetCurrentThreadId();
    const bool compositionOn = CompositionOn();
    int live = 0;
    for (int i = 0; i < MAX_THUMBNAILS; ++i) {
        if (onlySlot >= 0 && i != onlySlot) continue;
        Thumbnail snapshot;
        {
            Lock lock;
            const Thumbnail& t = g_thumbnails[i];
            if (t.id == 0 || t.thread != thread) continue;
            ++live;
            if (t.stopped) continue;
            snapshot = t;
        }
        // Never draw into a window that died or whose handle another process now holds.
        if (!DestinationAlive(snapshot.destination)) {
            Lock lock;
            if (g_thumbnails[i].id == snapshot.id) g_thumbnails[i].stopped = true;
            continue;
        }
        const Rect drawn = Refresh(snapshot, compositionOn);
        Lock lock;
        if (g_thumbnails[i].id == snapshot.id) g_thumbnails[i].drawn = drawn;
    }
    return live;
}

ThreadTimer* FindThreadTimer(DWORD thread) { // with the lock held
    for (ThreadTimer& tt : g_timers)
        if (tt.thread == thread) return &tt;
    return nullptr;
}

void CALLBACK OnRefreshTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!RefreshOn()) return;
    const DWORD thread = GetCurrentThreadId();
    {
        Lock lock;
        const ThreadTimer* tt = FindThreadTimer(thread);
        if (tt && GetTickCount64() < tt->restUntilMs) return;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const int live = RefreshThread(-1);
    QueryPerformanceCounter(&end);
    if (live > 0) {
        // Many or large thumbnails must not take the program's thread from it.
        const auto elapsedMs = (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
        Lock lock;
        if (ThreadTimer* tt = FindThreadTimer(thread))
            tt->restUntilMs = GetTickCount64() + static_cast<ULONGLONG>(RefreshRestMs(elapsedMs));
        return;
    }
    // Nothing left to draw on this thread: the timer goes until the next registration.
    KillTimer(nullptr, timer);
    Lock lock;
    for (ThreadTimer& tt : g_timers)
        if (tt.thread == thread && tt.timer == timer) tt = ThreadTimer{};
}

// Starts the calling thread's refresh timer unless it runs. Called with the lock held.
bool EnsureThreadTimer() {
    const DWORD thread = GetCurrentThreadId();
    ThreadTimer* freeSlot = nullptr;
    for (ThreadTimer& tt : g_timers) {
        if (tt.thread == thread) return true;
        if (tt.thread == 0 && !freeSlot) freeSlot = &tt;
    }
    if (!freeSlot) return false;
    const UINT_PTR timer = SetTimer(nullptr, 0, REFRESH_PERIOD_MS, OnRefreshTimer);
    if (!timer) return false;
    *freeSlot = ThreadTimer{thread, timer, 0};
    return true;
}

void PinModule() {
    // Timers call into this module until the process ends; a FreeLibrary must not unload it.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&PinModule), &self);
}

} // namespace

uint64_t AddThumbnail(HWND destination, HWND source) {
    PinModule();
    Lock lock;
    for (Thumbnail& t : g_thumbnails) {
        if (t.id != 0) continue;
        if (!EnsureThreadTimer()) return 0;
        t = Thumbnail{};
        t.id = THUMBNAIL_HANDLE_BASE + THUMBNAIL_HANDLE_STEP * ++g_issued;
        t.destination = destination;
        t.source = source;
        t.thread = GetCurrentThreadId();
        t.props = DefaultThumbProps();
        return t.id;
    }
    return 0;
}

bool RemoveThumbnail(uint64_t id) {
    Thumbnail removed;
    {
        Lock lock;
        const int slot = FindSlot(id);
        if (slot < 0) return false;
        removed = g_thumbnails[slot];
        g_thumbnails[slot] = Thumbnail{};
    }
    if (!removed.stopped && !IsEmpty(removed.drawn) && DestinationAlive(removed.destination)) {
        const RECT r = ToRECT(removed.drawn);
        InvalidateRect(removed.destination, &r, TRUE);
    }
    return true;
}

bool UpdateThumbnail(uint64_t id, const ThumbProps& given) {
    int slot;
    bool mine;
    {
        Lock lock;
        slot = FindSlot(id);
        if (slot < 0) return false;
        Thumbnail& t = g_thumbnails[slot];
        t.props = MergeThumbProps(t.props, given);
        mine = t.thread == GetCurrentThreadId();
    }
    // DWM shows the change at its next frame; drawing now makes that frame immediate. Another
    // thread's thumbnail waits for its own thread's timer.
    if (mine) RefreshThread(slot);
    return true;
}

bool ThumbnailSource(uint64_t id, HWND* source, bool* clientAreaOnly) {
    Lock lock;
    const int slot = FindSlot(id);
    if (slot < 0) return false;
    *source = g_thumbnails[slot].source;
    *clientAreaOnly = g_thumbnails[slot].props.fSourceClientAreaOnly != 0;
    return true;
}

void DrawThreadThumbnails() {
    RefreshThread(-1);
}

void ForgetThread(DWORD thread) {
    Lock lock;
    for (ThreadTimer& tt : g_timers)
        if (tt.thread == thread) tt = ThreadTimer{};
    for (Thumbnail& t : g_thumbnails)
        if (t.id != 0 && t.thread == thread) t.stopped = true;
}

} // namespace dwmrig
