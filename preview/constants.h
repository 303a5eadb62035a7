// Constants of the preview windows: timers, window styles, the custom frame, thumbnail flags and
// the results the thumbnail update reports. Pure header: Win32 numbers are written out.
#pragma once

#include <cstdint>

namespace lumetta {

// Timers on a preview window.
constexpr uint32_t TIMER_SOURCE_WATCH = 21328; // is the source window still there?
constexpr uint32_t TIMER_CLICK = 21331;        // a single click waits for the double-click time
constexpr uint32_t SOURCE_WATCH_INTERVAL_MS = 500;
static_assert(TIMER_SOURCE_WATCH == 0x5350 && TIMER_CLICK == 0x5353);

// Window styles: WS_POPUP | WS_VISIBLE | WS_THICKFRAME, topmost only with KeepOnTop.
constexpr uint32_t PREVIEW_STYLE = 0x80000000u | 0x10000000u | 0x00040000u;
constexpr uint32_t PREVIEW_EX_STYLE_TOPMOST = 0x00000008u; // WS_EX_TOPMOST
static_assert(PREVIEW_STYLE == 0x90040000u);

// Zoom in percent; 100 shows one source pixel per preview pixel.
constexpr int32_t ZOOM_ACTUAL_SIZE = 100;

// A window title is read into this many UTF-16 units, the terminator included.
constexpr int32_t PREVIEW_TITLE_UNITS = 128;

// The custom frame on Windows 10 and later has no caption, only a 1-pixel edge at the top.
constexpr int32_t CUSTOM_FRAME_TOP_EDGE = 1;

// The frame metrics are measured on a rectangle of this size (its exact size does not matter).
constexpr int32_t FRAME_PROBE_SIZE = 100;

// Smallest client height, and width before the overlay's need, at 96 DPI.
constexpr int32_t PREVIEW_MIN_CLIENT_96 = 100;

// The overlay's button bar at 96 DPI: button, gap, inner margin and outer margin. The preview
// never gets narrower than three buttons need.
constexpr int32_t OVERLAY_BUTTON_96 = 30;
constexpr int32_t OVERLAY_GAP_96 = 2;
constexpr int32_t OVERLAY_PADDING_96 = 4;
constexpr int32_t OVERLAY_MARGIN_96 = 6;
constexpr int32_t OVERLAY_MIN_BUTTONS = 3;

// Corner preference of the frame (DWMWA_WINDOW_CORNER_PREFERENCE and its values).
constexpr uint32_t DWMWA_WINDOW_CORNER_PREFERENCE_ID = 33;
constexpr uint32_t DWMWCP_DONOTROUND_ID = 1;
constexpr uint32_t DWMWCP_ROUNDSMALL_ID = 3;

// DWM_TNP_RECTDESTINATION | DWM_TNP_RECTSOURCE | DWM_TNP_VISIBLE | DWM_TNP_SOURCECLIENTAREAONLY;
// the opacity is left as it is.
constexpr uint32_t THUMBNAIL_PROPERTY_FLAGS = 0x01 | 0x02 | 0x08 | 0x10;
static_assert(THUMBNAIL_PROPERTY_FLAGS == 0x1B);
constexpr uint8_t THUMBNAIL_OPACITY = 255;

// Results of the thumbnail update besides those of the DWM calls.
constexpr int32_t PREVIEW_E_HANDLE = static_cast<int32_t>(0x80070006); // a window is gone
constexpr int32_t PREVIEW_E_FAIL = static_cast<int32_t>(0x80004005);   // a rectangle is empty

// The largest window size the track sizes can ask for.
constexpr int64_t TRACK_SIZE_LIMIT = 2147483647;

} // namespace lumetta
