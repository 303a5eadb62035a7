#include "preview/geometry.h"

#include <algorithm>

#include "overlay/constants.h"
#include "preview/constants.h"

namespace lumetta {
namespace {

constexpr int64_t PERCENT = 100;

// length × zoom / 100 in 64 bits, truncating toward zero.
int64_t Scale(int64_t length, int32_t zoom) {
    return length * zoom / PERCENT;
}

// The largest-size term of one axis: the source's whole extent at zoom, 0 when either is below 1.
int64_t ZoomedExtent(int64_t extent, int32_t zoom) {
    if (extent < 1 || zoom < 1) return 0;
    return std::min(Scale(extent, zoom), TRACK_SIZE_LIMIT);
}

int32_t TrackSize(int32_t frame, int64_t client) {
    return ClampToInt32(std::min(int64_t{frame} + client, TRACK_SIZE_LIMIT));
}

// Normal mapping: the whole client area at zoom, sourceRect's corner on the preview's origin.
Rect NormalDestination(const Rect& sourceClientRect, const Rect& sourceRect, int32_t zoom) {
    const int64_t left = -Scale(sourceRect.left, zoom);
    const int64_t top = -Scale(sourceRect.top, zoom);
    return Rect{ClampToInt32(left), ClampToInt32(top),
                ClampToInt32(left + Scale(RectWidth(sourceClientRect), zoom)),
                ClampToInt32(top + Scale(RectHeight(sourceClientRect), zoom))};
}

// Maximized mapping: sourceRect fitted into the client area, centred; a tie fills the width.
std::optional<Rect> FittedDestination(const Rect& sourceRect, const Rect& client) {
    const int64_t sw = RectWidth(sourceRect), sh = RectHeight(sourceRect);
    const int64_t cw = RectWidth(client), ch = RectHeight(client);
    if (sw < 1 || sh < 1 || cw < 1 || ch < 1) return std::nullopt;
    int64_t w = cw, h = sh * cw / sw;
    if (sw * ch < sh * cw) {
        w = sw * ch / sh;
        h = ch;
    }
    w = std::max<int64_t>(1, w);
    h = std::max<int64_t>(1, h);
    const int64_t left = client.left + (client.right - w - client.left) / 2;
    const int64_t top = client.top + (client.bottom - h - client.top) / 2;
    return Rect{ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + w),
                ClampToInt32(top + h)};
}

} // namespace

int32_t OverlayMinWidth(uint32_t dpi) {
    const int64_t buttons = int64_t{OVERLAY_MIN_BUTTONS} * ScaleForDpi(OVERLAY_BUTTON_96, dpi);
    const int64_t spacing =
        2 * (int64_t{ScaleForDpi(OVERLAY_GAP_96, dpi)} + ScaleForDpi(OVERLAY_PADDING_96, dpi) +
             ScaleForDpi(OVERLAY_MARGIN_96, dpi));
    return ClampToInt32(buttons + spacing);
}

FrameMetrics ComputeFrameMetrics(const Rect& adjustedProbe, const Rect& adjustedEmpty,
                                 bool customFrame) {
    Rect probe = adjustedProbe;
    if (customFrame) probe.top = -CUSTOM_FRAME_TOP_EDGE;
    FrameMetrics metrics;
    metrics.frameWidth = ClampToInt32(RectWidth(probe) - FRAME_PROBE_SIZE);
    metrics.frameHeight = ClampToInt32(RectHeight(probe) - FRAME_PROBE_SIZE);
    if (customFrame) {
        metrics.resizeBorder = Rect{ClampToInt32(-int64_t{adjustedEmpty.left}),
                                    ClampToInt32(-int64_t{adjustedEmpty.top}), adjustedEmpty.right,
                                    adjustedEmpty.bottom};
    }
    return metrics;
}

TrackSizes ComputeTrackSizes(int32_t frameWidth, int32_t frameHeight, const Rect& sourceClientRect,
                             const Rect& sourceRect, int32_t zoom, uint32_t dpi) {
    const int32_t d = static_cast<int32_t>(EffectiveDpi(dpi));
    const int64_t baseMinimum = MulDiv(PREVIEW_MIN_CLIENT_96, d, static_cast<int32_t>(DESIGN_DPI));
    const int64_t minWidth = std::min(std::max<int64_t>(baseMinimum, OverlayMinWidth(dpi)),
                                      std::max<int64_t>(1, RectWidth(sourceRect)));
    const int64_t minHeight = std::min(baseMinimum, std::max<int64_t>(1, RectHeight(sourceRect)));
    TrackSizes sizes;
    sizes.maxTrackSize = {TrackSize(frameWidth, ZoomedExtent(RectWidth(sourceClientRect), zoom)),
                          TrackSize(frameHeight, ZoomedExtent(RectHeight(sourceClientRect), zoom))};
    sizes.minTrackSize = {TrackSize(frameWidth, minWidth), TrackSize(frameHeight, minHeight)};
    return sizes;
}

Point MinTrackSizeWithinMax(const Point& minTrackSize, const Point& maxTrackSize) {
    return Point{std::min(minTrackSize.x, maxTrackSize.x),
                 std::min(minTrackSize.y, maxTrackSize.y)};
}

Rect CustomFrameClientRect(const Rect& proposedWindow, const Rect& resizeBorder) {
    return Rect{ClampToInt32(int64_t{proposedWindow.left} + resizeBorder.left),
                ClampToInt32(int64_t{proposedWindow.top} + CUSTOM_FRAME_TOP_EDGE),
                ClampToInt32(int64_t{proposedWindow.right} - resizeBorder.right),
                ClampToInt32(int64_t{proposedWindow.bottom} - resizeBorder.bottom)};
}

PreviewPlacement PlacePreview(const Rect& sourceRect, const FrameMetrics& frame, bool customFrame) {
    const int64_t top = customFrame ? int64_t{sourceRect.top} - CUSTOM_FRAME_TOP_EDGE
                                    : int64_t{sourceRect.top} - frame.frameHeight / 2;
    PreviewPlacement placement;
    placement.origin = {ClampToInt32(int64_t{sourceRect.left} - frame.frameWidth / 2),
                        ClampToInt32(top)};
    placement.width = ClampToInt32(RectWidth(sourceRect) + frame.frameWidth);
    placement.height = ClampToInt32(RectHeight(sourceRect) + frame.frameHeight);
    return placement;
}

ThumbnailMapping MapThumbnail(const ThumbnailInput& input) {
    ThumbnailMapping mapping;
    if (RectWidth(input.sourceClientRect) < 1 || RectHeight(input.sourceClientRect) < 1) {
        return mapping;
    }
    Rect shown{};
    if (!IntersectNormalizedRects(input.sourceRect, input.sourceClientRect, &shown)) return mapping;
    mapping.clippedSourceRect = shown;

    Rect destination{}, source{};
    if (input.maximized) {
        if (!input.previewClientRect) return mapping;
        std::optional<Rect> fitted = FittedDestination(shown, *input.previewClientRect);
        if (!fitted) return mapping;
        destination = *fitted;
        source = shown;
    } else {
        destination = NormalDestination(input.sourceClientRect, shown, input.zoom);
        source = input.sourceClientRect;
    }
    if (IsRectEmpty(destination)) return mapping;

    // The desktop's thumbnail is addressed from the virtual screen's origin.
    if (input.sourceIsShell) {
        source = MovedRect(source, -int64_t{input.virtualScreenOrigin.x},
                           -int64_t{input.virtualScreenOrigin.y});
    }
    mapping.mapped = true;
    mapping.destination = destination;
    mapping.source = source;
    return mapping;
}

} // namespace lumetta
