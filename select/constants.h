// Constants of the screen-area selection: the selection window's pixels, timer and gesture rule,
// the hint's look and place, and the windows the search for a source passes over.
// Pure header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "app/base/constants.h"

namespace lumetta {

// Pixel values, given as 0xAABBGGRR (a COLORREF with alpha on top); the bitmap stores them
// premultiplied with red and blue exchanged.
constexpr uint32_t SELECTION_DIM_PIXEL = 0x78000000;   // black at alpha 120: the dimmed screen
constexpr uint32_t SELECTION_BAND_PIXEL = 0x01000000;  // black at alpha 1: clear, still hit-tested
constexpr uint32_t SELECTION_FRAME_PIXEL = 0xFFFFFFFF; // opaque white: the band's frame

// Redraws happen on this timer only; mouse moves just record the pointer.
constexpr uintptr_t TIMER_SELECTION_REDRAW = 0xBABA;
constexpr uint32_t SELECTION_REDRAW_INTERVAL_MS = 32;
static_assert(TIMER_SELECTION_REDRAW == 47802);

// A release closer than this to the anchor on both axes is a click, not the end of a drag.
constexpr int32_t SELECTION_MIN_DRAG_PIXELS = 10;

// The hint text: bold, em size 36 pixels at 96 DPI, its bottom-right corner this far inside the
// primary monitor's work area.
constexpr wchar_t HINT_FONT_FAMILY[] = L"Segoe UI";
constexpr float HINT_EM_SIZE_AT_96_DPI = 36.0f;
constexpr int32_t HINT_MARGIN_RIGHT = 16;
constexpr int32_t HINT_MARGIN_BOTTOM = 5;
// Height assumed when the text cannot be measured.
constexpr float HINT_FALLBACK_HEIGHT = 100.0f;
// The area redrawn to erase the hint: its layout rectangle grown on every side.
constexpr int32_t HINT_ERASE_MARGIN = 10;

// ARGB colours of the hint and the offsets of its shadow and halo.
constexpr uint32_t HINT_TEXT_COLOR = 0xFFC8C8C8;   // opaque grey 200
constexpr uint32_t HINT_HALO_COLOR = 0x32000000;   // black at alpha 50
constexpr uint32_t HINT_SHADOW_COLOR = 0x64000000; // black at alpha 100
constexpr int32_t HINT_HALO_WIDTH = 1;
constexpr int32_t HINT_SHADOW_OFFSET = 2;

// Source windows: class names and titles read into buffers of this many characters, terminator
// included, so longer names are compared in their first 31 characters.
constexpr size_t SOURCE_NAME_BUFFER_CHARS = 32;

// Outside windows never taken as a source, by class name (equal) or class-name prefix.
constexpr const wchar_t* EXCLUDED_SOURCE_CLASSES[] = {
    PREVIEW_WINDOW_CLASS, // the program's own previews
    L"WorkerW",           // the desktop's wallpaper host
    L"AVP.SandboxWindow",
    L"YoloMouseClass",
};
constexpr wchar_t EXCLUDED_SOURCE_CLASS_PREFIX[] = L"DFMonitorFadingWindow:";
constexpr size_t EXCLUDED_SOURCE_CLASS_PREFIX_CHARS = std::size(EXCLUDED_SOURCE_CLASS_PREFIX) - 1;
static_assert(EXCLUDED_SOURCE_CLASS_PREFIX_CHARS == 22);
// And by window title (equal).
constexpr const wchar_t* EXCLUDED_SOURCE_TITLES[] = {
    L"YoloMouseOverlay",
};

// Where the hand-off starts the program when no main instance runs ("-startup -wait" is in
// app/base/constants.h): the verb, and at most this many characters of the program's path.
constexpr wchar_t START_VERB[] = L"open";
constexpr size_t PROGRAM_PATH_CHARS = 260;

} // namespace lumetta
