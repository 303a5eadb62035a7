#include "overlay/overlay_win.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>

#include "app/base/constants_win.h"
#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "overlay/constants.h"
#include "overlay/render_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

constexpr DWORD OVERLAY_EX_STYLE = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW;
constexpr DWORD TOOLTIP_EX_STYLE = WS_EX_NOACTIVATE | WS_EX_TOPMOST;
constexpr DWORD TOOLTIP_STYLE = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;

// What each slot's click sends to the preview and the tooltip it shows; More actions asks for the
// menu instead and has a tooltip of its own.
constexpr UINT SLOT_COMMANDS[OVERLAY_SLOTS] = {IDM_ZOOM_OUT, IDM_ACTUAL_SIZE,  IDM_ZOOM_IN,
                                               IDM_MAXIMIZE, IDS_MORE_ACTIONS, IDM_CLOSE_PREVIEW};

bool HasWindow(const PreviewOverlay* overlay) {
    return overlay->overlayWnd && IsWindow(overlay->overlayWnd);
}

// window is root or one of its descendants.
bool IsWithin(HWND window, HWND root) {
    return root && (window == root || IsChild(root, window));
}

int32_t Scaled(const PreviewOverlay* overlay, int32_t value96) {
    return ScaleForDpi(value96, overlay->dpi);
}

void ReleaseOwnCapture(const PreviewOverlay* overlay) {
    if (overlay->overlayWnd && GetCapture() == overlay->overlayWnd) ReleaseCapture();
}

void CopyLayout(PreviewOverlay* overlay, const OverlayLayout& layout) {
    overlay->barWidth = layout.barWidth;
    overlay->barHeight = layout.barHeight;
    std::transform(std::begin(layout.buttonRects), std::end(layout.buttonRects),
                   overlay->buttonRects, ToRECT);
    std::transform(std::begin(layout.groupRects), std::end(layout.groupRects), overlay->groupRects,
                   ToRECT);
}

// The two pills, each with rounded corners; the system owns the region once it is set.
void ShapeToGroups(const PreviewOverlay* overlay) {
    OwnedRegion shape(CreateRectRgn(0, 0, 0, 0));
    if (!shape) return;
    const int32_t corner = Scaled(overlay, OVERLAY_CORNER_96);
    for (const RECT& group : overlay->groupRects) {
        if (IsRectEmpty(&group)) continue;
        OwnedRegion pill(CreateRoundRectRgn(group.left, group.top, group.right + 1,
                                            group.bottom + 1, corner, corner));
        if (pill) CombineRgn(shape.Get(), shape.Get(), pill.Get(), RGN_OR);
    }
    if (SetWindowRgn(overlay->overlayWnd, shape.Get(), TRUE)) shape.Release();
}

