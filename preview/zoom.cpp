#include "preview/zoom.h"

#include <algorithm>

#include "preview/constants.h"

namespace lumetta {
namespace {

constexpr int64_t PERCENT = 100;

int64_t Ceiling(int64_t a, int64_t b) {
    return (a + b - 1) / b;
}

// The margin between an inner rectangle's edge and an outer one's, never negative.
int64_t Inset(int64_t inner, int64_t outer) {
    return std::max<int64_t>(0, inner - outer);
}

// r moved by (dx, dy) and kept inside bounds without changing its size: past the left (top) edge
// it moves right (down), then past the right (bottom) edge left (up). The offset is settled in 64
// bits before the move, so that no edge is clamped to the 32-bit range on the way.
Rect MovedInside(const Rect& r, int64_t dx, int64_t dy, const Rect& bounds) {
    if (r.left + dx < bounds.left) dx = int64_t{bounds.left} - r.left;
    if (r.right + dx > bounds.right) dx = int64_t{bounds.right} - r.right;
    if (r.top + dy < bounds.top) dy = int64_t{bounds.top} - r.top;
    if (r.bottom + dy > bounds.bottom) dy = int64_t{bounds.bottom} - r.bottom;
    return MovedRect(r, dx, dy);
}

} // namespace

int32_t ZoomInFrom(int32_t zoom, int32_t steps) {
    const int64_t stepped = (int64_t{zoom} / ZOOM_STEP + steps) * ZOOM_STEP;
    return static_cast<int32_t>(std::clamp<int64_t>(stepped, ZOOM_STEP, ZOOM_MAX));
}

std::optional<int32_t> MinimumZoom(const Point& minTrackSize, int32_t frameWidth,
                                   int32_t frameHeight, const Rect& sourceRect) {
    const int64_t mw = std::max<int64_t>(1, int64_t{minTrackSize.x} - frameWidth);
    const int64_t mh = std::max<int64_t>(1, int64_t{minTrackSize.y} - frameHeight);
    const int64_t sw = RectWidth(sourceRect), sh = RectHeight(sourceRect);
    if (sw < 1 || sh < 1) return std::nullopt;
    const int64_t z = std::max(Ceiling(mw * PERCENT, sw), Ceiling(mh * PERCENT, sh));
    if (z <= ZOOM_STEP) return ZOOM_STEP;
    return static_cast<int32_t>(std::min<int64_t>(Ceiling(z, ZOOM_STEP) * ZOOM_STEP, ZOOM_MAX));
}

int32_t ZoomOutFrom(int32_t zoom, int32_t steps, int32_t minimumZoom) {
    if (minimumZoom >= zoom) return zoom;
    return ClampToInt32(std::max<int64_t>(zoom + int64_t{ZOOM_STEP} * steps, minimumZoom));
}

Point ZoomedWindowSize(const Rect& sourceRect, int32_t zoom, int32_t frameWidth,
                       int32_t frameHeight) {
    return Point{ClampToInt32(RectWidth(sourceRect) * zoom / PERCENT + frameWidth),
                 ClampToInt32(RectHeight(sourceRect) * zoom / PERCENT + frameHeight)};
}

Point SourceSizeAtZoom(int32_t clientWidth, int32_t clientHeight, int32_t zoom) {
    const int64_t z = std::max(1, zoom);
    return Point{ClampToInt32(clientWidth * PERCENT / z), ClampToInt32(clientHeight * PERCENT / z)};
}

Rect PanRect(const Rect& base, int32_t dx, int32_t dy, int32_t zoom, const Rect& bounds) {
    const int64_t z = std::max(1, zoom);
    return MovedInside(base, dx * PERCENT / z, dy * PERCENT / z, bounds);
}

bool ResizeSourceRect(const Rect& current, const Rect& bounds, int32_t w, int32_t h, bool fromLeft,
                      bool fromTop, Rect* out) {
    const Rect b = NormalizeRect(bounds);
    Rect cur{};
    if (!IntersectNormalizedRects(current, b, &cur)) return false;
    const int64_t nw = std::clamp<int64_t>(w, 1, std::max<int64_t>(1, RectWidth(b)));
    const int64_t nh = std::clamp<int64_t>(h, 1, std::max<int64_t>(1, RectHeight(b)));
    // Sized at b's corner, where anything no larger than b fits in 32 bits, then moved.
    const Rect sized{b.left, b.top, ClampToInt32(b.left + nw), ClampToInt32(b.top + nh)};
    const int64_t dx = (fromLeft ? cur.right - nw : int64_t{cur.left}) - b.left;
    const int64_t dy = (fromTop ? cur.bottom - nh : int64_t{cur.top}) - b.top;
    const Rect r = MovedInside(sized, dx, dy, b);
    if (IsRectEmpty(r)) return false;
    *out = r;
    return true;
}

bool FitSizeKeepingAspect(int32_t w, int32_t h, int32_t maxW, int32_t maxH, Point* out) {
    if (w < 1 || h < 1 || maxW < 1 || maxH < 1) return false;
    if (int64_t{h} * maxW <= int64_t{w} * maxH) {
        *out = Point{maxW, static_cast<int32_t>(std::max<int64_t>(1, int64_t{h} * maxW / w))};
    } else {
        *out = Point{static_cast<int32_t>(std::max<int64_t>(1, int64_t{w} * maxH / h)), maxH};
    }
    return true;
}

std::optional<MaximizePlacement> FitToWorkArea(const MaximizeInput& in) {
    const Rect& wr = in.window;
    const Rect& cr = in.client;
    const int64_t fl = Inset(cr.left, wr.left), ft = Inset(cr.top, wr.top);
    const int64_t fr = Inset(wr.right, cr.right), fb = Inset(wr.bottom, cr.bottom);
    int64_t vl = 0, vt = 0, vr = 0, vb = 0;
    if (in.extendedFrame && !IsRectEmpty(*in.extendedFrame)) {
        const Rect& eb = *in.extendedFrame;
        vl = Inset(eb.left, wr.left), vt = Inset(eb.top, wr.top);
        vr = Inset(wr.right, eb.right), vb = Inset(wr.bottom, eb.bottom);
    }
    const int64_t ww = RectWidth(in.workArea), wh = RectHeight(in.workArea);
    const int64_t fw = fl + fr, fh = ft + fb, iw = vl + vr, ih = vt + vb;
    const int64_t sw = RectWidth(in.sourceRect), sh = RectHeight(in.sourceRect);
    if (ww < 1 || wh < 1 || sw < 1 || sh < 1) return std::nullopt;

    Point client{};
    if (!FitSizeKeepingAspect(ClampToInt32(sw), ClampToInt32(sh), ClampToInt32(ww + iw - fw),
                              ClampToInt32(wh + ih - fh), &client)) {
        return std::nullopt;
    }
    const int64_t winW = client.x + fw, winH = client.y + fh;
    const int64_t x = in.workArea.left + (iw - winW + ww) / 2 - vl;
    const int64_t y = in.workArea.top + (ih - winH + wh) / 2 - vt;
    const int64_t zoom =
        std::min<int64_t>({client.x * PERCENT / sw, client.y * PERCENT / sh, ZOOM_LIMIT});
    if (zoom < 1) return std::nullopt;
    MaximizePlacement placement;
    placement.window =
        Rect{ClampToInt32(x), ClampToInt32(y), ClampToInt32(x + winW), ClampToInt32(y + winH)};
    placement.zoom = static_cast<int32_t>(zoom);
    return placement;
}

int32_t TakeWheelNotches(int32_t* remainder, int32_t delta) {
    if (delta == 0) return 0;
    if (*remainder != 0 && (*remainder > 0) != (delta > 0)) *remainder = 0;
    const int64_t total = int64_t{*remainder} + delta;
    const int64_t notches = total / WHEEL_NOTCH;
    *remainder = static_cast<int32_t>(total - notches * WHEEL_NOTCH);
    return static_cast<int32_t>(notches);
}

} // namespace lumetta
