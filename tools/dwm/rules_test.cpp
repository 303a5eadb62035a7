#include "tools/dwm/rules.h"

#include <gtest/gtest.h>

#include "tools/dwm/constants.h"

namespace dwmrig {
namespace {

// Which window is which is gathered from the system, so dwm_selftest checks those facts with real
// windows; here, the order of the rules and the refusal mark.
TEST(RegisterResult, FollowsTheDocumentedRulesInOrder) {
    const struct {
        const char* what;
        bool outPointer, compositionOn, sameWindow;
        uint64_t refuseMark;
        int32_t hr;
    } cases[] = {
        {"valid", true, true, false, 0, HR_OK},
        {"no out pointer", false, true, false, 0, HR_E_INVALIDARG},
        {"composition off", true, false, false, 0, HR_DWM_E_COMPOSITIONDISABLED},
        {"bad arguments before composition", true, false, true, 0, HR_E_INVALIDARG},
        {"composition before refusal", true, false, false, 0x80070005,
         HR_DWM_E_COMPOSITIONDISABLED},
        {"refused, plain mark", true, true, false, 1, HR_E_INVALIDARG},
        {"refused with its HRESULT", true, true, false, 0x80070005, HR_E_ACCESSDENIED},
        {"refused, more than 32 bits", true, true, false, 0x180004005ull, HR_E_INVALIDARG},
    };
    for (const auto& c : cases) {
        RegisterFacts f;
        f.destinationWindow = f.destinationTopLevel = f.destinationOwnProcess = true;
        f.sourceWindow = f.sourceTopLevel = true;
        f.outPointer = c.outPointer;
        f.compositionOn = c.compositionOn;
        f.sameWindow = c.sameWindow;
        f.refuseMark = c.refuseMark;
        EXPECT_EQ(RegisterResult(f), c.hr) << c.what;
    }
}

TEST(AttributeResult, GetAndSet) {
    const struct {
        bool set, window;
        uint32_t attribute;
        bool pointer;
        uint32_t size;
        int32_t hr;
    } cases[] = {
        {false, true, 9, true, 16, HR_OK},          // extended frame bounds
        {false, true, 9, true, 8, HR_E_INVALIDARG}, // short buffer
        {false, false, 9, true, 16, HR_E_HANDLE},
        {false, true, 14, true, 4, HR_OK}, // cloaked
        {false, true, 14, true, 16, HR_E_INVALIDARG},
        {false, true, 14, false, 4, HR_E_INVALIDARG}, // no buffer
        {false, true, 33, true, 4, HR_E_NOTIMPL},     // the rest as Wine
        {false, false, 5, true, 16, HR_E_NOTIMPL},    // before the handle is looked at
        {true, true, 33, true, 4, HR_OK},             // corner preference
        {true, true, 38, true, 4, HR_OK},             // the last settable one
        {true, true, 33, true, 8, HR_E_INVALIDARG},
        {true, true, 33, false, 4, HR_E_INVALIDARG},
        {true, false, 33, true, 4, HR_E_HANDLE},
        {true, true, 37, true, 4, HR_E_INVALIDARG}, // read-only
    };
    for (const auto& c : cases) {
        const int32_t hr = c.set ? SetAttributeResult(c.window, c.attribute, c.pointer, c.size)
                                 : GetAttributeResult(c.window, c.attribute, c.pointer, c.size);
        EXPECT_EQ(hr, c.hr) << (c.set ? "set " : "get ") << c.attribute << " size " << c.size;
    }
}

} // namespace
} // namespace dwmrig
