// The first pass of the bar's picture: key colours drawn with plain GDI into a memory bitmap.
#pragma once

#include <windows.h>

#include "overlay/overlay_win.h"

namespace lumetta {

void DrawOverlay(const PreviewOverlay* overlay, HDC dc);
void DrawOverlayButton(const PreviewOverlay* overlay, HDC dc, OverlayButton slot,
                       const RECT& button, bool hot, bool pressed);

} // namespace lumetta
