// The arithmetic of zooming, panning, resizing and maximizing a preview. Pure: the Win32 glue in
// zoom_win.cpp reads the window and the monitor, calls these and applies the result.
#pragma once

#include <cstdint>
#include <optional>

#include "app/base/geometry.h"

namespace lumetta {

// Zoom In by steps (> 0): the zoom rounded down to a step first, so 110 gives 120; at most
// ZOOM_MAX.
int32_t ZoomInFrom(int32_t zoom, int32_t steps);

// The smallest zoom at which sourceRect still fills the minimum client size (minTrackSize less
// the frame): a multiple of ZOOM_STEP, at least ZOOM_STEP, at most ZOOM_MAX. None when the region
// is empty.
std::optional<int32_t> MinimumZoom(const Point& minTrackSize, int32_t frameWidth,
                                   int32_t frameHeight, const Rect& sourceRect);

// Zoom Out by steps (< 0), never below minimumZoom and not rounded first, so 110 gives 90. A zoom
// already at or below the minimum stays.
int32_t ZoomOutFrom(int32_t zoom, int32_t steps, int32_t minimumZoom);

// The window size that shows sourceRect at zoom inside a frame of the given size.
Point ZoomedWindowSize(const Rect& sourceRect, int32_t zoom, int32_t frameWidth,
                       int32_t frameHeight);

// The region's size for a client area of clientWidth × clientHeight at zoom (≥ 1).
Point SourceSizeAtZoom(int32_t clientWidth, int32_t clientHeight, int32_t zoom);

// base shifted by (dx, dy) preview pixels at zoom (≥ 1), then kept inside bounds at its size.
Rect PanRect(const Rect& base, int32_t dx, int32_t dy, int32_t zoom, const Rect& bounds);

// A region of w × h inside bounds that keeps current's right edge when fromLeft (else its left
// edge) and its bottom edge when fromTop (else its top edge), shifted back inside bounds. False
// when current does not overlap bounds, or bounds or the result is empty; out is written only
// when true.
bool ResizeSourceRect(const Rect& current, const Rect& bounds, int32_t w, int32_t h, bool fromLeft,
                      bool fromTop, Rect* out);

// The largest size of the aspect w:h inside maxW × maxH; each side at least 1. False when any
// argument is below 1.
bool FitSizeKeepingAspect(int32_t w, int32_t h, int32_t maxW, int32_t maxH, Point* out);

// What maximizing reads of the system, in screen coordinates.
struct MaximizeInput {
    Rect workArea{};
    Rect window{};
    Rect client{};                     // the client area on the screen
    std::optional<Rect> extendedFrame; // DWMWA_EXTENDED_FRAME_BOUNDS, when known and not empty
    Rect sourceRect{};
};

struct MaximizePlacement {
    Rect window{};
    int32_t zoom = 0;
};

// The region as large as the work area allows at its own aspect ratio, the visible window
// centred in the work area; the invisible borders may lie outside it, the visible frame may not.
// None when a size comes out below 1.
std::optional<MaximizePlacement> FitToWorkArea(const MaximizeInput& input);

// Whole wheel notches from a wheel delta, keeping what is left below a notch in remainder. The
// remainder is dropped when the wheel turns the other way.
int32_t TakeWheelNotches(int32_t* remainder, int32_t delta);

} // namespace lumetta
