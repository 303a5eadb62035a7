// Which pixels of a thumbnail's source land where in its destination.
#pragma once

#include "types.h"

namespace dwmrig {

// One stretch copy: `source` (in source-surface coordinates) is stretched onto `destination` (in
// the destination's client coordinates) with drawing limited to `clip`. `destination` may reach
// past `clip` by less than one scaled source pixel, because source pixels are whole.
struct BlitPlan {
    bool draw = false;
    Rect clip;
    Rect destination;
    Rect source;
};

// The visible part of a thumbnail that shows `rcSource` scaled into `rcDestination`:
// `sourceSurface` is the part of the source that exists (its client or window rectangle in the same
// coordinates as rcSource), `destClient` the destination's client rectangle. Only pixels inside
// rcDestination, inside the client area and coming from an existing source pixel are drawn.
// Empty or reversed rectangles draw nothing.
BlitPlan PlanThumbnailBlit(const Rect& rcDestination, const Rect& rcSource,
                           const Rect& sourceSurface, const Rect& destClient);

// Whether the copy should be filtered (HALFTONE) rather than pick pixels: only a shrinking copy
// onto a moderate area is worth its cost.
bool WantsSmoothScaling(const BlitPlan& plan);

// How long a thread waits after a round of refreshes that took `elapsedMs` before the next:
// nothing while a round fits in half the refresh period, else long enough that refreshing takes
// at most half of the thread's time (rounds start at most every max(period, 2 x elapsed)).
int64_t RefreshRestMs(int64_t elapsedMs);

// The properties kept for a thumbnail after an update: only the fields flagged in `given.dwFlags`
// change; the flags of both are merged.
ThumbProps MergeThumbProps(const ThumbProps& kept, const ThumbProps& given);

// The source rectangle in effect: the one given, or the whole source surface until one is given.
Rect EffectiveSource(const ThumbProps& props, const Rect& sourceSurface);

// What a thumbnail holds before its first update: visible off, opacity 255, the whole window.
ThumbProps DefaultThumbProps();

} // namespace dwmrig