void PositionOverlay(PreviewOverlay* overlay, bool show) {
    RECT frame{};
    if (!GetPreviewFrame(overlay, &frame)) return;
    const Point at =
        OverlayOrigin(ToRect(frame), overlay->barWidth, overlay->barHeight, overlay->dpi);
    ShapeToGroups(overlay);
    SetWindowPos(overlay->overlayWnd, HWND_TOP, at.x, at.y, overlay->barWidth, overlay->barHeight,
                 SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (show) RenderOverlay(overlay);
}

int32_t SlotAt(const PreviewOverlay* overlay, LPARAM lParam) {
    Rect rects[OVERLAY_SLOTS];
    std::transform(std::begin(overlay->buttonRects), std::end(overlay->buttonRects), rects, ToRect);
    return OverlaySlotAt(rects, Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

void Track(PreviewOverlay* overlay) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = overlay->overlayWnd;
    track.dwHoverTime = 0;
    if (TrackMouseEvent(&track)) overlay->tracking = TRUE;
}

// The menu opens at the left end of the More actions button's bottom edge.
void AskForMenu(PreviewOverlay* overlay) {
    const RECT& button = overlay->buttonRects[static_cast<int32_t>(OverlayButton::MoreActions)];
    overlay->menuPoint = POINT{button.left, button.bottom};
    ClientToScreen(overlay->overlayWnd, &overlay->menuPoint);
    if (overlay->tooltipWnd) SendMessageW(overlay->tooltipWnd, TTM_POP, 0, 0);
    overlay->menuRequested = TRUE;
    SendMessageW(overlay->previewWnd, WM_PREVIEW_SHOWMENU, 0,
                 reinterpret_cast<LPARAM>(&overlay->menuPoint));
    overlay->menuRequested = FALSE;
    overlay->hotButton = OVERLAY_NO_BUTTON;
    overlay->pressedButton = OVERLAY_NO_BUTTON;
    RenderOverlay(overlay);
}

// The preview may be gone when the command returns: this record outlives it, its window not.
void Click(PreviewOverlay* overlay, int32_t slot) {
    if (!IsWindow(overlay->previewWnd)) return;
    if (slot == static_cast<int32_t>(OverlayButton::MoreActions)) {
        AskForMenu(overlay);
        return;
    }
    SendMessageW(overlay->previewWnd, WM_COMMAND, SLOT_COMMANDS[slot], 0);
}

LRESULT OnSetCursor(const PreviewOverlay* overlay) {
    SetCursor(LoadCursorW(nullptr, overlay->hotButton >= 0 ? IDC_HAND : IDC_ARROW));
    return TRUE;
}

LRESULT OnPaint(HWND hwnd) {
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    EndPaint(hwnd, &paint);
    return 0;
}

LRESULT OnMouseMove(PreviewOverlay* overlay, LPARAM point) {
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE);
    ShowOverlay(overlay);
    if (!overlay->tracking) Track(overlay);
    const int32_t hot = SlotAt(overlay, point);
    if (hot == overlay->hotButton) return 0;
    overlay->hotButton = hot;
    RenderOverlay(overlay);
    return 0;
}

LRESULT OnMouseLeave(PreviewOverlay* overlay) {
    overlay->tracking = FALSE;
    overlay->hotButton = OVERLAY_NO_BUTTON;
    RenderOverlay(overlay);
    SetTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE, OVERLAY_HIDE_DELAY_MS, nullptr);
    return 0;
}

LRESULT OnLButtonDown(PreviewOverlay* overlay, LPARAM point) {
    overlay->pressedButton = SlotAt(overlay, point);
    if (overlay->pressedButton < 0) return 0;
    SetCapture(overlay->overlayWnd);
    RenderOverlay(overlay);
    return 0;
}

// A click counts only when the release is over the button that was pressed.
LRESULT OnLButtonUp(PreviewOverlay* overlay, LPARAM point) {
    const int32_t pressed = overlay->pressedButton;
    overlay->pressedButton = OVERLAY_NO_BUTTON;
    ReleaseOwnCapture(overlay);
    RenderOverlay(overlay);
    if (pressed >= 0 && SlotAt(overlay, point) == pressed) Click(overlay, pressed);
    return 0;
}

LRESULT OnCaptureLost(PreviewOverlay* overlay) {
    overlay->pressedButton = OVERLAY_NO_BUTTON;
    ReleaseOwnCapture(overlay);
    RenderOverlay(overlay);
    return 0;
}

LRESULT OnTimer(PreviewOverlay* overlay, HWND hwnd, WPARAM id, LPARAM lParam) {
    if (id == TIMER_OVERLAY_HIDE) {
        KillTimer(hwnd, TIMER_OVERLAY_HIDE);
        if (!IsPointerOverPreview(overlay)) HideOverlay(overlay);
        return 0;
    }
    if (id == TIMER_OVERLAY_SUPPRESS) {
        if (overlay->suppressed && IsPointerOverPreview(overlay)) return 0;
        overlay->suppressed = FALSE;
        KillTimer(hwnd, TIMER_OVERLAY_SUPPRESS);
        return 0;
    }
    return DefWindowProcW(hwnd, WM_TIMER, id, lParam);
}

