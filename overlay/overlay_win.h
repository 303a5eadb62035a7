// A preview's hover bar of buttons: a layered pop-up owned by the preview, never activated, shown
// while the pointer is over the preview. Each preview embeds one; every operation does nothing
// while the overlay has no window.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lumetta {

constexpr int32_t OVERLAY_SLOTS = 6;
constexpr int32_t OVERLAY_GROUPS = 2;
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

void PlaceOverlay(PreviewOverlay* overlay);
void RenderOverlay(PreviewOverlay* overlay);
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

// The point a WM_PREVIEW_SHOWMENU carries, read from the overlay's own record: only the overlay
// of this preview, sending on this thread, is answered; lParam is compared, never read.
bool TakeOverlayMenuPoint(PreviewOverlay* overlay, LPARAM lParam, POINT* point);

} // namespace lumetta
