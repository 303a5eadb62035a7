#include "preview/preview_win.h"

#include "app/constants.h"

namespace lumetta {

bool CreatePreview(PreviewWindow*, HWND, const RECT*) {
    // The preview window itself is being built; until then no preview can open.
    return false;
}

void ClosePreview(PreviewWindow* preview) {
    if (preview->thumbnail) {
        DwmUnregisterThumbnail(preview->thumbnail);
        preview->thumbnail = nullptr;
    }
    if (preview->hwnd) DestroyWindow(preview->hwnd);
}

} // namespace lumetta
