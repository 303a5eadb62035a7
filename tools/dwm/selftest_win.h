// What the suites of dwm_selftest share: the desk they draw on and a few helpers. The self-test
// checks only what needs the real desktop; the stand-in's pure parts have host tests.
#pragma once

#include <windows.h>
#include <dwmapi.h>

#include <gtest/gtest.h>

#include "driver.h"
#include "tools/dwm/control.h"
#include "tools/dwm/record.h"

namespace selftest {

inline constexpr COLORREF BACKGROUND = RGB(128, 128, 128); // e2e::OwnWindow paints itself grey
inline constexpr RECT DEST_CLIENT{0, 0, 400, 300};

// A framed fixture in another process (client pixel (x, y) is red x, green y, blue the frame),
// covered by a window of this process; and a destination window of this process, with a child.
struct Desk {
    e2e::Fixture source;
    HWND cover = nullptr, dest = nullptr, destChild = nullptr;
    POINT clientOffset{}; // where the source's client area starts in its window
};
const Desk& TheDesk();

inline COLORREF Pixel(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

inline DWM_THUMBNAIL_PROPERTIES Props(RECT dest, RECT source, bool clientOnly = true,
                                      BYTE opacity = 255) {
    return {DWM_TNP_RECTDESTINATION | DWM_TNP_RECTSOURCE | DWM_TNP_OPACITY | DWM_TNP_VISIBLE |
                DWM_TNP_SOURCECLIENTAREAONLY,
            dest,
            source,
            opacity,
            TRUE,
            clientOnly};
}

// A registration that ends with its scope.
struct Thumb {
    HTHUMBNAIL h = nullptr;
    Thumb(HWND dest, HWND source) { EXPECT_EQ(DwmRegisterThumbnail(dest, source, &h), S_OK); }
    ~Thumb() {
        if (h) DwmUnregisterThumbnail(h);
    }
    Thumb(const Thumb&) = delete;
    Thumb& operator=(const Thumb&) = delete;
};

} // namespace selftest
