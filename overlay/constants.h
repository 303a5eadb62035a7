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
constexpr int32_t OVERLAY_LABEL_96 = 48;       // the zoom percentage's slot
constexpr int32_t OVERLAY_SMALL_FRAME_96 = 48; // a frame below this both ways gets no bar
constexpr int32_t OVERLAY_CORNER_96 = 9;       // ellipse of the pills' rounded corners
constexpr int32_t OVERLAY_OFFSET_96 = 6;       // the bar's distance from the frame's top

// Glyphs at 96 DPI: arm from a button's centre, pen, dot radius and spacing, the offset of the
// restore look's second square, and the label's text height and weight.
constexpr int32_t OVERLAY_ARM_96 = 8;
constexpr int32_t OVERLAY_PEN_96 = 2;
constexpr int32_t OVERLAY_DOT_RADIUS_96 = 2;
constexpr int32_t OVERLAY_DOT_SPACING_96 = 5;
constexpr int32_t OVERLAY_RESTORE_OFFSET_96 = 3;
constexpr int32_t OVERLAY_LABEL_TEXT_96 = 10;
constexpr int32_t OVERLAY_LABEL_WEIGHT = 600;
constexpr wchar_t OVERLAY_LABEL_FONT[] = L"Segoe UI";

// The tooltip control: widest tip at 96 DPI, delay before the first tip and between tips.
constexpr int32_t OVERLAY_TIP_WIDTH_96 = 280;
constexpr int32_t OVERLAY_TIP_INITIAL_MS = 450;
constexpr int32_t OVERLAY_TIP_RESHOW_MS = 80;

// Key colours the bar is drawn with, as 0x00RRGGBB: empty space, the pills, a hovered and a
// pressed button's square, and glyphs. Each turns into a fixed premultiplied pixel.
constexpr uint32_t OVERLAY_KEY_EMPTY = 0xFF00FF;
constexpr uint32_t OVERLAY_KEY_BAR = 0x000000;
constexpr uint32_t OVERLAY_KEY_HOT = 0x2A2A2A;
constexpr uint32_t OVERLAY_KEY_PRESSED = 0x464646;
constexpr uint32_t OVERLAY_KEY_GLYPH = 0xFFFFFF;
constexpr uint32_t OVERLAY_PIXEL_CLEAR = 0x00000000;
constexpr uint32_t OVERLAY_PIXEL_WHITE = 0xFFFFFFFF;
constexpr uint32_t OVERLAY_PIXEL_BAR = 0x80000000;
constexpr uint32_t OVERLAY_GREY_ALPHA = 176; // a grey square's alpha, its channels scaled by it
constexpr uint32_t OVERLAY_WHITE_FROM = 200; // a channel this bright makes the pixel white

} // namespace lumetta
