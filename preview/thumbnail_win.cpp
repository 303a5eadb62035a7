#include "preview/thumbnail_win.h"

#include "app/base/window_helpers_win.h"
#include "preview/constants_win.h"
#include "preview/geometry.h"

namespace lumetta {

void ReleaseThumbnail(PreviewWindow* preview) {
    preview->thumbnail.Reset();
}

HRESULT UpdateThumbnail(PreviewWindow* preview) {
    if (!IsWindow(preview->hwnd) || !IsWindow(preview->sourceWindow)) {
        ReleaseThumbnail(preview);
        return E_HANDLE;
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
        return E_FAIL;
    }

    if (!preview->thumbnail) {
        HTHUMBNAIL registration = nullptr;
        HRESULT registered =
            DwmRegisterThumbnail(preview->hwnd, preview->sourceWindow, &registration);
        if (FAILED(registered)) return registered;
        preview->thumbnail.Reset(registration);
    }
    DWM_THUMBNAIL_PROPERTIES properties{};
    properties.dwFlags = THUMBNAIL_PROPERTY_FLAGS;
    properties.rcDestination = ToRECT(mapping.destination);
    properties.rcSource = ToRECT(mapping.source);
    properties.opacity = THUMBNAIL_OPACITY;
    properties.fVisible = TRUE;
    properties.fSourceClientAreaOnly = TRUE;
    HRESULT updated = DwmUpdateThumbnailProperties(preview->thumbnail.Get(), &properties);
    if (FAILED(updated)) ReleaseThumbnail(preview);
    return updated;
}

} // namespace lumetta
