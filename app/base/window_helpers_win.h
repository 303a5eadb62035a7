// Helpers several windows share: class registration, the record a window keeps in its user data,
// the program's icon and strings, error boxes centred on their owner's monitor, the centring
// itself, DPI queries with fallbacks for systems that lack the newer functions, and conversions
// between Win32 rectangles and the pure geometry.
#pragma once

#include <windows.h>

#include "app/base/geometry.h"

namespace lumetta {

inline RECT ToRECT(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
inline Rect ToRect(const RECT& r) {
    return Rect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
}

// A window class of this module. Registering a class that is registered already succeeds, so
// each window may register its class on every creation.
struct WindowClassParams {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    UINT style = 0;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool programIcon = false; // the program's icon, large and small
};
bool RegisterWindowClass(const WindowClassParams& params);

// Stores the record given to CreateWindowExW in the window's user data and returns it. Called on
// WM_CREATE, or on WM_NCCREATE by a window that needs its record from the first message on.
template <typename Record> Record* AttachRecord(HWND hwnd, LPARAM createStruct) {
    auto* record =
        static_cast<Record*>(reinterpret_cast<const CREATESTRUCTW*>(createStruct)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    return record;
}
// The record stored by AttachRecord; null before it was stored.
template <typename Record> Record* RecordOf(HWND hwnd) {
    return reinterpret_cast<Record*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The program's icon at the size of two system metrics (SM_CXICON and SM_CYICON, say). LR_SHARED
// in flags gives the system's shared copy, which is never destroyed; without it the caller owns
// the icon.
HICON LoadProgramIcon(int widthMetric, int heightMetric, UINT flags);
// Sets a window's large and small icon to the program's shared icon.
void SetProgramIcons(HWND hwnd);

// An error box ("Error", error icon, task-modal, set-foreground) centred on the monitor of a
// visible owner. The text form and the string-table form.
void CenteredMessageBox(HWND owner, const wchar_t* text);
void CenteredMessageBox(HWND owner, UINT stringId);

// Moves window, unsized, to the middle of the work area of the monitor nearest to reference (when
// it is visible and not minimized) or else nearest to the window itself.
void CenterOnMonitor(HWND window, HWND reference);

// Makes window the foreground window, restoring it when minimized; true when it is, or was made,
// the foreground window. A window that does not respond, or is gone, is left alone at once.
bool BringWindowToFront(HWND window);

// Copies what a message's lParam points to. Only a message this thread sent or posted to itself
// carries a pointer that means something here (one sent by another thread or process points into
// its memory), and the copy fails on a bad address instead of faulting.
bool CopyOwnMessageData(LPARAM lParam, void* out, size_t size);

// The system DPI, never 0.
UINT GetSystemDpi();
// The DPI of the window's monitor, or the system DPI; never 0.
UINT GetWindowDpi(HWND window);
// Grows rect by the frame of a preview window at dpi.
void AdjustWindowRectForDpi(RECT* rect, UINT dpi);

// Texts from the string table are read into buffers of this many UTF-16 units.
constexpr int TEXT_BUFFER_UNITS = 256;
using TextBuffer = wchar_t[TEXT_BUFFER_UNITS];

// A string from the string table into buffer; an empty string when it is missing.
void LoadText(UINT id, wchar_t* buffer, int capacity);
inline void LoadText(UINT id, TextBuffer& buffer) {
    LoadText(id, buffer, TEXT_BUFFER_UNITS);
}

// A plain box captioned with the program's name, for failures that are not an error of the
// user's (style: its icon and MB_SETFOREGROUND).
void ProgramMessageBox(UINT stringId, UINT style);

} // namespace lumetta
