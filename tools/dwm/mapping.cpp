#include "mapping.h"

#include "constants.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace dwmrig {
namespace {

// Products of two 33-bit differences need more than 64 bits.
using Wide = __int128;

Wide FloorDiv(Wide n, Wide d) { // d > 0
    Wide q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

Wide CeilDiv(Wide n, Wide d) {
    return -FloorDiv(-n, d);
} // d > 0

Wide RoundDiv(Wide n, Wide d) {
    return FloorDiv(2 * n + d, 2 * d);
} // halves round up

int32_t ClampToInt32(Wide v) {
    const Wide lo = std::numeric_limits<int32_t>::min();
    const Wide hi = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(v, lo, hi));
}

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? Rect{} : r;
}

// The affine map of one axis: source coordinate s goes to d0 + (s - s0) * dLen / sLen.
struct Axis {
    Wide s0, sLen, d0, dLen;
    Wide Forward(Wide s) const { return d0 + RoundDiv((s - s0) * dLen, sLen); }
    Wide BackFloor(Wide d) const { return s0 + FloorDiv((d - d0) * sLen, dLen); }
    Wide BackCeil(Wide d) const { return s0 + CeilDiv((d - d0) * sLen, dLen); }
};

Wide Len(int32_t lo, int32_t hi) {
    return static_cast<Wide>(hi) - lo;
}

} // namespace

BlitPlan PlanThumbnailBlit(const Rect& rcDestination, const Rect& rcSource,
                           const Rect& sourceSurface, const Rect& destClient) {
    BlitPlan plan;
    if (IsEmpty(rcDestination) || IsEmpty(rcSource)) return plan;
    const Axis x{rcSource.left, Len(rcSource.left, rcSource.right), rcDestination.left,
                 Len(rcDestination.left, rcDestination.right)};
    const Axis y{rcSource.top, Len(rcSource.top, rcSource.bottom), rcDestination.top,
                 Len(rcDestination.top, rcDestination.bottom)};

    // Source pixels that exist, and where they land.
    const Rect usable = Intersect(rcSource, sourceSurface);
    if (IsEmpty(usable)) return plan;
    const Rect landed{ClampToInt32(x.Forward(usable.left)), ClampToInt32(y.Forward(usable.top)),
                      ClampToInt32(x.Forward(usable.right)),
                      ClampToInt32(y.Forward(usable.bottom))};

    const Rect visible = Intersect(Intersect(landed, rcDestination), destClient);
    if (IsEmpty(visible)) return plan;

    // The whole source pixels behind the visible part, and where exactly they land.
    Rect src{ClampToInt32(x.BackFloor(visible.left)), ClampToInt32(y.BackFloor(visible.top)),
             ClampToInt32(x.BackCeil(visible.right)), ClampToInt32(y.BackCeil(visible.bottom))};
    src = Intersect(src, usable);
    if (IsEmpty(src)) return plan;
    plan.destination =
        Rect{ClampToInt32(x.Forward(src.left)), ClampToInt32(y.Forward(src.top)),
             ClampToInt32(x.Forward(src.right)), ClampToInt32(y.Forward(src.bottom))};
    if (IsEmpty(plan.destination)) return plan;
    plan.source = src;
    plan.clip = visible;
    plan.draw = true;
    return plan;
}

bool WantsSmoothScaling(const BlitPlan& plan) {
    if (!plan.draw) return false;
    const Wide dw = Len(plan.destination.left, plan.destination.right);
    const Wide dh = Len(plan.destination.top, plan.destination.bottom);
    const Wide sw = Len(plan.source.left, plan.source.right);
    const Wide sh = Len(plan.source.top, plan.source.bottom);
    const bool shrinks = dw < sw || dh < sh;
    return shrinks && dw <= sw && dh <= sh && dw * dh <= SMOOTH_SCALING_MAX_PIXELS;
}

int64_t RefreshRestMs(int64_t elapsedMs) {
    return std::max<int64_t>(0, 2 * elapsedMs - static_cast<int64_t>(REFRESH_PERIOD_MS));
}

ThumbProps MergeThumbProps(const ThumbProps& kept, const ThumbProps& given) {
    ThumbProps out = kept;
    const uint32_t f = given.dwFlags;
    if (f & TNP_RECTDESTINATION) out.rcDestination = given.rcDestination;
    if (f & TNP_RECTSOURCE) out.rcSource = given.rcSource;
    if (f & TNP_OPACITY) out.opacity = given.opacity;
    if (f & TNP_VISIBLE) out.fVisible = given.fVisible;
    if (f & TNP_SOURCECLIENTAREAONLY) out.fSourceClientAreaOnly = given.fSourceClientAreaOnly;
    out.dwFlags = kept.dwFlags | (f & (TNP_RECTDESTINATION | TNP_RECTSOURCE | TNP_OPACITY |
                                       TNP_VISIBLE | TNP_SOURCECLIENTAREAONLY));
    return out;
}

Rect EffectiveSource(const ThumbProps& props, const Rect& sourceSurface) {
    return (props.dwFlags & TNP_RECTSOURCE) ? props.rcSource : sourceSurface;
}

ThumbProps DefaultThumbProps() {
    ThumbProps p;
    p.opacity = 255;
    return p;
}

} // namespace dwmrig
