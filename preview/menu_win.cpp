#include "preview/menu_win.h"

#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "preview/constants.h"
#include "preview/menu.h"
#include "preview/zoom_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

// The chosen id comes back from the tracking call; no WM_COMMAND is sent.
constexpr UINT PREVIEW_MENU_FLAGS = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON;
static_assert(PREVIEW_MENU_FLAGS == 0x182);

OwnedMenu BuildMenu(const PreviewWindow* preview) {
    const PreviewMenu items = BuildPreviewMenu(
        preview->maximized, HasSetting(SETTINGS_MULTIPLE_PREVIEWS), Context.settings.dblAction);
    OwnedMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    for (size_t i = 0; i < items.count; ++i) {
        const PreviewMenuItem& item = items.items[i];
        if (item.id == 0) {
            AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        wchar_t label[MENU_LABEL_UNITS];
        LoadText(item.labelId, label, MENU_LABEL_UNITS);
        AppendMenuW(menu.Get(), MF_STRING, item.id, label);
    }
    SetMenuDefaultItem(menu.Get(), items.defaultId, FALSE);
    return menu;
}

} // namespace

void RunPreviewCommand(PreviewWindow* preview, UINT id) {
    switch (id) {
    case IDM_NEW_PREVIEW:
        SuspendOverlay(&preview->overlay);
        RequestShell(Context.shell.startSelection);
        break;
    case IDM_BRING_TO_FRONT:
        SuspendOverlay(&preview->overlay);
        BringWindowToFront(preview->sourceWindow);
        break;
    case IDM_MAXIMIZE:
    case IDM_RESTORE: ToggleMaximize(preview, false); break;
    case IDM_ZOOM_IN: ZoomBy(preview, 1); break;
    case IDM_ZOOM_OUT: ZoomBy(preview, -1); break;
    case IDM_ACTUAL_SIZE: ZoomBy(preview, 0); break;
    case IDM_OPTIONS: RequestShell(Context.shell.showOptions); break;
    case IDM_CLOSE_PREVIEW: ClosePreview(preview); break;
    case IDM_CLOSE_ALL: RequestShell(Context.shell.closeAllPreviews); break;
    default: break;
    }
}

void ShowPreviewMenu(PreviewWindow* preview, int x, int y) {
    UINT chosen = 0;
    {
        OwnedMenu menu = BuildMenu(preview);
        if (!menu) return;
        HideOverlay(&preview->overlay);
        // Without the foreground the menu would not close when the user clicks elsewhere.
        SetForegroundWindow(preview->hwnd);
        chosen = static_cast<UINT>(
            TrackPopupMenuEx(menu.Get(), PREVIEW_MENU_FLAGS, x, y, preview->hwnd, nullptr));
        PostMessageW(preview->hwnd, WM_NULL, 0, 0);
    }
    if (chosen) RunPreviewCommand(preview, chosen);
    // After New Preview and Bring To Front the overlay stays away until the pointer has left.
    if (IsWindow(preview->hwnd) && chosen != IDM_BRING_TO_FRONT && chosen != IDM_NEW_PREVIEW) {
        ResumeOverlay(&preview->overlay);
    }
}

} // namespace lumetta