LRESULT CALLBACK OverlayWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PreviewOverlay* overlay = message == WM_NCCREATE ? AttachRecord<PreviewOverlay>(hwnd, lParam)
                                                     : RecordOf<PreviewOverlay>(hwnd);
    if (!overlay) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_SETCURSOR: return OnSetCursor(overlay);
    // The extended style keeps a click from activating the bar; not every system honours it alone.
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_PAINT: return OnPaint(hwnd);
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE: return OnMouseMove(overlay, lParam);
    case WM_MOUSELEAVE: return OnMouseLeave(overlay);
    case WM_LBUTTONDOWN: return OnLButtonDown(overlay, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(overlay, lParam);
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED: return OnCaptureLost(overlay);
    case WM_TIMER: return OnTimer(overlay, hwnd, wParam, lParam);
    case WM_DPICHANGED: PlaceOverlay(overlay); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool RegisterOverlayClass() {
    WindowClassParams params;
    params.name = OVERLAY_WINDOW_CLASS;
    params.procedure = OverlayWndProc;
    params.style = CS_HREDRAW | CS_VREDRAW;
    params.cursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterWindowClass(params);
}

void CreateTooltips(PreviewOverlay* overlay) {
    overlay->tooltipWnd = CreateWindowExW(
        TOOLTIP_EX_STYLE, TOOLTIPS_CLASSW, nullptr, TOOLTIP_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, overlay->overlayWnd, nullptr, Context.instance, nullptr);
    if (!overlay->tooltipWnd) return;
    SendMessageW(overlay->tooltipWnd, TTM_SETMAXTIPWIDTH, 0, Scaled(overlay, OVERLAY_TIP_WIDTH_96));
    SendMessageW(overlay->tooltipWnd, TTM_SETDELAYTIME, TTDT_INITIAL, OVERLAY_TIP_INITIAL_MS);
    SendMessageW(overlay->tooltipWnd, TTM_SETDELAYTIME, TTDT_RESHOW, OVERLAY_TIP_RESHOW_MS);
}

void ResetOverlay(PreviewOverlay* overlay) {
    overlay->overlayWnd = nullptr;
    overlay->previewWnd = nullptr;
    overlay->tooltipWnd = nullptr;
    overlay->maximized = FALSE;
    overlay->shown = FALSE;
    overlay->pointerInside = FALSE;
    overlay->suppressed = FALSE;
    overlay->tracking = FALSE;
    overlay->menuRequested = FALSE;
    overlay->zoomPercent = 100;
    overlay->hotButton = OVERLAY_NO_BUTTON;
    overlay->pressedButton = OVERLAY_NO_BUTTON;
    std::fill(std::begin(overlay->groupRects), std::end(overlay->groupRects), RECT{});
}

} // namespace

bool CreateOverlay(PreviewOverlay* overlay, HWND preview) {
    if (!IsWindow(preview)) return false;
    DestroyOverlay(overlay);
    overlay->previewWnd = preview;
    overlay->dpi = GetWindowDpi(preview);
    if (!RegisterOverlayClass()) return false;
    overlay->overlayWnd = CreateWindowExW(OVERLAY_EX_STYLE, OVERLAY_WINDOW_CLASS, L"", WS_POPUP, 0,
                                          0, 0, 0, preview, nullptr, Context.instance, overlay);
    if (!overlay->overlayWnd) {
        overlay->previewWnd = nullptr;
        return false;
    }
    CreateTooltips(overlay);
    PlaceOverlay(overlay);
    return true;
}

// The record is reset before the windows go, so messages their destruction sends find no window.
void DestroyOverlay(PreviewOverlay* overlay) {
    const HWND window = overlay->overlayWnd;
    const HWND tooltip = overlay->tooltipWnd;
    if (window && IsWindow(window)) {
        KillTimer(window, TIMER_OVERLAY_HIDE);
        KillTimer(window, TIMER_OVERLAY_SUPPRESS);
        ReleaseOwnCapture(overlay);
    }
    ResetOverlay(overlay);
    if (tooltip && IsWindow(tooltip)) DestroyWindow(tooltip);
    if (window && IsWindow(window)) DestroyWindow(window);
}

void PlaceOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay) || !IsWindow(overlay->previewWnd)) return;
    overlay->dpi = GetWindowDpi(overlay->previewWnd);
    RECT frame{};
    if (!GetPreviewFrame(overlay, &frame)) return;
    CopyLayout(overlay,
               LayoutOverlay(frame.right - frame.left, frame.bottom - frame.top, overlay->dpi));
    UpdateOverlayTooltips(overlay);
    if (overlay->barWidth >= 1) {
        PositionOverlay(overlay, overlay->shown);
    } else {
        HideOverlay(overlay);
    }
}

