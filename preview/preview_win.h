// A preview: a small top-level window showing, live, one region of another window through a DWM
// thumbnail. The preview list holds 100 of these records for the whole run.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/base/handles_win.h"
#include "overlay/overlay_win.h"

namespace lumetta {

struct PreviewWindow {
    int32_t slotIndex = -1;
    HWND hwnd = nullptr;
    HWND sourceWindow = nullptr;
    uint32_t sourceProcessId = 0;
    OwnedThumbnail thumbnail; // the DWM registration, while there is one
    POINT maxTrackSize{};
    POINT minTrackSize{};
    RECT resizeBorder{};
    RECT sourceClientRect{};
    RECT sourceRect{};
    BOOL sizingFromLeft = FALSE;
    BOOL sizingFromTop = FALSE;
    BOOL inSetWindowPos = FALSE;
    BOOL dragging = FALSE;
    POINT dragStart{};
    RECT dragStartSourceRect{};
    BOOL maximized = FALSE;
    RECT restoreWindowRect{};
    int32_t restoreZoom = 100;
    BOOL clickPending = FALSE;
    int32_t zoom = 100;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    int32_t dpi = 96;
    PreviewOverlay overlay;
    int32_t wheelRemainder = 0; // wheel delta short of a whole notch, kept for the next one
};

// Builds (or rebuilds) the preview in slot: its client area lies over selection (screen
// coordinates; null for the source's whole client area). True when the window exists afterwards;
// on failure the slot is free.
bool CreatePreview(PreviewWindow* slot, HWND sourceWindow, const RECT* selection);

// Ends a preview as its "Close Preview" command does: click timer, thumbnail, window. The
// window's WM_DESTROY reports the closing to the main window.
void ClosePreview(PreviewWindow* preview);

LRESULT CALLBACK PreviewWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace lumetta
