// A preview's DWM thumbnail: registered over the preview's client area, fed from its state.
#pragma once

#include <windows.h>

#include "preview/preview_win.h"

namespace lumetta {

// Hands the preview's state to its DWM thumbnail, registering it first if need be. On failure
// the thumbnail is gone (E_HANDLE: a window is gone; E_FAIL: a rectangle is empty; otherwise the
// DWM call's result).
HRESULT UpdateThumbnail(PreviewWindow* preview);
// Unregisters the thumbnail, if there is one.
void ReleaseThumbnail(PreviewWindow* preview);

} // namespace lumetta
