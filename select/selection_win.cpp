#include "select/selection_win.h"

#include <windowsx.h>

#include <utility>

#include "app/base/constants.h"
#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "res/resource.h"
#include "select/constants.h"
#include "select/handoff_win.h"
#include "select/hint_text_win.h"

namespace lumetta {
namespace {

constexpr DWORD SELECTION_EX_STYLE = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr DWORD SELECTION_STYLE = WS_POPUP | WS_VISIBLE;
constexpr WORD BITS_PER_PIXEL = 32;

// The selection window's bitmap; the record holds a view of it.
OwnedBitmap g_screenBitmap;

LRESULT CALLBACK SelectionWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

POINT ToPOINT(Point p) {
    return POINT{p.x, p.y};
}

Point PointerOf(LPARAM lParam) {
    return Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

Rect PrimaryWorkArea() {
    RECT work{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return ToRect(work);
    return Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool CreateScreenBitmap(ScreenBitmap* screen, int32_t width, int32_t height) {
    if (!ScreenBitmapFits(width, height)) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: rows bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = BITS_PER_PIXEL;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    *screen = ScreenBitmap{bitmap.Get(), static_cast<uint32_t*>(bits), width, height};
    g_screenBitmap = std::move(bitmap);
    return true;
}

bool RegisterSelectionClass() {
    WindowClassParams params;
    params.name = SELECTION_WINDOW_CLASS;
    params.procedure = SelectionWndProc;
    params.style = CS_DBLCLKS;
    params.cursor = LoadCursorW(Context.instance, MAKEINTRESOURCEW(IDC_SELECT_CURSOR));
    params.background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    params.programIcon = true;
    return RegisterWindowClass(params);
}

// Pushes the bitmap, or only its dirty part, to the layered window. A push refused with a dirty
// rectangle is made once more for the whole window.
void PushToWindow(const SelectionWindow* s, const RECT* dirty) {
    if (!s->window || !s->screen.bitmap) return;
    WindowDc screenDc(nullptr);
    if (!screenDc) return;
    OwnedMemoryDc memoryDc(CreateCompatibleDC(screenDc.Get()));
    if (!memoryDc) return;
    SelectionGuard selected(memoryDc.Get(), s->screen.bitmap);
    if (!selected.Selected()) return;

    const POINT destination = ToPOINT(s->origin);
    const SIZE size{s->size.cx, s->size.cy};
    const POINT source{0, 0};
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof(info);
    info.hdcDst = screenDc.Get();
    info.pptDst = &destination;
    info.psize = &size;
    info.hdcSrc = memoryDc.Get();
    info.pptSrc = &source;
    info.crKey = 0;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = dirty;
    if (UpdateLayeredWindowIndirect(s->window, &info) || !dirty) return;
    info.prcDirty = nullptr;
    UpdateLayeredWindowIndirect(s->window, &info);
}

// ---- messages ---------------------------------------------------------------------------------

LRESULT OnCreate(HWND hwnd, LPARAM lParam) {
    SelectionWindow* s = AttachRecord<SelectionWindow>(hwnd, lParam);
    s->window = hwnd;
    RECT client{};
    GetClientRect(hwnd, &client);
    ResetCorners(s, ScreenSize{client.right, client.bottom});
    PresentSelection(s, true);
    s->redrawPending = 0;
    SetTimer(hwnd, TIMER_SELECTION_REDRAW, SELECTION_REDRAW_INTERVAL_MS, nullptr);
    return 0;
}

LRESULT OnTimer(SelectionWindow* s, WPARAM timer) {
    if (timer == TIMER_SELECTION_REDRAW && s->redrawPending) {
        s->redrawPending = 0;
        PresentSelection(s, false);
    }
    return 0;
}

LRESULT OnMouseMove(SelectionWindow* s, LPARAM lParam) {
    TrackPointer(s, PointerOf(lParam));
    return 0;
}

LRESULT OnLeftButtonDown(SelectionWindow* s, HWND hwnd, LPARAM lParam) {
    if (PressLeft(s, PointerOf(lParam)) == ButtonOutcome::Completed) DestroyWindow(hwnd);
    return 0;
}

LRESULT OnLeftButtonUp(SelectionWindow* s, HWND hwnd, LPARAM lParam) {
    if (ReleaseLeft(s, PointerOf(lParam)) == ButtonOutcome::Completed) DestroyWindow(hwnd);
    return 0;
}

// Cancel, whether a drag is going on or not: nothing is handed on.
LRESULT OnRightButtonUp(HWND hwnd) {
    DestroyWindow(hwnd);
    return 0;
}

// Escape cancels; Enter (IDM_SELECT_ACCEPT) is bound only so that it does nothing.
LRESULT OnCommand(SelectionWindow* s, HWND hwnd, WPARAM wParam) {
    if (LOWORD(wParam) == IDM_SELECT_CANCEL) {
        s->accepted = 0;
        DestroyWindow(hwnd);
    }
    return 0;
}

// A new monitor layout: start over on the new virtual screen, hint included.
LRESULT OnDisplayChange(SelectionWindow* s, HWND hwnd) {
    if (!RenderSelectionScreen(s)) return 0;
    SetWindowPos(hwnd, HWND_TOPMOST, s->origin.x, s->origin.y, s->size.cx, s->size.cy,
                 SWP_NOACTIVATE);
    PresentSelection(s, true);
    return 0;
}

LRESULT OnDestroy(SelectionWindow* s) {
    s->window = nullptr;
    DeleteScreenBitmap(s);
    HandOffSelection(*s);
    PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK SelectionWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return OnCreate(hwnd, lParam);
    SelectionWindow* s = RecordOf<SelectionWindow>(hwnd);
    if (!s) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_TIMER: return OnTimer(s, wParam);
    case WM_MOUSEMOVE: return OnMouseMove(s, lParam);
    case WM_LBUTTONDOWN: return OnLeftButtonDown(s, hwnd, lParam);
    case WM_LBUTTONUP: return OnLeftButtonUp(s, hwnd, lParam);
    case WM_RBUTTONUP: return OnRightButtonUp(hwnd);
    case WM_COMMAND: return OnCommand(s, hwnd, wParam);
    case WM_DISPLAYCHANGE: return OnDisplayChange(s, hwnd);
    case WM_DESTROY: return OnDestroy(s);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

bool CreateSelectionWindow(SelectionWindow* selection) {
    if (!RegisterSelectionClass()) return false;
    if (!RenderSelectionScreen(selection)) return false;
    HWND hwnd =
        CreateWindowExW(SELECTION_EX_STYLE, SELECTION_WINDOW_CLASS, APP_TITLE, SELECTION_STYLE,
                        selection->origin.x, selection->origin.y, selection->size.cx,
                        selection->size.cy, nullptr, nullptr, Context.instance, selection);
    return hwnd != nullptr;
}

bool RenderSelectionScreen(SelectionWindow* s) {
    ResetForRender(s);
    s->origin = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    s->size = {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const Rect workArea = ToWindowCoordinates(PrimaryWorkArea(), s->origin);

    DeleteScreenBitmap(s);
    if (!CreateScreenBitmap(&s->screen, s->size.cx, s->size.cy)) return false;
    FillRect32(&s->screen, SELECTION_DIM_PIXEL, nullptr);

    Rect layout{};
    if (!DrawHintIntoBitmap(s->screen.bitmap, workArea, GetSystemDpi(), &layout)) {
        // Without a whole picture nothing is pushed any more: the window keeps what it shows.
        DeleteScreenBitmap(s);
        return false;
    }
    s->hintShown = 1;
    s->hintRect = HintEraseRect(layout);
    return true;
}

void PresentSelection(SelectionWindow* s, bool full) {
    const RedrawPlan plan = PrepareRedraw(s, full);
    if (!plan.push) return;
    const RECT dirty = ToRECT(plan.dirty);
    PushToWindow(s, plan.wholeWindow ? nullptr : &dirty);
}

void DeleteScreenBitmap(SelectionWindow* s) {
    g_screenBitmap.Reset();
    s->screen = ScreenBitmap{};
}

} // namespace lumetta
