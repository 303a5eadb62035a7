#include "rules.h"

#include "constants.h"

namespace dwmrig {

int32_t RefusalResult(uint64_t mark) {
    const auto asHr = static_cast<int32_t>(static_cast<uint32_t>(mark));
    return (mark >> 32) == 0 && asHr < 0 ? asHr : HR_E_INVALIDARG;
}

int32_t RegisterResult(const RegisterFacts& f) {
    if (!f.outPointer) return HR_E_INVALIDARG;
    if (!f.destinationWindow || !f.destinationTopLevel || !f.destinationOwnProcess)
        return HR_E_INVALIDARG;
    if (!f.sourceWindow || !f.sourceTopLevel || f.sameWindow) return HR_E_INVALIDARG;
    if (!f.compositionOn) return HR_DWM_E_COMPOSITIONDISABLED;
    if (f.refuseMark != 0) return RefusalResult(f.refuseMark);
    return HR_OK;
}

bool IsEmulatedGetAttribute(uint32_t attribute) {
    return attribute == DWMWA_EXTENDED_FRAME_BOUNDS_ID || attribute == DWMWA_CLOAKED_ID;
}

int32_t GetAttributeResult(bool window, uint32_t attribute, bool outPointer, uint32_t size) {
    if (!IsEmulatedGetAttribute(attribute)) return HR_E_NOTIMPL;
    if (!window) return HR_E_HANDLE;
    if (!outPointer) return HR_E_INVALIDARG;
    const uint32_t expected =
        attribute == DWMWA_EXTENDED_FRAME_BOUNDS_ID ? RECT_BYTES : DWORD_BYTES;
    return size == expected ? HR_OK : HR_E_INVALIDARG;
}

namespace {

bool IsSettable(uint32_t attribute) {
    for (uint32_t a : SETTABLE_ATTRIBUTES)
        if (a == attribute) return true;
    return false;
}

} // namespace

int32_t SetAttributeResult(bool window, uint32_t attribute, bool valuePointer, uint32_t size) {
    if (!window) return HR_E_HANDLE;
    if (!valuePointer || !IsSettable(attribute) || size != DWORD_BYTES) return HR_E_INVALIDARG;
    return HR_OK;
}

uint32_t ApplyAppCloak(uint32_t mark, bool cloak) {
    return cloak ? (mark | DWM_CLOAKED_APP_BIT) : (mark & ~DWM_CLOAKED_APP_BIT);
}

} // namespace dwmrig
