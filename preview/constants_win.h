// Win32 values of the preview windows: the frame's corners and the thumbnail's properties.
#pragma once

#include <windows.h>
#include <dwmapi.h>

namespace lumetta {

// Corner preference of the frame on Windows 11; older systems ignore the attribute. The SDK
// names, which this SDK's headers lack.
constexpr DWORD DWMWA_WINDOW_CORNER_PREFERENCE = 33;
constexpr DWORD DWMWCP_DONOTROUND = 1;
constexpr DWORD DWMWCP_ROUNDSMALL = 3;

// Every property but the opacity, which is left as it is.
constexpr DWORD THUMBNAIL_PROPERTY_FLAGS =
    DWM_TNP_RECTDESTINATION | DWM_TNP_RECTSOURCE | DWM_TNP_VISIBLE | DWM_TNP_SOURCECLIENTAREAONLY;
static_assert(THUMBNAIL_PROPERTY_FLAGS == 0x1B);
constexpr BYTE THUMBNAIL_OPACITY = 255;

} // namespace lumetta
