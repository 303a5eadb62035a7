// Constants of a preview's hover bar: its window class, timers and the sizes of its buttons.
// Pure header.
#pragma once

#include <cstdint>

namespace lumetta {

constexpr wchar_t OVERLAY_WINDOW_CLASS[] = L"LumettaOverlay";

// Timers on an overlay window: hiding once the pointer has left, and checking whether the pointer
// has left a preview whose overlay is suppressed (kept hidden until then).
constexpr uint32_t TIMER_OVERLAY_HIDE = 21329;
constexpr uint32_t TIMER_OVERLAY_SUPPRESS = 21330;
constexpr uint32_t OVERLAY_HIDE_DELAY_MS = 220;
constexpr uint32_t OVERLAY_SUPPRESS_MS = 50;

// The button bar at 96 DPI: button, gap, inner margin and outer margin. A preview never gets
// narrower than three buttons need.
constexpr int32_t OVERLAY_BUTTON_96 = 30;
constexpr int32_t OVERLAY_GAP_96 = 2;
constexpr int32_t OVERLAY_PADDING_96 = 4;
constexpr int32_t OVERLAY_MARGIN_96 = 6;
constexpr int32_t OVERLAY_MIN_BUTTONS = 3;

} // namespace lumetta
