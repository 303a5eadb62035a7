#include "preview/preview_win.h"

#include <algorithm>
#include <iterator>

#include "app/base/constants_win.h"
#include "app/base/context_win.h"
#include "app/base/window_helpers_win.h"
#include "preview/constants.h"
#include "preview/constants_win.h"
#include "preview/frame_win.h"
#include "preview/geometry.h"
#include "preview/input_win.h"
#include "preview/menu_win.h"
#include "preview/thumbnail_win.h"
#include "preview/zoom_win.h"

namespace lumetta {
namespace {

bool RegisterPreviewClass() {
    WindowClassParams params;
    params.name = PREVIEW_WINDOW_CLASS;
    params.procedure = PreviewWndProc;
    params.style = CS_DBLCLKS;
    params.cursor = LoadCursorW(nullptr, IDC_ARROW);
    params.background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    params.programIcon = true;
    return RegisterWindowClass(params);
}

// The source window's title, or the program's name for an untitled source.
void ReadTitle(HWND sourceWindow, wchar_t (&title)[PREVIEW_TITLE_UNITS]) {
    std::fill(std::begin(title), std::end(title), L'\0');
    GetWindowTextW(sourceWindow, title, PREVIEW_TITLE_UNITS);
    if (title[0] == L'\0') {
        std::copy(std::begin(APP_TITLE), std::end(APP_TITLE), title);
    }
}

// The selection in the source's client coordinates, or its whole client area.
RECT SelectionInClient(HWND sourceWindow, const RECT* selection, const RECT& sourceClientRect) {
    if (!selection) return sourceClientRect;
    POINT topLeft{selection->left, selection->top};
    POINT bottomRight{selection->right, selection->bottom};
    ScreenToClient(sourceWindow, &topLeft);
    ScreenToClient(sourceWindow, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void ResetView(PreviewWindow* preview) {
    preview->zoom = ZOOM_ACTUAL_SIZE;
    preview->restoreZoom = ZOOM_ACTUAL_SIZE;
    preview->maximized = FALSE;
    preview->clickPending = FALSE;
    preview->sizingFromLeft = FALSE;
    preview->sizingFromTop = FALSE;
    preview->dragging = FALSE;
    preview->wheelRemainder = 0;
}

void ForgetWindow(PreviewWindow* preview) {
    preview->hwnd = nullptr;
    preview->sourceWindow = nullptr;
    preview->sourceProcessId = 0;
    ReleaseThumbnail(preview);
}

LRESULT OnCreate(PreviewWindow* preview, HWND hwnd) {
    preview->hwnd = hwnd;
    SetProgramIcons(hwnd);
    if (IsWindows10OrLater()) {
        SetCornerPreference(preview, DWMWCP_ROUNDSMALL);
        // The custom frame replaces the one the window was created with.
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
    if (FAILED(UpdateThumbnail(preview))) {
        ReleaseThumbnail(preview);
        preview->hwnd = nullptr;
        return -1; // CreateWindowExW fails
    }
    SetTimer(hwnd, TIMER_SOURCE_WATCH, SOURCE_WATCH_INTERVAL_MS, nullptr);
    PreviewOverlay& overlay = preview->overlay;
    CreateOverlay(&overlay, hwnd);
    overlay.zoomPercent = std::max(1, preview->zoom);
    RenderOverlay(&overlay);
    overlay.maximized = preview->maximized;
    UpdateOverlayTooltips(&overlay);
    RenderOverlay(&overlay);
    return 0;
}

LRESULT OnDestroy(PreviewWindow* preview, HWND hwnd) {
    DestroyOverlay(&preview->overlay);
    KillTimer(hwnd, TIMER_SOURCE_WATCH);
    KillTimer(hwnd, TIMER_CLICK);
    ReleaseThumbnail(preview);
    preview->sourceWindow = nullptr;
    preview->sourceProcessId = 0;
    preview->hwnd = nullptr;
    PostMessageW(Context.hMainWnd, WM_PREVIEW_CLOSED, static_cast<WPARAM>(preview->slotIndex), 0);
    return 0;
}

// The preview ends when its source is gone or its handle now belongs to another process.
LRESULT OnSourceWatch(const PreviewWindow* preview, HWND hwnd) {
    DWORD processId = 0;
    bool sourceAlive = IsWindow(preview->sourceWindow) &&
                       GetWindowThreadProcessId(preview->sourceWindow, &processId) != 0 &&
                       processId == preview->sourceProcessId;
    if (!sourceAlive) DestroyWindow(hwnd);
    return 0;
}

LRESULT OnTimer(PreviewWindow* preview, HWND hwnd, WPARAM id, LPARAM lParam) {
    if (id == TIMER_SOURCE_WATCH) return OnSourceWatch(preview, hwnd);
    if (id == TIMER_CLICK) {
        CompleteClick(preview);
        return 0;
    }
    return DefWindowProcW(hwnd, WM_TIMER, id, lParam);
}

LRESULT OnGetMinMaxInfo(const PreviewWindow* preview, LPARAM lParam) {
    FillTrackSizes(preview, reinterpret_cast<MINMAXINFO*>(lParam));
    return 0;
}

LRESULT OnNcCalcSize(const PreviewWindow* preview, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam && CalcCustomFrameClient(preview, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)))
        return 0;
    return DefWindowProcW(hwnd, WM_NCCALCSIZE, wParam, lParam);
}

LRESULT OnNcActivate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, WM_NCACTIVATE, wParam, NcActivateRepaint(lParam));
}

LRESULT OnSize(PreviewWindow* preview, WPARAM type, LPARAM size) {
    FollowClientSize(preview, type, size);
    return 0;
}

LRESULT OnMove(PreviewWindow* preview) {
    PlaceOverlay(&preview->overlay);
    return 0;
}

LRESULT OnSizing(PreviewWindow* preview, WPARAM edge) {
    NoteSizingEdge(preview, edge);
    return TRUE; // the proposed rectangle stays as it is
}

LRESULT OnMoving(PreviewWindow* preview) {
    CancelPendingClick(preview);
    return TRUE;
}

LRESULT OnExitSizeMove(PreviewWindow* preview) {
    PlaceOverlay(&preview->overlay);
    ResumeOverlay(&preview->overlay);
    return 0;
}

// A maximized preview cannot be moved or sized from the system's commands either.
LRESULT OnSysCommand(const PreviewWindow* preview, HWND hwnd, WPARAM command, LPARAM lParam) {
    const WPARAM kind = command & 0xFFF0;
    if (preview->maximized && (kind == SC_MOVE || kind == SC_SIZE)) return 0;
    return DefWindowProcW(hwnd, WM_SYSCOMMAND, command, lParam);
}

// The system sends WM_DPICHANGED when the window's monitor changed its DPI, and the window already
// has the new one. Anything else (a message posted or sent by another process) is not a change.
bool IsDpiChange(const PreviewWindow* preview, HWND hwnd, WPARAM dpis) {
    const UINT dpi = HIWORD(dpis);
    return dpi == LOWORD(dpis) && dpi == GetWindowDpi(hwnd) &&
           dpi != static_cast<UINT>(preview->dpi);
}

LRESULT OnDpiChanged(PreviewWindow* preview, HWND hwnd, WPARAM dpis, LPARAM lParam) {
    if (!IsDpiChange(preview, hwnd, dpis)) return 0;
    RECT suggested{};
    ApplyDpiChange(preview, HIWORD(dpis),
                   CopyOwnMessageData(lParam, &suggested, sizeof(suggested)) ? &suggested
                                                                             : nullptr);
    return 0;
}

LRESULT OnNcLButtonDown(PreviewWindow* preview, HWND hwnd, WPARAM hit, LPARAM point) {
    if (!PressOnFrame(preview)) return 0;
    return DefWindowProcW(hwnd, WM_NCLBUTTONDOWN, hit, point);
}

LRESULT OnShowWindow(PreviewWindow* preview, WPARAM shown) {
    if (!shown) HideOverlay(&preview->overlay);
    return 0;
}

LRESULT OnShowMenu(PreviewWindow* preview, LPARAM point) {
    POINT at{};
    if (TakeOverlayMenuPoint(&preview->overlay, point, &at)) ShowPreviewMenu(preview, at.x, at.y);
    return 0;
}

// The message handlers below that only pass their arguments on.
template <typename Action> LRESULT Handled(Action action) {
    action();
    return 0;
}

} // namespace

