// The answers DWM gives to the calls the stand-in emulates, decided from plain facts the Win32
// glue gathers. HRESULTs are int32_t here.
#pragma once

#include <cstdint>

namespace dwmrig {

struct RegisterFacts {
    bool outPointer = false;        // phThumbnailId is not null
    bool destinationWindow = false; // hwndDestination is a window
    bool destinationTopLevel = false;
    bool destinationOwnProcess = false; // it belongs to the calling process
    bool sourceWindow = false;
    bool sourceTopLevel = false;
    bool sameWindow = false;
    bool compositionOn = true;
    uint64_t refuseMark = 0; // the source's refuse property; 0 when absent
};

int32_t RegisterResult(const RegisterFacts& facts);

// The HRESULT a refuse mark asks for: its value when that is a failure HRESULT, else E_INVALIDARG.
int32_t RefusalResult(uint64_t mark);

// DwmGetWindowAttribute for the attributes emulated (extended frame bounds, cloaked); Wine's
// E_NOTIMPL for all others.
bool IsEmulatedGetAttribute(uint32_t attribute);
int32_t GetAttributeResult(bool window, uint32_t attribute, bool outPointer, uint32_t size);

// DwmSetWindowAttribute: the attributes a program may set, each with its size.
int32_t SetAttributeResult(bool window, uint32_t attribute, bool valuePointer, uint32_t size);

// DWMWA_CLOAK on a window whose cloak mark is `mark`: the mark afterwards.
uint32_t ApplyAppCloak(uint32_t mark, bool cloak);

} // namespace dwmrig
