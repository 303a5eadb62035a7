#include "select/gdiplus_win.h"

namespace lumetta {

GdiplusApi Gdip;

GdiplusSession::GdiplusSession() : module_(LoadSystemLibrary(L"gdiplus.dll")) {
    if (!module_) return;
    bool complete = true;
#define LUMETTA_GDIPLUS_RESOLVE(scope, name)                                                       \
    Gdip.name = ProcAddress<decltype(Gdip.name)>(module_.Get(), #name);                            \
    complete = complete && Gdip.name != nullptr;
    LUMETTA_GDIPLUS_FUNCTIONS(LUMETTA_GDIPLUS_RESOLVE)
#undef LUMETTA_GDIPLUS_RESOLVE
    if (!complete) {
        Gdip = GdiplusApi{};
        return;
    }
    Gdiplus::GdiplusStartupInput input;
    Gdip.GdiplusStartup(&token_, &input, nullptr);
    open_ = true;
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdip.GdiplusShutdown(token_);
    Gdip = GdiplusApi{};
}

} // namespace lumetta
