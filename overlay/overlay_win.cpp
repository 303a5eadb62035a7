#include "overlay/overlay_win.h"

#include <commctrl.h>

#include "overlay/constants.h"

namespace lumetta {
namespace {

bool HasWindow(const PreviewOverlay* overlay) {
    return overlay->overlayWnd && IsWindow(overlay->overlayWnd);
}

// window is root or one of its descendants.
bool IsWithin(HWND window, HWND root) {
    return root && (window == root || IsChild(root, window));
}

} // namespace

// The bar's layout, tooltips and picture come with its window.
void PlaceOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay) || !IsWindow(overlay->previewWnd)) return;
}

void RenderOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
}

void UpdateOverlayTooltips(PreviewOverlay* overlay) {
    if (!HasWindow(overlay) || !overlay->tooltipWnd) return;
}

void ShowOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay) || overlay->suppressed) return;
    overlay->pointerInside = TRUE;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE);
    if (overlay->shown) return;
    overlay->shown = TRUE;
    PlaceOverlay(overlay);
}

void HideOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE);
    overlay->shown = FALSE;
    overlay->pointerInside = FALSE;
    overlay->tracking = FALSE;
    overlay->hotButton = -1;
    overlay->pressedButton = -1;
    if (GetCapture() == overlay->overlayWnd) ReleaseCapture();
    if (overlay->tooltipWnd) SendMessageW(overlay->tooltipWnd, TTM_POP, 0, 0);
    ShowWindow(overlay->overlayWnd, SW_HIDE);
}

void SuspendOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    overlay->suppressed = IsPointerOverPreview(overlay);
    if (overlay->suppressed) {
        SetTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS, OVERLAY_SUPPRESS_MS, nullptr);
    } else {
        KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
    }
    HideOverlay(overlay);
}

void ResumeOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    overlay->suppressed = FALSE;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE);
    if (IsPointerOverPreview(overlay)) {
        ShowOverlay(overlay);
    } else {
        HideOverlay(overlay);
    }
}

void ToggleOverlay(PreviewOverlay* overlay) {
    if (!HasWindow(overlay)) return;
    if (!overlay->suppressed) {
        SuspendOverlay(overlay);
        return;
    }
    overlay->suppressed = FALSE;
    KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
    ShowOverlay(overlay);
}

void OverlayPointerLeft(PreviewOverlay* overlay) {
    if (overlay->suppressed) {
        if (!IsPointerOverPreview(overlay)) {
            overlay->suppressed = FALSE;
            if (HasWindow(overlay)) KillTimer(overlay->overlayWnd, TIMER_OVERLAY_SUPPRESS);
        }
    }
    overlay->pointerInside = FALSE;
    if (HasWindow(overlay)) {
        SetTimer(overlay->overlayWnd, TIMER_OVERLAY_HIDE, OVERLAY_HIDE_DELAY_MS, nullptr);
    }
}

bool IsPointerOverPreview(const PreviewOverlay* overlay) {
    POINT cursor{};
    if (!IsWindow(overlay->previewWnd) || !GetCursorPos(&cursor)) return false;
    const HWND under = WindowFromPoint(cursor);
    return IsWithin(under, overlay->previewWnd) || IsWithin(under, overlay->overlayWnd) ||
           (overlay->tooltipWnd && under == overlay->tooltipWnd);
}

bool TakeOverlayMenuPoint(PreviewOverlay* overlay, LPARAM lParam, POINT* point) {
    const bool ours = overlay->menuRequested && !InSendMessage() &&
                      lParam == reinterpret_cast<LPARAM>(&overlay->menuPoint);
    overlay->menuRequested = FALSE;
    if (!ours) return false;
    *point = overlay->menuPoint;
    return true;
}

} // namespace lumetta
