#include "preview/input_win.h"

#include <windowsx.h>

#include <cwchar>
#include <iterator>

#include "app/base/constants.h"
#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "preview/constants.h"
#include "preview/input.h"
#include "preview/menu_win.h"
#include "preview/zoom.h"
#include "preview/zoom_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

constexpr UINT SOURCE_INFO_BOX_STYLE = MB_ICONINFORMATION | MB_SETFOREGROUND;
static_assert(SOURCE_INFO_BOX_STYLE == 0x10040);

// The system's hit-test codes, in the order of FrameHit.
constexpr LRESULT HIT_CODES[] = {HTCLIENT, HTCAPTION, HTLEFT,     HTRIGHT,      HTTOP,
                                 HTBOTTOM, HTTOPLEFT, HTTOPRIGHT, HTBOTTOMLEFT, HTBOTTOMRIGHT};
static_assert(std::size(HIT_CODES) == static_cast<size_t>(FrameHit::BottomRight) + 1);

// Read when the message is handled, not from the message.
bool CtrlHeld() {
    return GetAsyncKeyState(VK_CONTROL) < 0;
}

bool LeftButtonHeld() {
    return GetAsyncKeyState(VK_LBUTTON) < 0;
}

bool IsForeground(const PreviewWindow* preview) {
    return GetForegroundWindow() == preview->hwnd;
}

// A click on the active preview waits for the double-click time before it counts as one.
void ArmClick(PreviewWindow* preview) {
    preview->clickPending = TRUE;
    SetTimer(preview->hwnd, TIMER_CLICK, GetDoubleClickTime(), nullptr);
}

void TrackLeave(const PreviewWindow* preview, DWORD flags) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = flags;
    track.hwndTrack = preview->hwnd;
    track.dwHoverTime = 0;
    TrackMouseEvent(&track);
}

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

LRESULT HitTestPreview(const PreviewWindow* preview, LPARAM screenPoint) {
    if (preview->maximized) return HTCLIENT;
    if (!IsWindows10OrLater()) {
        const LRESULT answer = DefWindowProcW(preview->hwnd, WM_NCHITTEST, 0, screenPoint);
        return answer == HTCLIENT && !CtrlHeld() ? HTCAPTION : answer;
    }
    POINT point = PointOf(screenPoint);
    RECT client{};
    ScreenToClient(preview->hwnd, &point);
    GetClientRect(preview->hwnd, &client);
    const FrameHit hit = CustomFrameHit(Point{point.x, point.y}, ToRect(client),
                                        ToRect(preview->resizeBorder), CtrlHeld());
    return HIT_CODES[static_cast<size_t>(hit)];
}

bool PressOnFrame(PreviewWindow* preview) {
    if (preview->maximized) {
        SetForegroundWindow(preview->hwnd);
        return false;
    }
    if (IsForeground(preview)) {
        ArmClick(preview);
    } else {
        CancelPendingClick(preview);
    }
    return true;
}

void DoubleClickOnFrame(PreviewWindow* preview) {
    CancelPendingClick(preview);
    RunPreviewCommand(preview, Context.settings.dblAction);
}

void RightReleaseOnFrame(PreviewWindow* preview, WPARAM hitCode, LPARAM screenPoint) {
    if (hitCode != HTCAPTION) return;
    const POINT at = PointOf(screenPoint);
    ShowPreviewMenu(preview, at.x, at.y);
}

void PressOnPicture(PreviewWindow* preview, LPARAM clientPoint) {
    const bool ctrl = CtrlHeld();
    if (!IsForeground(preview)) {
        CancelPendingClick(preview);
    } else if (ctrl) {
        CancelPendingClick(preview);
        ToggleOverlay(&preview->overlay);
    } else {
        ArmClick(preview);
    }
    if (preview->maximized && !ctrl) {
        SetForegroundWindow(preview->hwnd);
        return;
    }
    SetCapture(preview->hwnd);
    preview->dragStart = PointOf(clientPoint);
    preview->dragStartSourceRect = preview->sourceRect;
    preview->dragging = TRUE;
}

void ReleasePicture(PreviewWindow* preview) {
    const bool wasDragging = preview->dragging;
    preview->dragging = FALSE;
    if (GetCapture() == preview->hwnd) ReleaseCapture();
    if (wasDragging) CancelPendingClick(preview);
}

