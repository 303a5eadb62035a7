// Names and numbers shared by the stand-in compositor, its controls and its tests. Plain C++:
// included by pure files, by the Win32 glue and by other rig programs.
#pragma once

#include <cstdint>

namespace dwmrig {

// ---- test controls ----------------------------------------------------------------------------
// Window property whose value (a HANDLE holding a number) is the DWMWA_CLOAKED answer.
inline constexpr wchar_t PROP_CLOAKED[] = L"LumettaDwm.Cloaked";
// Window property on a source: registering a thumbnail of it fails (with its value when that is
// a failure HRESULT, else E_INVALIDARG).
inline constexpr wchar_t PROP_REFUSE[] = L"LumettaDwm.Refuse";
// HKCU key and REG_DWORD value holding the composition state; absent means on.
inline constexpr wchar_t REG_CONTROL_KEY[] = L"Software\\LumettaTest\\Dwm";
inline constexpr wchar_t REG_COMPOSITION_VALUE[] = L"Composition";
// 0: thumbnails are drawn when their properties change but not refreshed on the timer, so a
// benchmark can tell the program's own idle cost from the stand-in's drawing (which DWM does in
// a process of its own).
inline constexpr wchar_t REG_REFRESH_VALUE[] = L"Refresh";
// Environment variable naming the record file, and the mutex that serialises its writers.
inline constexpr wchar_t ENV_LOG_PATH[] = L"LUMETTA_DWM_LOG";
inline constexpr wchar_t LOG_MUTEX_NAME[] = L"LumettaDwmLog";
inline constexpr uint32_t LOG_MUTEX_WAIT_MS = 2000;

// ---- drawing ----------------------------------------------------------------------------------
// 33 refreshes a second: above the 20 a live picture needs, below what two cores can spare.
inline constexpr uint32_t REFRESH_PERIOD_MS = 30;
// Smooth (HALFTONE) scaling only when shrinking onto at most this many destination pixels: under
// Wine it costs about 10 ms more per refresh for a nearly full-screen picture, and enlarging with
// it costs 20 to 30 ms (measured with dwm_refresh_bench), too much for 33 refreshes a second.
inline constexpr int64_t SMOOTH_SCALING_MAX_PIXELS = 640 * 480;
// More thumbnails than the program can hold (100 previews), so the limit is never the program's.
inline constexpr int MAX_THUMBNAILS = 1024;
// Threads that may draw thumbnails at once (each has one refresh timer).
inline constexpr int MAX_DRAWING_THREADS = 64;
// Thumbnail handles count up from here and are never reused within a process.
inline constexpr uint64_t THUMBNAIL_HANDLE_BASE = 0x7D0000;
inline constexpr uint64_t THUMBNAIL_HANDLE_STEP = 4;

// ---- Win32 numbers the pure files need without <windows.h> -----------------------------------
inline constexpr uint32_t WM_DWMCOMPOSITIONCHANGED_ID = 0x031E;

inline constexpr int32_t HR_OK = 0;
inline constexpr int32_t HR_E_NOTIMPL = static_cast<int32_t>(0x80004001);
inline constexpr int32_t HR_E_INVALIDARG = static_cast<int32_t>(0x80070057);
inline constexpr int32_t HR_E_HANDLE = static_cast<int32_t>(0x80070006);
inline constexpr int32_t HR_E_ACCESSDENIED = static_cast<int32_t>(0x80070005);
inline constexpr int32_t HR_DWM_E_COMPOSITIONDISABLED = static_cast<int32_t>(0x80263001);

inline constexpr uint32_t TNP_RECTDESTINATION = 0x01;
inline constexpr uint32_t TNP_RECTSOURCE = 0x02;
inline constexpr uint32_t TNP_OPACITY = 0x04;
inline constexpr uint32_t TNP_VISIBLE = 0x08;
inline constexpr uint32_t TNP_SOURCECLIENTAREAONLY = 0x10;

// DWMWINDOWATTRIBUTE values (the MinGW header stops at 16).
inline constexpr uint32_t DWMWA_NCRENDERING_ENABLED_ID = 1;
inline constexpr uint32_t DWMWA_CAPTION_BUTTON_BOUNDS_ID = 5;
inline constexpr uint32_t DWMWA_EXTENDED_FRAME_BOUNDS_ID = 9;
inline constexpr uint32_t DWMWA_CLOAK_ID = 13;
inline constexpr uint32_t DWMWA_CLOAKED_ID = 14;
inline constexpr uint32_t DWMWA_WINDOW_CORNER_PREFERENCE_ID = 33;
inline constexpr uint32_t DWMWA_VISIBLE_FRAME_BORDER_THICKNESS_ID = 37;
inline constexpr uint32_t DWMWA_SYSTEMBACKDROP_TYPE_ID = 38;

// Attributes a program may set, each DWORD or BOOL sized: NCRENDERING_POLICY,
// TRANSITIONS_FORCEDISABLED, ALLOW_NCPAINT, NONCLIENT_RTL_LAYOUT, FORCE_ICONIC_REPRESENTATION,
// FLIP3D_POLICY, HAS_ICONIC_BITMAP, DISALLOW_PEEK, EXCLUDED_FROM_PEEK, CLOAK,
// FREEZE_REPRESENTATION, PASSIVE_UPDATE_MODE, USE_HOSTBACKDROPBRUSH, USE_IMMERSIVE_DARK_MODE,
// WINDOW_CORNER_PREFERENCE, BORDER_COLOR, CAPTION_COLOR, TEXT_COLOR, SYSTEMBACKDROP_TYPE.
// The others (1, 5, 9, 14 and 37 are read-only) are refused.
inline constexpr uint32_t SETTABLE_ATTRIBUTES[] = {2,  3,  4,  6,  7,  8,  10, 11, 12, 13,
                                                   15, 16, 17, 20, 33, 34, 35, 36, 38};

inline constexpr uint32_t DWM_CLOAKED_APP_BIT = 0x1;

inline constexpr uint32_t RECT_BYTES = 16;
inline constexpr uint32_t DWORD_BYTES = 4;

} // namespace dwmrig
