// A preview's hover bar of buttons: a layered pop-up owned by the preview, never activated, shown
// while the pointer is over the preview. Each preview embeds one; every operation does nothing
// while the overlay has no window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "overlay/layout.h"

namespace lumetta {

constexpr int32_t OVERLAY_TOOLTIP_UNITS = 64;

struct PreviewOverlay {
    HWND overlayWnd = nullptr;
    HWND previewWnd = nullptr;
    HWND tooltipWnd = nullptr;
    uint32_t dpi = 96;
    BOOL maximized = FALSE;     // chooses the Maximize button's look and tooltip
    BOOL shown = FALSE;         // the overlay window is meant to be visible
    BOOL pointerInside = FALSE; // the overlay was shown for the pointer
    BOOL suppressed = FALSE;    // hidden until the pointer has left the preview
    BOOL tracking = FALSE;      // a leave request is pending on the overlay window
    int32_t zoomPercent = 100;
    int32_t hotButton = -1;
    int32_t pressedButton = -1;
    RECT buttonRects[OVERLAY_SLOTS]{};
    RECT groupRects[OVERLAY_GROUPS]{};
    wchar_t tooltipTexts[OVERLAY_SLOTS][OVERLAY_TOOLTIP_UNITS]{};
    int32_t barWidth = 0;
    int32_t barHeight = 0;
    // Where the More actions button asks the preview to open its menu, while it asks.
    POINT menuPoint{};
    BOOL menuRequested = FALSE;
};

// Makes the overlay window and its tooltips for a preview, hidden; false without a window (the
// preview goes on without a bar). What the overlay held before goes first.
bool CreateOverlay(PreviewOverlay* overlay, HWND preview);
// Destroys the window, its tooltips, timers and capture, and resets the record.
void DestroyOverlay(PreviewOverlay* overlay);
// Lays the bar out for the preview's current frame and DPI and moves it there.
void PlaceOverlay(PreviewOverlay* overlay);
// Draws the bar as the record says and pushes the picture to the window.
void RenderOverlay(PreviewOverlay* overlay);
// Registers one tool per laid-out button, with the tooltip its slot and look call for.
void UpdateOverlayTooltips(PreviewOverlay* overlay);

// Shows the overlay for the pointer unless it is suppressed.
void ShowOverlay(PreviewOverlay* overlay);
void HideOverlay(PreviewOverlay* overlay);
// Hides the overlay and keeps it hidden while the pointer stays over the preview.
void SuspendOverlay(PreviewOverlay* overlay);
// Ends a suspension: shown again if the pointer is over the preview.
void ResumeOverlay(PreviewOverlay* overlay);
// A click on an active preview: a suppressed overlay comes back, a visible one is suspended.
void ToggleOverlay(PreviewOverlay* overlay);
// The pointer has left the preview: the suppression ends once the pointer is off the preview and
// the overlay, and the overlay hides a moment later unless the pointer comes back.
void OverlayPointerLeft(PreviewOverlay* overlay);

// The pointer is over the preview, its overlay or the overlay's tooltip.
bool IsPointerOverPreview(const PreviewOverlay* overlay);
// The preview's visible frame on screen: its client area, or the compositor's frame bounds.
bool GetPreviewFrame(const PreviewOverlay* overlay, RECT* frame);

// The point a WM_PREVIEW_SHOWMENU carries, read from the overlay's own record: only the overlay
// of this preview, sending on this thread, is answered; lParam is compared, never read.
bool TakeOverlayMenuPoint(PreviewOverlay* overlay, LPARAM lParam, POINT* point);

} // namespace lumetta
