#include "preview/input.h"

#include "preview/constants.h"

namespace lumetta {

FrameHit CustomFrameHit(const Point& point, const Rect& client, const Rect& resizeBorder,
                        bool ctrlHeld) {
    const bool l = point.x < resizeBorder.left;
    const bool r = point.x > int64_t{client.right} - resizeBorder.right;
    const bool t = point.y < resizeBorder.top;
    const bool b = point.y > int64_t{client.bottom} - resizeBorder.bottom;
    if (t && l) return FrameHit::TopLeft;
    if (t && r) return FrameHit::TopRight;
    if (b && l) return FrameHit::BottomLeft;
    if (b && r) return FrameHit::BottomRight;
    if (l) return FrameHit::Left;
    if (t) return FrameHit::Top;
    if (r) return FrameHit::Right;
    if (b) return FrameHit::Bottom;
    return ctrlHeld ? FrameHit::Client : FrameHit::Caption;
}

int32_t ArrowPanDistance(int32_t zoom) {
    return static_cast<int32_t>(int64_t{zoom} * ARROW_PAN_SOURCE_PIXELS / 100);
}

} // namespace lumetta
