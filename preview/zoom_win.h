// Zooming, panning, resizing and maximizing a preview: its zoom and region change, the window
// follows, and the thumbnail is fed the new state. A thumbnail that cannot follow closes the
// preview.
#pragma once

#include <windows.h>

#include <cstdint>

#include "preview/preview_win.h"

namespace lumetta {

// +n zooms in n steps, -n out, 0 is actual size; the window keeps its top-left corner. On a
// maximized preview a step only restores it.
HRESULT ZoomBy(PreviewWindow* preview, int32_t step);
// Moves the region by (dx, dy) preview pixels from base (null: the region itself), within the
// source's client area; the window stays.
HRESULT PanBy(PreviewWindow* preview, int32_t dx, int32_t dy, const RECT* base = nullptr);
// Maximizes a normal preview into its monitor's work area, or restores a maximized one; with
// restoreOnly a normal preview is left as it is.
void ToggleMaximize(PreviewWindow* preview, bool restoreOnly);
// The maximize step proper: the region fitted into the work area, the window centred on it.
bool FitToMonitor(PreviewWindow* preview);

// A pending single click is cancelled: the button went on to move or size the window.
void CancelPendingClick(PreviewWindow* preview);
// Which edges an interactive resize drags (WM_SIZING's edge).
void NoteSizingEdge(PreviewWindow* preview, WPARAM edge);
// A new client size from the user's resizing changes the region, not the zoom.
void FollowClientSize(PreviewWindow* preview, WPARAM type, LPARAM size);
// The frame at a new DPI; the zoom and the region stay. suggested: the system's window
// rectangle, if it gave one.
void ApplyDpiChange(PreviewWindow* preview, UINT dpi, const RECT* suggested);

} // namespace lumetta