void DoubleClickOnPicture(PreviewWindow* preview) {
    CancelPendingClick(preview);
    if (preview->maximized && !CtrlHeld()) RunPreviewCommand(preview, Context.settings.dblAction);
}

void RightReleaseOnPicture(PreviewWindow* preview, LPARAM clientPoint) {
    if (!preview->maximized) return;
    POINT at = PointOf(clientPoint);
    ClientToScreen(preview->hwnd, &at);
    ShowPreviewMenu(preview, at.x, at.y);
}

void MoveOverPicture(PreviewWindow* preview, LPARAM clientPoint) {
    if (preview->dragging) {
        // The picture follows the pointer.
        const POINT at = PointOf(clientPoint);
        PanBy(preview, preview->dragStart.x - at.x, preview->dragStart.y - at.y,
              &preview->dragStartSourceRect);
    } else {
        ShowOverlay(&preview->overlay);
    }
    TrackLeave(preview, TME_LEAVE);
}

void MoveOverFrame(PreviewWindow* preview) {
    ShowOverlay(&preview->overlay);
    TrackLeave(preview, TME_LEAVE | TME_NONCLIENT);
}

void PointerLeft(PreviewWindow* preview) {
    OverlayPointerLeft(&preview->overlay);
}

void EndDrag(PreviewWindow* preview, bool releaseCapture) {
    preview->dragging = FALSE;
    CancelPendingClick(preview);
    if (releaseCapture && GetCapture() == preview->hwnd) ReleaseCapture();
}

void CompleteClick(PreviewWindow* preview) {
    if (!preview->clickPending) return;
    if (LeftButtonHeld()) {
        SetTimer(preview->hwnd, TIMER_CLICK, CLICK_RECHECK_MS, nullptr);
        return;
    }
    CancelPendingClick(preview);
    ToggleOverlay(&preview->overlay);
}

void TurnWheel(PreviewWindow* preview, WPARAM wParam) {
    const int32_t notches =
        TakeWheelNotches(&preview->wheelRemainder, GET_WHEEL_DELTA_WPARAM(wParam));
    if (notches != 0) ZoomBy(preview, notches);
}

void PressKey(PreviewWindow* preview, WPARAM key) {
    const int32_t pan = ArrowPanDistance(preview->zoom);
    switch (key) {
    case VK_ADD:
    case VK_OEM_PLUS: ZoomBy(preview, 1); break;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: ZoomBy(preview, -1); break;
    case VK_BACK:
    case VK_RETURN: ZoomBy(preview, 0); break;
    case VK_LEFT: PanBy(preview, -pan, 0); break;
    case VK_RIGHT: PanBy(preview, pan, 0); break;
    case VK_UP: PanBy(preview, 0, -pan); break;
    case VK_DOWN: PanBy(preview, 0, pan); break;
    case 'I':
    case VK_F12: ShowSourceInfo(preview); break;
    default: break;
    }
}

void ShowSourceInfo(PreviewWindow* preview) {
    HideOverlay(&preview->overlay);
    HWND source = preview->sourceWindow;
    wchar_t className[SOURCE_INFO_NAME_UNITS] = {};
    wchar_t title[SOURCE_INFO_NAME_UNITS] = {};
    wchar_t path[SOURCE_INFO_PATH_UNITS] = {};
    GetClassNameW(source, className, SOURCE_INFO_NAME_UNITS);
    // Read without a message to the source, which may not be responding.
    InternalGetWindowText(source, title, SOURCE_INFO_NAME_UNITS);
    DWORD processId = 0;
    GetWindowThreadProcessId(source, &processId);
    const OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    DWORD pathUnits = SOURCE_INFO_PATH_UNITS;
    if (!process || !QueryFullProcessImageNameW(process.Get(), 0, path, &pathUnits)) path[0] = 0;

    TextBuffer format;
    LoadText(IDS_SOURCE_INFO_FORMAT, format);
    wchar_t text[SOURCE_INFO_TEXT_UNITS] = {};
    _snwprintf(text, SOURCE_INFO_TEXT_UNITS - 1, format, static_cast<void*>(source), className,
               title, path);
    MessageBoxW(nullptr, text, APP_TITLE, SOURCE_INFO_BOX_STYLE);
    ResumeOverlay(&preview->overlay);
}

} // namespace lumetta
