// What the pointer and the keys mean over a preview. Pure: the glue in input_win.cpp turns the
// answers into the system's hit-test codes and into zoom and pan calls.
#pragma once

#include <cstdint>

#include "app/base/geometry.h"

namespace lumetta {

enum class FrameHit {
    Client,
    Caption,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight
};

// The custom frame's answer at a point in client coordinates: the resize zones along the edges,
// corners first; elsewhere the picture moves the window like a title bar, or with Ctrl held acts
// as a client area that pans.
FrameHit CustomFrameHit(const Point& point, const Rect& client, const Rect& resizeBorder,
                        bool ctrlHeld);

// Preview pixels an arrow key pans at zoom: about ARROW_PAN_SOURCE_PIXELS source pixels.
int32_t ArrowPanDistance(int32_t zoom);

} // namespace lumetta
