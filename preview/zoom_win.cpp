#include "preview/zoom_win.h"

#include <algorithm>

#include "app/base/context_win.h"
#include "app/base/window_helpers_win.h"
#include "preview/constants.h"
#include "preview/constants_win.h"
#include "preview/frame_win.h"
#include "preview/thumbnail_win.h"
#include "preview/zoom.h"

namespace lumetta {
namespace {

// A thumbnail that cannot follow the new state ends the preview.
HRESULT CloseIfFailed(const PreviewWindow* preview, HRESULT result) {
    if (FAILED(result) && IsWindow(preview->hwnd)) PostMessageW(preview->hwnd, WM_CLOSE, 0, 0);
    return result;
}

HRESULT FollowThumbnail(PreviewWindow* preview) {
    return CloseIfFailed(preview, UpdateThumbnail(preview));
}

// The preview moves or sizes its own window: WM_SIZE must not take this for the user's resizing.
BOOL PlaceOwnWindow(PreviewWindow* preview, int x, int y, int width, int height, UINT flags) {
    preview->inSetWindowPos = TRUE;
    const BOOL placed = SetWindowPos(preview->hwnd, nullptr, x, y, width, height, flags);
    preview->inSetWindowPos = FALSE;
    return placed;
}

void ShowZoom(PreviewWindow* preview) {
    preview->overlay.zoomPercent = std::max(1, preview->zoom);
    RenderOverlay(&preview->overlay);
}

void RoundCorners(const PreviewWindow* preview, DWORD preference) {
    if (IsWindows10OrLater()) SetCornerPreference(preview, preference);
}

void Restore(PreviewWindow* preview) {
    preview->maximized = FALSE;
    RoundCorners(preview, DWMWCP_ROUNDSMALL);
    preview->zoom = preview->restoreZoom;
    ShowZoom(preview);
    UpdateTrackSizes(preview);
    const RECT& r = preview->restoreWindowRect;
    PlaceOwnWindow(preview, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
    FollowThumbnail(preview);
    preview->overlay.maximized = FALSE;
}

void Maximize(PreviewWindow* preview) {
    preview->restoreZoom = preview->zoom;
    GetWindowRect(preview->hwnd, &preview->restoreWindowRect);
    if (!FitToMonitor(preview)) {
        preview->maximized = FALSE;
        RoundCorners(preview, DWMWCP_ROUNDSMALL);
        preview->zoom = preview->restoreZoom;
        UpdateTrackSizes(preview);
    }
    preview->overlay.maximized = preview->maximized;
}

// The window and client rectangles on the screen, and the frame's visible bounds if known.
bool ReadPlacement(HWND hwnd, MaximizeInput* input) {
    RECT window{}, client{};
    if (!GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client)) return false;
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    if (!ClientToScreen(hwnd, &corners[0]) || !ClientToScreen(hwnd, &corners[1])) return false;
    input->window = ToRect(window);
    input->client = Rect{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    RECT bounds{};
    if (SUCCEEDED(
            DwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof(bounds))) &&
        !IsRectEmpty(ToRect(bounds))) {
        input->extendedFrame = ToRect(bounds);
    }
    return true;
}

} // namespace

HRESULT ZoomBy(PreviewWindow* preview, int32_t step) {
    if (preview->maximized) {
        ToggleMaximize(preview, true);
        if (step != 0) return S_OK;
    }
    const int32_t before = preview->zoom;
    if (step > 0) {
        preview->zoom = ZoomInFrom(preview->zoom, step);
    } else if (step < 0) {
        const std::optional<int32_t> minimum =
            MinimumZoom(Point{preview->minTrackSize.x, preview->minTrackSize.y},
                        preview->frameWidth, preview->frameHeight, ToRect(preview->sourceRect));
        if (!minimum) return E_FAIL;
        preview->zoom = ZoomOutFrom(preview->zoom, step, *minimum);
    } else {
        preview->zoom = ZOOM_ACTUAL_SIZE;
    }
    ShowZoom(preview);
    if (!preview->maximized) preview->restoreZoom = preview->zoom;
    if (preview->zoom == before) return S_OK;

    UpdateTrackSizes(preview);
    const Point size = ZoomedWindowSize(ToRect(preview->sourceRect), preview->zoom,
                                        preview->frameWidth, preview->frameHeight);
    PlaceOwnWindow(preview, 0, 0, size.x, size.y, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    return FollowThumbnail(preview);
}

HRESULT PanBy(PreviewWindow* preview, int32_t dx, int32_t dy, const RECT* base) {
    const Rect moved = PanRect(ToRect(base ? *base : preview->sourceRect), dx, dy, preview->zoom,
                               ToRect(preview->sourceClientRect));
    if (moved == ToRect(preview->sourceRect)) return S_OK;
    preview->sourceRect = ToRECT(moved);
    return FollowThumbnail(preview);
}

void ToggleMaximize(PreviewWindow* preview, bool restoreOnly) {
    if (preview->maximized) {
        Restore(preview);
    } else if (restoreOnly) {
        return;
    } else {
        Maximize(preview);
    }
    // The Maximize button switches between its two looks.
    UpdateOverlayTooltips(&preview->overlay);
    RenderOverlay(&preview->overlay);
}

bool FitToMonitor(PreviewWindow* preview) {
    HMONITOR monitor = MonitorFromWindow(preview->hwnd, MONITOR_DEFAULTTONEAREST);
    if (IsWindow(preview->hwnd)) RoundCorners(preview, DWMWCP_DONOTROUND);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info) || !IsWindow(preview->hwnd)) return false;
    MaximizeInput input;
    input.workArea = ToRect(info.rcWork);
    input.sourceRect = ToRect(preview->sourceRect);
    if (!ReadPlacement(preview->hwnd, &input)) return false;
    const std::optional<MaximizePlacement> placement = FitToWorkArea(input);
    if (!placement) return false;

