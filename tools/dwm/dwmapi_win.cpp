// The stand-in compositor's exports: what a program calls in dwmapi.dll. Thumbnails, composition,
// frame bounds and cloaking are emulated; the rest answers as Wine's own dwmapi does. Every call
// is recorded when LUMETTA_DWM_LOG names a file.
#include <windows.h>
#include <dwmapi.h>

#include <cstring>

#include "constants.h"
#include "control.h"
#include "log_win.h"
#include "mapping.h"
#include "rules.h"
#include "thumbnails_win.h"

using namespace dwmrig;

namespace {

uint64_t HandleBits(const void* h) {
    return reinterpret_cast<uintptr_t>(h);
}

uint64_t ThumbId(HTHUMBNAIL h) {
    return reinterpret_cast<uintptr_t>(h);
}

Rect FromRECT(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

ThumbProps FromProperties(const DWM_THUMBNAIL_PROPERTIES& p) {
    ThumbProps t;
    t.dwFlags = p.dwFlags;
    t.rcDestination = FromRECT(p.rcDestination);
    t.rcSource = FromRECT(p.rcSource);
    t.opacity = p.opacity;
    t.fVisible = p.fVisible;
    t.fSourceClientAreaOnly = p.fSourceClientAreaOnly;
    return t;
}

bool IsTopLevel(HWND hwnd) {
    return GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow();
}

bool OwnProcess(HWND hwnd) {
    DWORD pid = 0;
    return GetWindowThreadProcessId(hwnd, &pid) != 0 && pid == GetCurrentProcessId();
}

HRESULT Finish(Record r, HRESULT hr) {
    WriteRecordLine(EndRecord(std::move(r), hr));
    return hr;
}

// Calls only answered, as Wine answers them: a record line with the window and the result.
HRESULT AnswerForWindow(const char* fn, HWND hwnd, HRESULT hr) {
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord(fn);
    AddHandle(r, "hwnd", HandleBits(hwnd));
    return Finish(std::move(r), hr);
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_THREAD_DETACH) ForgetThread(GetCurrentThreadId());
    return TRUE;
}

HRESULT WINAPI DwmIsCompositionEnabled(BOOL* pfEnabled) {
    const bool on = CompositionOn();
    HRESULT hr = E_INVALIDARG;
    if (pfEnabled) {
        *pfEnabled = on ? TRUE : FALSE;
        hr = S_OK;
    }
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord("DwmIsCompositionEnabled");
    if (pfEnabled)
        AddInt(r, "fEnabled", on ? 1 : 0);
    else
        AddNull(r, "fEnabled");
    return Finish(std::move(r), hr);
}

HRESULT WINAPI DwmEnableComposition(UINT uCompositionAction) {
    // Windows 8 and later ignore it; so does Wine.
    if (!RecordWanted()) return S_OK;
    Record r = BeginCallRecord("DwmEnableComposition");
    AddInt(r, "uCompositionAction", uCompositionAction);
    return Finish(std::move(r), S_OK);
}

HRESULT WINAPI DwmRegisterThumbnail(HWND hwndDestination, HWND hwndSource,
                                    PHTHUMBNAIL phThumbnailId) {
    RegisterFacts f;
    f.outPointer = phThumbnailId != nullptr;
    f.destinationWindow = IsWindow(hwndDestination) != FALSE;
    f.destinationTopLevel = f.destinationWindow && IsTopLevel(hwndDestination);
    f.destinationOwnProcess = f.destinationWindow && OwnProcess(hwndDestination);
    f.sourceWindow = IsWindow(hwndSource) != FALSE;
    f.sourceTopLevel = f.sourceWindow && IsTopLevel(hwndSource);
    f.sameWindow = hwndDestination == hwndSource;
    f.compositionOn = CompositionOn();
    f.refuseMark = f.sourceWindow ? HandleBits(GetPropW(hwndSource, PROP_REFUSE)) : 0;
    HRESULT hr = RegisterResult(f);
    uint64_t id = 0;
    if (SUCCEEDED(hr)) {
        id = AddThumbnail(hwndDestination, hwndSource);
        if (id == 0) hr = E_OUTOFMEMORY;
    }
    if (phThumbnailId) *phThumbnailId = reinterpret_cast<HTHUMBNAIL>(static_cast<uintptr_t>(id));
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord("DwmRegisterThumbnail");
    AddHandle(r, "hwndDestination", HandleBits(hwndDestination));
    AddHandle(r, "hwndSource", HandleBits(hwndSource));
    if (phThumbnailId)
        AddHandle(r, "thumb", id);
    else
        AddNull(r, "thumb");
    return Finish(std::move(r), hr);
}

HRESULT WINAPI DwmUnregisterThumbnail(HTHUMBNAIL hThumbnailId) {
    const HRESULT hr = RemoveThumbnail(ThumbId(hThumbnailId)) ? S_OK : E_INVALIDARG;
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord("DwmUnregisterThumbnail");
    AddHandle(r, "thumb", ThumbId(hThumbnailId));
    return Finish(std::move(r), hr);
}

HRESULT WINAPI DwmUpdateThumbnailProperties(HTHUMBNAIL hThumbnailId,
                                            const DWM_THUMBNAIL_PROPERTIES* ptnProperties) {
    ThumbProps given;
    if (ptnProperties) given = FromProperties(*ptnProperties);
    HWND source;
    bool clientOnly;
    HRESULT hr = S_OK;
    if (!ptnProperties || !ThumbnailSource(ThumbId(hThumbnailId), &source, &clientOnly))
        hr = E_INVALIDARG;
    else if (!CompositionOn())
        hr = HR_DWM_E_COMPOSITIONDISABLED;
    else if (!UpdateThumbnail(ThumbId(hThumbnailId), given))
        hr = E_INVALIDARG; // unregistered meanwhile by another thread
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord("DwmUpdateThumbnailProperties");
    AddHandle(r, "thumb", ThumbId(hThumbnailId));
    AddThumbProps(r, "props", ptnProperties ? &given : nullptr);
    return Finish(std::move(r), hr);
}

HRESULT WINAPI DwmQueryThumbnailSourceSize(HTHUMBNAIL hThumbnail, PSIZE pSize) {
    HWND source = nullptr;
    bool clientOnly = false;
    HRESULT hr = E_INVALIDARG;
    RECT rc{};
    if (pSize && ThumbnailSource(ThumbId(hThumbnail), &source, &clientOnly) &&
        (clientOnly ? GetClientRect(source, &rc) : GetWindowRect(source, &rc))) {
        pSize->cx = rc.right - rc.left;
        pSize->cy = rc.bottom - rc.top;
        hr = S_OK;
    }
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord("DwmQueryThumbnailSourceSize");
    AddHandle(r, "thumb", ThumbId(hThumbnail));
    if (SUCCEEDED(hr))
        AddSize(r, "size", pSize->cx, pSize->cy);
    else
        AddNull(r, "size");
    return Finish(std::move(r), hr);
}

HRESULT WINAPI DwmGetWindowAttribute(HWND hwnd, DWORD dwAttribute, PVOID pvAttribute,
                                     DWORD cbAttribute) {
    const bool window = IsWindow(hwnd) != FALSE;
    HRESULT hr = GetAttributeResult(window, dwAttribute, pvAttribute != nullptr, cbAttribute);
    RECT bounds{};
    DWORD cloaked = 0;
    if (SUCCEEDED(hr) && dwAttribute == DWMWA_EXTENDED_FRAME_BOUNDS_ID) {
        // Wine draws no invisible resize borders: the visible frame is the window rectangle.
        if (GetWindowRect(hwnd, &bounds))
            std::memcpy(pvAttribute, &bounds, sizeof bounds);
        else
            hr = E_HANDLE;
    } else if (SUCCEEDED(hr) && dwAttribute == DWMWA_CLOAKED_ID) {
        cloaked = static_cast<DWORD>(HandleBits(GetPropW(hwnd, PROP_CLOAKED)));
        std::memcpy(pvAttribute, &cloaked, sizeof cloaked);
    }
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord("DwmGetWindowAttribute");
    AddHandle(r, "hwnd", HandleBits(hwnd));
    AddInt(r, "dwAttribute", dwAttribute);
    AddInt(r, "cbAttribute", cbAttribute);
    if (SUCCEEDED(hr) && dwAttribute == DWMWA_EXTENDED_FRAME_BOUNDS_ID)
        AddRect(r, "value", FromRECT(bounds));
    else if (SUCCEEDED(hr))
        AddInt(r, "value", cloaked);
    else
        AddNull(r, "value");
    return Finish(std::move(r), hr);
}

HRESULT WINAPI DwmSetWindowAttribute(HWND hwnd, DWORD dwAttribute, LPCVOID pvAttribute,
                                     DWORD cbAttribute) {
    const HRESULT hr = SetAttributeResult(IsWindow(hwnd) != FALSE, dwAttribute,
                                          pvAttribute != nullptr, cbAttribute);
    DWORD value = 0;
    if (SUCCEEDED(hr)) std::memcpy(&value, pvAttribute, sizeof value);
    if (SUCCEEDED(hr) && dwAttribute == DWMWA_CLOAK_ID) {
        const auto mark = static_cast<DWORD>(HandleBits(GetPropW(hwnd, PROP_CLOAKED)));
        SetCloaked(hwnd, ApplyAppCloak(mark, value != 0));
    }
    if (!RecordWanted()) return hr;
    Record r = BeginCallRecord("DwmSetWindowAttribute");
    AddHandle(r, "hwnd", HandleBits(hwnd));
    AddInt(r, "dwAttribute", dwAttribute);
    AddInt(r, "cbAttribute", cbAttribute);
    if (SUCCEEDED(hr))
        AddInt(r, "value", value);
    else
        AddNull(r, "value");
    return Finish(std::move(r), hr);
}

HRESULT WINAPI DwmFlush() {
    // DWM returns after its next frame; here that frame is drawn now.
    DrawThreadThumbnails();
    if (!RecordWanted()) return S_OK;
    return Finish(BeginCallRecord("DwmFlush"), S_OK);
}

HRESULT WINAPI DwmExtendFrameIntoClientArea(HWND hWnd, const MARGINS* pMarInset) {
    if (!RecordWanted()) return S_OK;
    Record r = BeginCallRecord("DwmExtendFrameIntoClientArea");
    AddHandle(r, "hwnd", HandleBits(hWnd));
    if (pMarInset) {
        AddInt(r, "cxLeftWidth", pMarInset->cxLeftWidth);
        AddInt(r, "cxRightWidth", pMarInset->cxRightWidth);
        AddInt(r, "cyTopHeight", pMarInset->cyTopHeight);
        AddInt(r, "cyBottomHeight", pMarInset->cyBottomHeight);
    } else {
        AddNull(r, "margins");
    }
    return Finish(std::move(r), S_OK);
}

BOOL WINAPI DwmDefWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) {
    // No caption buttons are drawn by the compositor, so it never handles a message.
    static_cast<void>(plResult);
    if (!RecordWanted()) return FALSE;
    Record r = BeginCallRecord("DwmDefWindowProc");
    AddHandle(r, "hwnd", HandleBits(hWnd));
    AddHex32(r, "msg", msg);
    AddHandle(r, "wParam", wParam);
    AddHandle(r, "lParam", static_cast<uint64_t>(lParam));
    WriteRecordLine(EndRecordBool(std::move(r), FALSE));
    return FALSE;
}

