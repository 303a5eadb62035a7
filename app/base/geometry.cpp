#include "app/base/geometry.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace lumetta {

namespace {

// One axis of CenterInWorkArea, in 64 bits so that extreme coordinates cannot overflow.
int32_t CenterOnAxis(int64_t size, int32_t areaStart, int32_t areaEnd) {
    const int64_t start = areaStart;
    const int64_t end = areaEnd;
    if (size >= end - start) return areaStart;
    const int64_t centred = (start + end - size) / 2;
    return ClampToInt32(std::max(start, std::min(end - size, centred)));
}

} // namespace

Rect NormalizeRect(const Rect& r) {
    Rect n = r;
    if (n.left > n.right) std::swap(n.left, n.right);
    if (n.top > n.bottom) std::swap(n.top, n.bottom);
    return n;
}

bool IntersectNormalizedRects(const Rect& a, const Rect& b, Rect* out) {
    if (!out) return false;
    const Rect na = NormalizeRect(a);
    const Rect nb = NormalizeRect(b);
    if (IsRectEmpty(na) || IsRectEmpty(nb)) return false;
    const Rect both{std::max(na.left, nb.left), std::max(na.top, nb.top),
                    std::min(na.right, nb.right), std::min(na.bottom, nb.bottom)};
    if (IsRectEmpty(both)) return false;
    *out = both;
    return true;
}

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0) return -1;
    const int64_t product = int64_t{number} * numerator;
    // Work on magnitudes so that rounding goes away from zero on both sides; |product| is at
    // most 2^62 and |denominator| at most 2^31, so nothing here overflows.
    const bool negative = (product < 0) != (denominator < 0);
    const uint64_t magnitude =
        product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    const uint64_t divisor = denominator < 0 ? 0 - static_cast<uint64_t>(int64_t{denominator})
                                             : static_cast<uint64_t>(denominator);
    const uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return -1;
    const int32_t result = static_cast<int32_t>(quotient);
    return negative ? -result : result;
}

int32_t ScaleForDpi(int32_t value, uint32_t dpi) {
    const uint32_t effective = EffectiveDpi(dpi);
    // As the Win32 call would see it: the DPI passed as an int.
    const int32_t scaled =
        MulDiv(value, static_cast<int32_t>(effective), static_cast<int32_t>(DESIGN_DPI));
    return std::max(1, scaled);
}

Point CenterInWorkArea(const Rect& window, const Rect& workArea) {
    return Point{CenterOnAxis(RectWidth(window), workArea.left, workArea.right),
                 CenterOnAxis(RectHeight(window), workArea.top, workArea.bottom)};
}

} // namespace lumetta
