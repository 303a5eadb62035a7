#include "preview/frame_win.h"

#include "app/base/context_win.h"
#include "app/base/window_helpers_win.h"
#include "preview/constants.h"
#include "preview/constants_win.h"
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
    DwmSetWindowAttribute(preview->hwnd, DWMWA_WINDOW_CORNER_PREFERENCE, &preference,
                          sizeof(preference));
}

void FillTrackSizes(const PreviewWindow* preview, MINMAXINFO* info) {
    const Point maxTrack{preview->maxTrackSize.x, preview->maxTrackSize.y};
    const Point minTrack =
        MinTrackSizeWithinMax(Point{preview->minTrackSize.x, preview->minTrackSize.y}, maxTrack);
    info->ptMaxTrackSize = POINT{maxTrack.x, maxTrack.y};
    info->ptMinTrackSize = POINT{minTrack.x, minTrack.y};
}

bool CalcCustomFrameClient(const PreviewWindow* preview, NCCALCSIZE_PARAMS* params) {
    if (!IsWindows10OrLater()) return false;
    params->rgrc[0] =
        ToRECT(CustomFrameClientRect(ToRect(params->rgrc[0]), ToRect(preview->resizeBorder)));
    return true;
}

LPARAM NcActivateRepaint(LPARAM lParam) {
    return IsWindows10OrLater() ? -1 : lParam;
}

} // namespace lumetta
