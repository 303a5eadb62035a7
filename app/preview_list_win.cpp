#include "app/preview_list_win.h"

#include "app/app_win.h"
#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "app/preview_slots.h"
#include "options/options_dialog_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

constexpr UINT COMPOSITION_BOX_STYLE = MB_ICONWARNING | MB_SETFOREGROUND;
static_assert(COMPOSITION_BOX_STYLE == 0x10030);

bool IsOpen(const PreviewWindow& preview) {
    return preview.hwnd && IsWindow(preview.hwnd);
}

// The open state of every slot, for the pure slot choice.
SlotStates OpenSlots() {
    SlotStates open{};
    for (size_t i = 0; i < MAX_PREVIEWS; ++i)
        open[i] = IsOpen(App.previewList[i]);
    return open;
}

void EndSilentInstanceIfEmpty() {
    if (HasSetting(SETTINGS_SILENT_MODE) && !AnyPreviewOpen() && Context.hMainWnd) {
        DestroyWindow(Context.hMainWnd);
    }
}

using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);

// Resolved on first use and kept for the run. The thumbnail functions are imported, so the module
// is normally loaded already and taken as it is, without a search; otherwise only the system
// folder's copy is loaded.
DwmIsCompositionEnabledFn CompositionQuery() {
    static bool resolved = false;
    static DwmIsCompositionEnabledFn query = nullptr;
    if (!resolved) {
        resolved = true;
        HMODULE dwm = GetModuleHandleW(L"dwmapi.dll");
        if (!dwm) dwm = LoadSystemLibrary(L"dwmapi.dll");
        if (dwm) {
            query = ProcAddress<DwmIsCompositionEnabledFn>(dwm, "DwmIsCompositionEnabled");
        }
    }
    return query;
}

bool CompositionEnabled() {
    if (!(Context.osVersionFlags & OS_VISTA)) return false;
    DwmIsCompositionEnabledFn query = CompositionQuery();
    if (!query) return false;
    BOOL enabled = FALSE;
    return SUCCEEDED(query(&enabled)) && enabled;
}

// A confirmed dialog: the preview count, silent mode and keep-on-top reach the open previews.
void ApplyOptions() {
    if (!HasSetting(SETTINGS_MULTIPLE_PREVIEWS)) {
        bool kept = false;
        for (PreviewWindow& preview : App.previewList) {
            if (!IsOpen(preview)) continue;
            if (kept) ClosePreview(&preview);
            kept = true;
        }
    }
    EndSilentInstanceIfEmpty();
    bool keepOnTop = HasSetting(SETTINGS_KEEP_ON_TOP);
    for (PreviewWindow& preview : App.previewList) {
        if (!IsOpen(preview)) continue;
        bool topmost = (GetWindowLongPtrW(preview.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        if (topmost != keepOnTop) {
            SetWindowPos(preview.hwnd, keepOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE);
        }
    }
}

} // namespace

bool AnyPreviewOpen() {
    for (const PreviewWindow& preview : App.previewList) {
        if (IsOpen(preview)) return true;
    }
    return false;
}

int OpenPreview(HWND source) {
    if (!IsWindow(source)) return 0;
    if (!RequireComposition()) return 0;
    SlotChoice choice = ChooseSlot(OpenSlots(), HasSetting(SETTINGS_MULTIPLE_PREVIEWS));
    int result = 0;
    if (choice.slot >= 0) {
        SetForegroundWindow(Context.hMainWnd);
        bool hasRect = !IsRectEmpty(ToRect(App.pendingRect));
        result = CreatePreview(&App.previewList[choice.slot], source,
                               hasRect ? &App.pendingRect : nullptr)
                     ? 1
                     : 0;
    }
    App.pendingRect = RECT{};
    if (result) return result;
    if (choice.limitReached) CenteredMessageBox(Context.hMainWnd, IDS_PREVIEW_LIMIT);
    EndSilentInstanceIfEmpty();
    return 0;
}

void SuspendOverlays() {
    for (PreviewWindow& preview : App.previewList) {
        if (IsOpen(preview)) SuspendOverlay(&preview.overlay);
    }
}

void CloseAllPreviews() {
    if (HasSetting(SETTINGS_SILENT_MODE)) {
        if (Context.hMainWnd) DestroyWindow(Context.hMainWnd);
        return;
    }
    for (PreviewWindow& preview : App.previewList)
        ClosePreview(&preview);
}

bool RequireComposition() {
    if (CompositionEnabled()) return true;
    CloseAllPreviews();
    ProgramMessageBox(IDS_COMPOSITION_REQUIRED, COMPOSITION_BOX_STYLE);
    return false;
}

void ShowOptions() {
    SuspendOverlays();
    if (Context.hOptionsDialog && IsWindow(Context.hOptionsDialog)) {
        BringWindowToFront(Context.hOptionsDialog);
        return;
    }
    if (RunOptionsDialog() != 0) ApplyOptions();
    for (PreviewWindow& preview : App.previewList) {
        if (IsOpen(preview)) ResumeOverlay(&preview.overlay);
    }
}

LRESULT OnPreviewClosed() {
    EndSilentInstanceIfEmpty();
    return 0;
}

} // namespace lumetta
