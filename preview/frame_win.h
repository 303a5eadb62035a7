// The preview's frame messages: track sizes for the system's sizing loop and, on Windows 10 and
// later, the custom frame with no caption.
#pragma once

#include <windows.h>

#include "preview/preview_win.h"

namespace lumetta {

LRESULT OnGetMinMaxInfo(const PreviewWindow* preview, LPARAM lParam);
LRESULT OnNcCalcSize(const PreviewWindow* preview, HWND hwnd, WPARAM wParam, LPARAM lParam);
LRESULT OnNcActivate(HWND hwnd, WPARAM wParam, LPARAM lParam);

} // namespace lumetta
