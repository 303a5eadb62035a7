// Constants of the preview windows: timers, zoom, the custom frame and the limits of their sizes.
// Pure header; the Win32 values are in constants_win.h.
#pragma once

#include <cstdint>

namespace lumetta {

// Timers on a preview window.
constexpr uint32_t TIMER_SOURCE_WATCH = 21328; // is the source window still there?
constexpr uint32_t TIMER_CLICK = 21331;        // a single click waits for the double-click time
constexpr uint32_t SOURCE_WATCH_INTERVAL_MS = 500;
static_assert(TIMER_SOURCE_WATCH == 0x5350 && TIMER_CLICK == 0x5353);

// Zoom in percent; 100 shows one source pixel per preview pixel. Commands move it in steps
// between the minimum zoom and ZOOM_MAX; fitting to a monitor may set any value up to ZOOM_LIMIT.
constexpr int32_t ZOOM_ACTUAL_SIZE = 100;
constexpr int32_t ZOOM_STEP = 20;
constexpr int32_t ZOOM_MAX = 400;
constexpr int32_t ZOOM_LIMIT = 2147483647;

// The arrow keys pan by this many source pixels (as preview pixels at the zoom, truncated).
constexpr int32_t ARROW_PAN_SOURCE_PIXELS = 10;

// One notch of a mouse wheel.
constexpr int32_t WHEEL_NOTCH = 120;

// A single click waits for the double-click time; while the button is still down it looks again
// after this long.
constexpr uint32_t CLICK_RECHECK_MS = 20;

// ShowSourceInfo's buffers, in UTF-16 units with the terminator.
constexpr int32_t SOURCE_INFO_NAME_UNITS = 128;
constexpr int32_t SOURCE_INFO_PATH_UNITS = 260;
constexpr int32_t SOURCE_INFO_TEXT_UNITS = 1024;

// A menu label is read into this many UTF-16 units.
constexpr int32_t MENU_LABEL_UNITS = 128;

// A window title is read into this many UTF-16 units, the terminator included.
constexpr int32_t PREVIEW_TITLE_UNITS = 128;

// The custom frame on Windows 10 and later has no caption, only a 1-pixel edge at the top.
constexpr int32_t CUSTOM_FRAME_TOP_EDGE = 1;

// The frame metrics are measured on a rectangle of this size (its exact size does not matter).
constexpr int32_t FRAME_PROBE_SIZE = 100;

// Smallest client height, and width before the overlay's need, at 96 DPI.
constexpr int32_t PREVIEW_MIN_CLIENT_96 = 100;

// The largest window size the track sizes can ask for.
constexpr int64_t TRACK_SIZE_LIMIT = 2147483647;

} // namespace lumetta