void UpdateOverlayTooltips(PreviewOverlay* overlay) {
    if (!HasWindow(overlay) || !overlay->tooltipWnd || !IsWindow(overlay->tooltipWnd)) return;
    for (int32_t slot = 0; slot < OVERLAY_SLOTS; ++slot) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = overlay->overlayWnd;
        tool.uId = static_cast<UINT_PTR>(slot + 1);
        SendMessageW(overlay->tooltipWnd, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (IsRectEmpty(&overlay->buttonRects[slot])) continue;
        UINT text = SLOT_COMMANDS[slot];
        if (slot == static_cast<int32_t>(OverlayButton::Maximize) && overlay->maximized) {
            text = IDM_RESTORE;
        }
        LoadText(text, overlay->tooltipTexts[slot], OVERLAY_TOOLTIP_UNITS);
        tool.uFlags = TTF_SUBCLASS;
        tool.rect = overlay->buttonRects[slot];
        tool.lpszText = overlay->tooltipTexts[slot];
        SendMessageW(overlay->tooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}
void ShowOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay) || overlay->suppressed) return;
    overlay->pointerInside = TRUE;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE);
    if (overlay->shown) return;
    overlay->shown = TRUE;
    PlaceOverlay(overlay);
}

void HideOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE);
    overlay->shown = FALSE;
    overlay->pointerInside = FALSE;
    overlay->tracking = FALSE;
    overlay->hotButton = -1;
    overlay->pressedButton = -1;
    if (GetCapture() == overlay->overlayWnd) ReleaseCapture();
    if (overlay->tooltipWnd) SendMessageW(overlay->tooltipWnd, TTM_POP, 0, 0);
    ShowWindow(overlay->overlayWnd, SW_HIDE);
}

void SuspendOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    overlay->suppressed = IsPointerOverPreview(overlay);
    if (overlay->suppressed) {
        SetTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS, OVERLAY_SUPPRESS_MS, nullptr);
    } else {
        KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
    }
    HideOverlay(overlay);
}

void ResumeOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    overlay->suppressed = FALSE;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE);
    if (IsPointerOverPreview(overlay)) {
        ShowOverlay(overlay);
    } else {
        HideOverlay(overlay);
    }
}

void ToggleOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    if (!overlay->suppressed) {
        SuspendOverlay(overlay);
        return;
    }
    overlay->suppressed = FALSE;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
    ShowOverlay(overlay);
}

void OverlayPointerLeft(PreviewOverlay* overlay) {
    if (overlay->suppressed) {
        if (!IsPointerOverPreview(overlay)) {
            overlay->suppressed = FALSE;
            if (HasWindow(overlay)) KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
        }
    }
    overlay->pointerInside = FALSE;
    if (HasWindow(overlay)) {
        SetTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE, OVERLAY_HIDE_DELAY_MS, nullptr);
    }
}

bool IsPointerOverPreview(const PreviewOverlay* overlay) {
    POINT cursor{};
    if (!IsWindow(overlay->previewWnd) || !GetCursorPos(&cursor)) return false;
    const HWND under = WindowFromPoint(cursor);
    return IsWithin(under, overlay->previewWnd) || IsWithin(under, overlay->overlayWnd) ||
           (overlay->tooltipWnd && under == overlay->tooltipWnd);
}

bool GetPreviewFrame(const PreviewOverlay* overlay, RECT* frame) {
    HWND preview = overlay->previewWnd;
    if (!IsWindow(preview)) return false;
    RECT client{};
    if (!GetClientRect(preview, &client)) return false;
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    if (!ClientToScreen(preview, &topLeft) || !ClientToScreen(preview, &bottomRight)) return false;
    *frame = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    RECT bounds{};
    if (SUCCEEDED(
            DwmGetWindowAttribute(preview, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof(bounds))) &&
        !IsRectEmpty(&bounds)) {
        *frame = bounds;
    }
    return !IsRectEmpty(frame);
}

bool TakeOverlayMenuPoint(PreviewOverlay* overlay, LPARAM lParam, POINT* point) {
    const bool ours = overlay->menuRequested && !InSendMessage() &&
                      lParam == reinterpret_cast<LPARAM>(&overlay->menuPoint);
    overlay->menuRequested = FALSE;
    if (!ours) return false;
    *point = overlay->menuPoint;
    return true;
}

} // namespace lumetta
