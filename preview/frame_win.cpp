#include "preview/frame_win.h"

#include "app/app_win.h"
#include "app/window_helpers_win.h"
#include "preview/constants.h"
#include "preview/geometry.h"

namespace lumetta {

void UpdateFrameMetrics(PreviewWindow* preview, UINT dpi) {
    preview->dpi = static_cast<int32_t>(EffectiveDpi(dpi));
    RECT probe{0, 0, FRAME_PROBE_SIZE, FRAME_PROBE_SIZE};
    AdjustWindowRectForDpi(&probe, static_cast<UINT>(preview->dpi));
    RECT empty{};
    AdjustWindowRectForDpi(&empty, static_cast<UINT>(preview->dpi));
    FrameMetrics metrics = ComputeFrameMetrics(ToRect(probe), ToRect(empty), IsWindows10OrLater());
    preview->frameWidth = metrics.frameWidth;
    preview->frameHeight = metrics.frameHeight;
    preview->resizeBorder = ToRECT(metrics.resizeBorder);
    UpdateTrackSizes(preview);
}

void UpdateTrackSizes(PreviewWindow* preview) {
    TrackSizes sizes = ComputeTrackSizes(
        preview->frameWidth, preview->frameHeight, ToRect(preview->sourceClientRect),
        ToRect(preview->sourceRect), preview->zoom, static_cast<uint32_t>(preview->dpi));
    preview->minTrackSize = POINT{sizes.minTrackSize.x, sizes.minTrackSize.y};
    preview->maxTrackSize = POINT{sizes.maxTrackSize.x, sizes.maxTrackSize.y};
}

void SetCornerPreference(const PreviewWindow* preview, DWORD preference) {
    DwmSetWindowAttribute(preview->hwnd, DWMWA_WINDOW_CORNER_PREFERENCE_ID, &preference,
                          sizeof(preference));
}

LRESULT OnGetMinMaxInfo(const PreviewWindow* preview, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const Point maxTrack{preview->maxTrackSize.x, preview->maxTrackSize.y};
    const Point minTrack =
        MinTrackSizeWithinMax(Point{preview->minTrackSize.x, preview->minTrackSize.y}, maxTrack);
    info->ptMaxTrackSize = POINT{maxTrack.x, maxTrack.y};
    info->ptMinTrackSize = POINT{minTrack.x, minTrack.y};
    return 0;
}

LRESULT OnNcCalcSize(const PreviewWindow* preview, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (!IsWindows10OrLater() || !wParam)
        return DefWindowProcW(hwnd, WM_NCCALCSIZE, wParam, lParam);
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    params->rgrc[0] =
        ToRECT(CustomFrameClientRect(ToRect(params->rgrc[0]), ToRect(preview->resizeBorder)));
    return 0;
}

LRESULT OnNcActivate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // -1 keeps the system from repainting a frame that the custom frame does not have.
    const LPARAM repaint = IsWindows10OrLater() ? -1 : lParam;
    return DefWindowProcW(hwnd, WM_NCACTIVATE, wParam, repaint);
}

} // namespace lumetta
