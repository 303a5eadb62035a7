// Helpers several windows share: error boxes centred on their owner's monitor, the centring itself,
// DPI queries with fallbacks for systems that lack the newer functions, and conversions between
// Win32 rectangles and the pure geometry.
#pragma once

#include <windows.h>

#include "app/geometry.h"

namespace lumetta {

inline RECT ToRECT(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
inline Rect ToRect(const RECT& r) {
    return Rect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
}

// An error box ("Error", error icon, task-modal, set-foreground) centred on the monitor of a
// visible owner. The text form and the string-table form.
void CenteredMessageBox(HWND owner, const wchar_t* text);
void CenteredMessageBox(HWND owner, UINT stringId);

// Moves window, unsized, to the middle of the work area of the monitor nearest to reference (when
// it is visible and not minimized) or else nearest to the window itself.
void CenterOnMonitor(HWND window, HWND reference);

// The system DPI, never 0.
UINT GetSystemDpi();
// The DPI of the window's monitor, or the system DPI; never 0.
UINT GetWindowDpi(HWND window);
// Grows rect by the frame of a preview window at dpi.
void AdjustWindowRectForDpi(RECT* rect, UINT dpi);

// A string from the string table into buffer; an empty string when it is missing.
void LoadText(UINT id, wchar_t* buffer, int capacity);

} // namespace lumetta
