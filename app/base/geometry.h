// Integer rectangle arithmetic shared by every subsystem. Rect and Point have the layout of
// Win32 RECT and POINT (four and two 32-bit signed members), so the glue converts by copying.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace lumetta {

struct Point {
    int32_t x;
    int32_t y;
};

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool operator==(const Point& a, const Point& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const Point& a, const Point& b) {
    return !(a == b);
}
inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect& a, const Rect& b) {
    return !(a == b);
}

// A 64-bit result of coordinate arithmetic held within the 32-bit range.
inline int32_t ClampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Width and height in 64 bits: the difference of two 32-bit coordinates may not fit in 32.
inline int64_t RectWidth(const Rect& r) {
    return int64_t{r.right} - r.left;
}
inline int64_t RectHeight(const Rect& r) {
    return int64_t{r.bottom} - r.top;
}

// Empty when the width or the height is not positive.
inline bool IsRectEmpty(const Rect& r) {
    return RectWidth(r) <= 0 || RectHeight(r) <= 0;
}

// The rectangle moved by (dx, dy), each edge held within the 32-bit range.
inline Rect MovedRect(const Rect& r, int64_t dx, int64_t dy) {
    return Rect{ClampToInt32(r.left + dx), ClampToInt32(r.top + dy), ClampToInt32(r.right + dx),
                ClampToInt32(r.bottom + dy)};
}

// Swaps left/right and top/bottom where they are reversed.
Rect NormalizeRect(const Rect& r);

// Intersection of a and b after normalising both. False when out is missing, when either
// rectangle is empty or when they do not overlap (rectangles that only touch do not); out is
// written only when the result is true.
bool IntersectNormalizedRects(const Rect& a, const Rect& b, Rect* out);

// number × numerator / denominator as Win32 MulDiv computes it: a 64-bit product, rounded half
// away from zero; -1 when the denominator is 0 or the result does not fit in 31 bits and a sign.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

// The design DPI every size in the program is given for.
constexpr uint32_t DESIGN_DPI = 96;

// A DPI as the system reports it, 96 in place of 0.
inline uint32_t EffectiveDpi(uint32_t dpi) {
    return dpi == 0 ? DESIGN_DPI : dpi;
}

// A size given at 96 DPI scaled to dpi (96 when 0), never below 1.
int32_t ScaleForDpi(int32_t value, uint32_t dpi);

// Top-left corner that centres a window of the given rectangle's size in a monitor's work area.
// A window at least as wide (high) as the area goes to its left (top) edge; otherwise it is
// centred, the halving truncating toward zero, and kept inside the area.
Point CenterInWorkArea(const Rect& window, const Rect& workArea);

} // namespace lumetta
