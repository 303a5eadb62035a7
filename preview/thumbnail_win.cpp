#include "app/window_helpers_win.h"
#include "preview/constants.h"
#include "preview/geometry.h"
#include "preview/preview_win.h"

namespace lumetta {

void ReleaseThumbnail(PreviewWindow* preview) {
    if (!preview->thumbnail) return;
    DwmUnregisterThumbnail(preview->thumbnail);
    preview->thumbnail = nullptr;
}

HRESULT UpdateThumbnail(PreviewWindow* preview) {
    if (!IsWindow(preview->hwnd) || !IsWindow(preview->sourceWindow)) {
        ReleaseThumbnail(preview);
        return PREVIEW_E_HANDLE;
    }
    ThumbnailInput input;
    input.sourceClientRect = ToRect(preview->sourceClientRect);
    input.sourceRect = ToRect(preview->sourceRect);
    input.zoom = preview->zoom;
    input.maximized = preview->maximized != FALSE;
    RECT client{};
    if (input.maximized && GetClientRect(preview->hwnd, &client)) {
        input.previewClientRect = ToRect(client);
    }
    HWND shell = GetShellWindow();
    input.sourceIsShell = shell && shell == preview->sourceWindow;
    if (input.sourceIsShell) {
        input.virtualScreenOrigin = {GetSystemMetrics(SM_XVIRTUALSCREEN),
                                     GetSystemMetrics(SM_YVIRTUALSCREEN)};
    }

    ThumbnailMapping mapping = MapThumbnail(input);
    if (mapping.clippedSourceRect) preview->sourceRect = ToRECT(*mapping.clippedSourceRect);
    if (!mapping.mapped) {
        ReleaseThumbnail(preview);
        return PREVIEW_E_FAIL;
    }

    if (!preview->thumbnail) {
        HRESULT registered =
            DwmRegisterThumbnail(preview->hwnd, preview->sourceWindow, &preview->thumbnail);
        if (FAILED(registered)) {
            preview->thumbnail = nullptr;
            return registered;
        }
    }
    DWM_THUMBNAIL_PROPERTIES properties{};
    properties.dwFlags = THUMBNAIL_PROPERTY_FLAGS;
    properties.rcDestination = ToRECT(mapping.destination);
    properties.rcSource = ToRECT(mapping.source);
    properties.opacity = THUMBNAIL_OPACITY;
    properties.fVisible = TRUE;
    properties.fSourceClientAreaOnly = TRUE;
    HRESULT updated = DwmUpdateThumbnailProperties(preview->thumbnail, &properties);
    if (FAILED(updated)) ReleaseThumbnail(preview);
    return updated;
}

} // namespace lumetta
