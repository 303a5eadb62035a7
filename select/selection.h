// The selection window's record and everything it decides without the window system: the two
// ways of dragging out an area, which pixels a redraw changes and pushes, where the hint goes,
// and the rectangle handed to the main instance.
// Pure header: the window handle is named by its Win32 tag so the glue stores an HWND as it is.
#pragma once

#include <cstdint>

#include "app/base/geometry.h"
#include "select/screen_bitmap.h"

struct HWND__; // HWND is HWND__* in <windows.h>

namespace lumetta {

struct ScreenSize {
    int32_t cx;
    int32_t cy;
};

// One per selection process, zero-filled before use. Points are window coordinates, whose origin
// is the top-left corner of the virtual screen.
struct SelectionWindow {
    HWND__* window;        // set on WM_CREATE, null again from the start of WM_DESTROY
    int32_t dragging;      // a first corner has been set
    int32_t redrawPending; // the corners changed since the last redraw
    int32_t accepted;      // completed rather than cancelled; the hand-off reads it
    Point anchor;          // the first corner
    Point current;         // the opposite corner, following the pointer
    Point shownAnchor;     // the corners as they stood at the last redraw
    Point shownCurrent;
    Rect hintRect;     // the hint text's layout rectangle grown by HINT_ERASE_MARGIN
    int32_t hintShown; // the hint text is in the bitmap
    ScreenBitmap screen;
    Point origin;    // screen coordinates of the virtual screen's top-left corner
    ScreenSize size; // size of the virtual screen
};

// ---- gestures ---------------------------------------------------------------------------------

// The new window's corners: nothing dragged yet; the shown corners span the client area.
void ResetCorners(SelectionWindow* selection, ScreenSize client);

// A pointer move: followed only while dragging. The first move after a redraw keeps the corners
// as drawn, so that redraw can erase the band it drew however many moves came in between.
void TrackPointer(SelectionWindow* selection, Point pointer);

enum class ButtonOutcome {
    Ignored,   // nothing changes
    Started,   // the first corner is set
    Completed, // the selection is accepted: the window is to be destroyed
};

// A left press: starts a drag, or completes one however small it is.
ButtonOutcome PressLeft(SelectionWindow* selection, Point pointer);
// A left release: starts a drag when none runs (a release can come first), completes one when
// the pointer is at least SELECTION_MIN_DRAG_PIXELS from the anchor on either axis, else is a
// click that leaves the drag going.
ButtonOutcome ReleaseLeft(SelectionWindow* selection, Point pointer);

// ---- drawing ----------------------------------------------------------------------------------

// The rubber band of two corners: both corner pixels lie inside.
Rect BandRect(Point a, Point b);

// What a redraw pushes to the layered window.
struct RedrawPlan {
    bool push;        // anything to push at all
    bool wholeWindow; // push everything rather than the dirty rectangle
    Rect dirty;       // the pixels changed, when not the whole window
};

// Draws the changes since the last redraw into the bitmap (hint erased, old band dimmed, new band
// cleared and framed) and says what to push. full pushes the whole window even when nothing
// changed.
RedrawPlan PrepareRedraw(SelectionWindow* selection, bool full);

// Before the screen is rendered afresh: no drag, nothing accepted, no hint drawn yet.
void ResetForRender(SelectionWindow* selection);

// ---- the hint ---------------------------------------------------------------------------------

// The hint font's em size in pixels at a DPI (taken as 96 when 0).
float HintEmSize(uint32_t dpi);

// A screen rectangle (the primary work area) in window coordinates.
Rect ToWindowCoordinates(const Rect& screenRect, Point origin);

// The hint's layout rectangle for a measured text height (HINT_FALLBACK_HEIGHT when it could not
// be measured): as wide as the work area less the right margin, as high as the text, its bottom
// HINT_MARGIN_BOTTOM above the work area's bottom. Right- and bottom-aligned text then ends at
// the work area's bottom-right corner less the margins.
Rect HintLayoutRect(const Rect& workArea, float textHeight);

// The area that erases the hint and everything its shadow and halo touch.
Rect HintEraseRect(const Rect& layout);

// ---- the hand-off -----------------------------------------------------------------------------

// The selected area in screen coordinates: the corners themselves ordered (unlike the band, the
// pixels behind the larger corner are not included) and moved by the virtual screen's origin.
Rect HandOffRect(Point anchor, Point current, Point origin);

} // namespace lumetta