bool CreatePreview(PreviewWindow* slot, HWND sourceWindow, const RECT* selection) {
    // What the slot holds goes first, the same way Close Preview ends it.
    ClosePreview(slot);
    if (!RegisterPreviewClass()) return false;

    if (!IsWindowVisible(sourceWindow)) return false;
    if (!GetClientRect(sourceWindow, &slot->sourceClientRect)) return false;
    slot->sourceRect = SelectionInClient(sourceWindow, selection, slot->sourceClientRect);
    Rect shown{};
    if (IsRectEmpty(ToRect(slot->sourceClientRect)) ||
        !IntersectNormalizedRects(ToRect(slot->sourceRect), ToRect(slot->sourceClientRect),
                                  &shown)) {
        return false;
    }
    slot->sourceRect = ToRECT(shown);
    ResetView(slot);

    // The preview opens over the source, so it takes the source's DPI.
    UpdateFrameMetrics(slot, GetWindowDpi(sourceWindow));

    slot->sourceWindow = sourceWindow;
    DWORD processId = 0;
    GetWindowThreadProcessId(sourceWindow, &processId);
    slot->sourceProcessId = processId;

    wchar_t title[PREVIEW_TITLE_UNITS];
    ReadTitle(sourceWindow, title);

    const FrameMetrics frame{slot->frameWidth, slot->frameHeight, ToRect(slot->resizeBorder)};
    const PreviewPlacement placement = PlacePreview(shown, frame, IsWindows10OrLater());
    POINT origin{placement.origin.x, placement.origin.y};
    ClientToScreen(sourceWindow, &origin);

    const DWORD exStyle = HasSetting(SETTINGS_KEEP_ON_TOP) ? PREVIEW_EX_STYLE_TOPMOST : 0;
    // An owned window has no taskbar button; an unowned one has.
    HWND owner = HasSetting(SETTINGS_TASKBAR_BUTTONS) ? nullptr : Context.hMainWnd;
    slot->inSetWindowPos = TRUE;
    HWND created =
        CreateWindowExW(exStyle, PREVIEW_WINDOW_CLASS, title, PREVIEW_STYLE, origin.x, origin.y,
                        placement.width, placement.height, owner, nullptr, Context.instance, slot);
    slot->inSetWindowPos = FALSE;
    if (created) return true;
    ForgetWindow(slot);
    return false;
}

