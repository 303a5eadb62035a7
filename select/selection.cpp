#include "select/selection.h"

#include <algorithm>
#include <cmath>

#include "select/constants.h"

namespace lumetta {

namespace {

// UnionRect's rule: an empty operand adds nothing.
Rect Union(const Rect& a, const Rect& b) {
    if (IsRectEmpty(a)) return b;
    if (IsRectEmpty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

void StartDrag(SelectionWindow* s, Point pointer) {
    s->anchor = s->current = s->shownAnchor = s->shownCurrent = pointer;
    s->dragging = 1;
    s->redrawPending = 1;
}

void CompleteDrag(SelectionWindow* s, Point pointer) {
    if (!s->redrawPending) {
        s->shownAnchor = s->anchor;
        s->shownCurrent = s->current;
    }
    s->current = pointer;
    s->dragging = 1;
    s->accepted = 1;
}

bool IsClick(Point anchor, Point pointer) {
    const int64_t dx = int64_t{pointer.x} - anchor.x;
    const int64_t dy = int64_t{pointer.y} - anchor.y;
    return std::abs(dx) < SELECTION_MIN_DRAG_PIXELS && std::abs(dy) < SELECTION_MIN_DRAG_PIXELS;
}

constexpr RedrawPlan PUSH_NOTHING{false, false, {}};
constexpr RedrawPlan PUSH_WHOLE_WINDOW{true, true, {}};

} // namespace

void ResetCorners(SelectionWindow* s, ScreenSize client) {
    s->shownAnchor = {0, 0};
    s->shownCurrent = {client.cx, client.cy};
    s->anchor = s->current = {0, 0};
}

void TrackPointer(SelectionWindow* s, Point pointer) {
    if (!s->dragging) return;
    if (!s->redrawPending) {
        s->shownAnchor = s->anchor;
        s->shownCurrent = s->current;
    }
    s->current = pointer;
    s->redrawPending = 1;
}

ButtonOutcome PressLeft(SelectionWindow* s, Point pointer) {
    if (!s->dragging) {
        StartDrag(s, pointer);
        return ButtonOutcome::Started;
    }
    CompleteDrag(s, pointer);
    return ButtonOutcome::Completed;
}

ButtonOutcome ReleaseLeft(SelectionWindow* s, Point pointer) {
    if (!s->dragging) {
        StartDrag(s, pointer);
        return ButtonOutcome::Started;
    }
    if (IsClick(s->anchor, pointer)) return ButtonOutcome::Ignored;
    CompleteDrag(s, pointer);
    return ButtonOutcome::Completed;
}

Rect BandRect(Point a, Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), ClampToInt32(int64_t{std::max(a.x, b.x)} + 1),
            ClampToInt32(int64_t{std::max(a.y, b.y)} + 1)};
}

RedrawPlan PrepareRedraw(SelectionWindow* s, bool full) {
    const RedrawPlan unchanged = full ? PUSH_WHOLE_WINDOW : PUSH_NOTHING;
    if (!s->dragging) return unchanged;

    Rect dirty{};
    bool changed = false;
    if (s->hintShown) {
        // The hint goes with the first redraw of a drag and stays away for this selection.
        FillRect32(&s->screen, SELECTION_DIM_PIXEL, &s->hintRect);
        dirty = Union(dirty, s->hintRect);
        changed = true;
        s->hintShown = 0;
    }
    const Rect band = BandRect(s->anchor, s->current);
    const Rect shownBand = BandRect(s->shownAnchor, s->shownCurrent);
    if (band == shownBand) {
        if (!changed) return unchanged;
    } else {
        if (!IsRectEmpty(shownBand)) {
            FillRect32(&s->screen, SELECTION_DIM_PIXEL, &shownBand);
            dirty = Union(dirty, shownBand);
            changed = true;
        }
        if (!IsRectEmpty(band)) {
            FillRect32(&s->screen, SELECTION_BAND_PIXEL, &band);
            FrameRect32(&s->screen, band);
            dirty = Union(dirty, band);
        } else if (!changed) {
            return unchanged;
        }
    }
    // Only pixels inside the window can be pushed; the hint's margin may reach beyond its edge.
    Rect pushed;
    const Rect window{0, 0, s->size.cx, s->size.cy};
    if (full || !IntersectNormalizedRects(dirty, window, &pushed)) return PUSH_WHOLE_WINDOW;
    return {true, false, pushed};
}

void ResetForRender(SelectionWindow* s) {
    s->dragging = 0;
    s->redrawPending = 0;
    s->accepted = 0;
    s->hintShown = 0;
}

float HintEmSize(uint32_t dpi) {
    return float(EffectiveDpi(dpi)) * HINT_EM_SIZE_AT_96_DPI / float(DESIGN_DPI);
}

Rect ToWindowCoordinates(const Rect& screenRect, Point origin) {
    return MovedRect(screenRect, -int64_t{origin.x}, -int64_t{origin.y});
}

Rect HintLayoutRect(const Rect& workArea, float textHeight) {
    // A measured height is a few dozen pixels; anything absurd is held to the screen's range.
    const float bounded = std::isfinite(textHeight) ? std::clamp(textHeight, 0.0f, 65536.0f) : 0;
    const int64_t height = int64_t(bounded) + 1;
    const int64_t bottom = int64_t{workArea.bottom} - HINT_MARGIN_BOTTOM;
    const int64_t width = RectWidth(workArea) - HINT_MARGIN_RIGHT;
    return {workArea.left, ClampToInt32(bottom - height),
            ClampToInt32(int64_t{workArea.left} + width), ClampToInt32(bottom)};
}

Rect HintEraseRect(const Rect& layout) {
    return {ClampToInt32(int64_t{layout.left} - HINT_ERASE_MARGIN),
            ClampToInt32(int64_t{layout.top} - HINT_ERASE_MARGIN),
            ClampToInt32(int64_t{layout.right} + HINT_ERASE_MARGIN),
            ClampToInt32(int64_t{layout.bottom} + HINT_ERASE_MARGIN)};
}

Rect HandOffRect(Point anchor, Point current, Point origin) {
    const Rect corners{std::min(anchor.x, current.x), std::min(anchor.y, current.y),
                       std::max(anchor.x, current.x), std::max(anchor.y, current.y)};
    return MovedRect(corners, origin.x, origin.y);
}

} // namespace lumetta