    preview->zoom = placement->zoom;
    ShowZoom(preview);
    preview->maximized = TRUE;
    UpdateTrackSizes(preview);
    const Rect& w = placement->window;
    if (!PlaceOwnWindow(preview, w.left, w.top, static_cast<int>(RectWidth(w)),
                        static_cast<int>(RectHeight(w)), SWP_NOZORDER)) {
        return false;
    }
    FollowThumbnail(preview);
    return true;
}

void CancelPendingClick(PreviewWindow* preview) {
    preview->clickPending = FALSE;
    KillTimer(preview->hwnd, TIMER_CLICK);
}

void NoteSizingEdge(PreviewWindow* preview, WPARAM edge) {
    CancelPendingClick(preview);
    if (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return;
    preview->sizingFromTop = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
    preview->sizingFromLeft = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}

void FollowClientSize(PreviewWindow* preview, WPARAM type, LPARAM size) {
    PlaceOverlay(&preview->overlay);
    if (preview->inSetWindowPos || type == SIZE_MINIMIZED) return;
    const Point wanted = SourceSizeAtZoom(LOWORD(size), HIWORD(size), preview->zoom);
    const Rect current = ToRect(preview->sourceRect);
    if (wanted.x == RectWidth(current) && wanted.y == RectHeight(current)) return;
    Rect resized{};
    if (!ResizeSourceRect(current, ToRect(preview->sourceClientRect), wanted.x, wanted.y,
                          preview->sizingFromLeft, preview->sizingFromTop, &resized)) {
        return;
    }
    preview->sourceRect = ToRECT(resized);
    // The thumbnail draws the source from the region's corner on; only a moved corner needs it.
    if (resized.left != current.left || resized.top != current.top) FollowThumbnail(preview);
    UpdateTrackSizes(preview);
}

void ApplyDpiChange(PreviewWindow* preview, UINT dpi, const RECT* suggested) {
    UpdateFrameMetrics(preview, dpi);
    PlaceOverlay(&preview->overlay);
    if (suggested) {
        PlaceOwnWindow(preview, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!preview->maximized) {
        FollowThumbnail(preview);
    } else if (!FitToMonitor(preview) && IsWindow(preview->hwnd)) {
        PostMessageW(preview->hwnd, WM_CLOSE, 0, 0);
    }
}

} // namespace lumetta