void ClosePreview(PreviewWindow* preview) {
    if (preview->hwnd) KillTimer(preview->hwnd, TIMER_CLICK);
    ReleaseThumbnail(preview);
    if (preview->hwnd) DestroyWindow(preview->hwnd);
}

LRESULT CALLBACK PreviewWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PreviewWindow* preview = message == WM_CREATE ? AttachRecord<PreviewWindow>(hwnd, lParam)
                                                  : RecordOf<PreviewWindow>(hwnd);
    if (!preview) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return OnCreate(preview, hwnd);
    case WM_DESTROY: return OnDestroy(preview, hwnd);
    case WM_TIMER: return OnTimer(preview, hwnd, wParam, lParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(preview, lParam);
    case WM_NCCALCSIZE: return OnNcCalcSize(preview, hwnd, wParam, lParam);
    case WM_NCACTIVATE: return OnNcActivate(hwnd, wParam, lParam);
    case WM_SIZE: return OnSize(preview, wParam, lParam);
    case WM_MOVE: return OnMove(preview);
    case WM_SIZING: return OnSizing(preview, wParam);
    case WM_MOVING: return OnMoving(preview);
    case WM_ENTERSIZEMOVE: return 0;
    case WM_EXITSIZEMOVE: return OnExitSizeMove(preview);
    case WM_SYSCOMMAND: return OnSysCommand(preview, hwnd, wParam, lParam);
    case WM_DPICHANGED: return OnDpiChanged(preview, hwnd, wParam, lParam);
    case WM_NCHITTEST: return HitTestPreview(preview, lParam);
    case WM_MOUSEMOVE: return Handled([&] { MoveOverPicture(preview, lParam); });
    case WM_NCMOUSEMOVE: return Handled([&] { MoveOverFrame(preview); });
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE: return Handled([&] { PointerLeft(preview); });
    case WM_LBUTTONDOWN: return Handled([&] { PressOnPicture(preview, lParam); });
    case WM_LBUTTONUP: return Handled([&] { ReleasePicture(preview); });
    case WM_LBUTTONDBLCLK: return Handled([&] { DoubleClickOnPicture(preview); });
    case WM_NCLBUTTONDOWN: return OnNcLButtonDown(preview, hwnd, wParam, lParam);
    case WM_NCLBUTTONDBLCLK: return Handled([&] { DoubleClickOnFrame(preview); });
    case WM_RBUTTONUP: return Handled([&] { RightReleaseOnPicture(preview, lParam); });
    case WM_NCRBUTTONDOWN: return 0; // the release opens the menu; there is no system menu
    case WM_NCRBUTTONUP: return Handled([&] { RightReleaseOnFrame(preview, wParam, lParam); });
    case WM_NCMBUTTONUP: return Handled([&] { ZoomBy(preview, 0); });
    case WM_MOUSEWHEEL: return Handled([&] { TurnWheel(preview, wParam); });
    case WM_KEYDOWN: return Handled([&] { PressKey(preview, wParam); });
    case WM_CANCELMODE: return Handled([&] { EndDrag(preview, true); });
    case WM_CAPTURECHANGED: return Handled([&] { EndDrag(preview, false); });
    case WM_SHOWWINDOW: return OnShowWindow(preview, wParam);
    case WM_COMMAND: return Handled([&] { RunPreviewCommand(preview, LOWORD(wParam)); });
    case WM_PREVIEW_SHOWMENU: return OnShowMenu(preview, lParam);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace lumetta