HRESULT WINAPI DwmGetColorizationColor(DWORD* pcrColorization, BOOL* pfOpaqueBlend) {
    static_cast<void>(pcrColorization);
    static_cast<void>(pfOpaqueBlend);
    if (!RecordWanted()) return E_NOTIMPL;
    return Finish(BeginCallRecord("DwmGetColorizationColor"), E_NOTIMPL);
}

HRESULT WINAPI DwmEnableBlurBehindWindow(HWND hWnd, const DWM_BLURBEHIND* pBlurBehind) {
    static_cast<void>(pBlurBehind);
    return AnswerForWindow("DwmEnableBlurBehindWindow", hWnd, E_NOTIMPL);
}

HRESULT WINAPI DwmEnableMMCSS(BOOL fEnableMMCSS) {
    if (!RecordWanted()) return S_OK;
    Record r = BeginCallRecord("DwmEnableMMCSS");
    AddInt(r, "fEnableMMCSS", fEnableMMCSS);
    return Finish(std::move(r), S_OK);
}

HRESULT WINAPI DwmInvalidateIconicBitmaps(HWND hwnd) {
    return AnswerForWindow("DwmInvalidateIconicBitmaps", hwnd, E_NOTIMPL);
}

HRESULT WINAPI DwmSetIconicThumbnail(HWND hwnd, HBITMAP hbmp, DWORD dwSITFlags) {
    static_cast<void>(hbmp);
    static_cast<void>(dwSITFlags);
    return AnswerForWindow("DwmSetIconicThumbnail", hwnd, S_OK);
}

HRESULT WINAPI DwmSetIconicLivePreviewBitmap(HWND hwnd, HBITMAP hbmp, POINT* pptClient,
                                             DWORD dwSITFlags) {
    static_cast<void>(hbmp);
    static_cast<void>(pptClient);
    static_cast<void>(dwSITFlags);
    return AnswerForWindow("DwmSetIconicLivePreviewBitmap", hwnd, S_OK);
}

} // extern "C"
