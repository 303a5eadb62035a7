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

// The largest window size the track sizes can ask for.
constexpr int64_t TRACK_SIZE_LIMIT = 2147483647;

} // namespace lumetta
