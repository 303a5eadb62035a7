// A preview's frame: its thickness at a DPI, the sizes the system's sizing loop may track it to,
// and, on Windows 10 and later, the custom frame with no caption.
#pragma once

#include <windows.h>

#include "preview/preview_win.h"

namespace lumetta {

// Frame thickness and resize borders at dpi (0: 96), then the track sizes.
void UpdateFrameMetrics(PreviewWindow* preview, UINT dpi);
// Smallest and largest window sizes for the current region, zoom and frame.
void UpdateTrackSizes(PreviewWindow* preview);
// Rounded or square corners of the custom frame (Windows 10 and later).
void SetCornerPreference(const PreviewWindow* preview, DWORD preference);

// The track sizes as WM_GETMINMAXINFO hands them to the system.
void FillTrackSizes(const PreviewWindow* preview, MINMAXINFO* info);
// WM_NCCALCSIZE with wParam set on the custom frame: the client area inside the proposed window
// rectangle. False where the system's own frame applies.
bool CalcCustomFrameClient(const PreviewWindow* preview, NCCALCSIZE_PARAMS* params);
// The lParam WM_NCACTIVATE hands on to the system: -1 on the custom frame keeps the system from
// repainting a frame the window does not have.
LPARAM NcActivateRepaint(LPARAM lParam);

} // namespace lumetta
