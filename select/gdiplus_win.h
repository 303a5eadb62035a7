// GDI+, loaded by name only in the selection process, which alone draws with it: no other start of
// the program pays for loading it. The flat functions the hint uses are reached through Gdip.
#pragma once

#include <windows.h>
#include <objidl.h> // GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out
#include <gdiplus.h>

#include "app/base/handles_win.h"

namespace lumetta {

// Every function the program calls, each once here: a member of the same name and type.
#define LUMETTA_GDIPLUS_FUNCTIONS(X)                                                               \
    X(Gdiplus, GdiplusStartup)                                                                     \
    X(Gdiplus, GdiplusShutdown)                                                                    \
    X(Gdiplus::DllExports, GdipCreateFontFamilyFromName)                                           \
    X(Gdiplus::DllExports, GdipGetGenericFontFamilySansSerif)                                      \
    X(Gdiplus::DllExports, GdipDeleteFontFamily)                                                   \
    X(Gdiplus::DllExports, GdipCreateFont)                                                         \
    X(Gdiplus::DllExports, GdipDeleteFont)                                                         \
    X(Gdiplus::DllExports, GdipStringFormatGetGenericTypographic)                                  \
    X(Gdiplus::DllExports, GdipCloneStringFormat)                                                  \
    X(Gdiplus::DllExports, GdipGetStringFormatFlags)                                               \
    X(Gdiplus::DllExports, GdipSetStringFormatFlags)                                               \
    X(Gdiplus::DllExports, GdipSetStringFormatAlign)                                               \
    X(Gdiplus::DllExports, GdipSetStringFormatLineAlign)                                           \
    X(Gdiplus::DllExports, GdipSetStringFormatTrimming)                                            \
    X(Gdiplus::DllExports, GdipDeleteStringFormat)                                                 \
    X(Gdiplus::DllExports, GdipCreateFromHDC)                                                      \
    X(Gdiplus::DllExports, GdipSetCompositingMode)                                                 \
    X(Gdiplus::DllExports, GdipSetTextRenderingHint)                                               \
    X(Gdiplus::DllExports, GdipDeleteGraphics)                                                     \
    X(Gdiplus::DllExports, GdipCreateSolidFill)                                                    \
    X(Gdiplus::DllExports, GdipSetSolidFillColor)                                                  \
    X(Gdiplus::DllExports, GdipDeleteBrush)                                                        \
    X(Gdiplus::DllExports, GdipMeasureString)                                                      \
    X(Gdiplus::DllExports, GdipDrawString)

struct GdiplusApi {
#define LUMETTA_GDIPLUS_MEMBER(scope, name) decltype(&scope::name) name;
    LUMETTA_GDIPLUS_FUNCTIONS(LUMETTA_GDIPLUS_MEMBER)
#undef LUMETTA_GDIPLUS_MEMBER
};

// Filled while a GdiplusSession is open; all null otherwise.
extern GdiplusApi Gdip;

// GDI+ loaded from the system folder and started (version 1, no debug callback, its background
// thread on) for the owner's lifetime, then shut down and unloaded once. Open() is false when the
// library or one of its functions is missing; the result of the start itself is not checked:
// without a started GDI+ its calls simply fail.
class GdiplusSession {
public:
    GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession();
    bool Open() const { return open_; }

private:
    OwnedModule module_;
    ULONG_PTR token_ = 0;
    bool open_ = false;
};

} // namespace lumetta
