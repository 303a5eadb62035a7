#include "tools/dwm/rules.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tools/dwm/constants.h"

namespace dwmrig {
namespace {

// Which window is which is gathered from the system, so dwm_selftest checks those facts with real
// windows; here, the order of the rules and the refusal mark.
TEST(RegisterResult, FollowsTheDocumentedRulesInOrder) {
    // out pointer, composition on, source and destination the same window, refusal mark, answer
    const std::tuple<bool, bool, bool, uint64_t, int32_t> cases[] = {
        {true, true, false, 0, HR_OK},
        {false, true, false, 0, HR_E_INVALIDARG},
        {true, false, false, 0, HR_DWM_E_COMPOSITIONDISABLED},
        {true, false, true, 0, HR_E_INVALIDARG},                        // arguments first
        {true, false, false, 0x80070005, HR_DWM_E_COMPOSITIONDISABLED}, // then composition
        {true, true, false, 1, HR_E_INVALIDARG},                        // a plain mark
        {true, true, false, 0x80070005, HR_E_ACCESSDENIED},             // its own HRESULT
        {true, true, false, 0x180004005ull, HR_E_INVALIDARG},           // more than 32 bits
    };
    for (const auto& [outPointer, compositionOn, sameWindow, refuseMark, hr] : cases) {
        // Real windows of the right kinds; the rest as the case says.
        const RegisterFacts f{outPointer, true,       true,          true,      true,
                              true,       sameWindow, compositionOn, refuseMark};
        EXPECT_EQ(RegisterResult(f), hr) << outPointer << compositionOn << sameWindow << refuseMark;
    }
}

TEST(AttributeResult, GetAndSet) {
    // set, a window, attribute, a pointer, size, answer
    const std::tuple<bool, bool, uint32_t, bool, uint32_t, int32_t> cases[] = {
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
    for (const auto& [set, window, attribute, pointer, size, expected] : cases) {
        const int32_t hr = set ? SetAttributeResult(window, attribute, pointer, size)
                               : GetAttributeResult(window, attribute, pointer, size);
        EXPECT_EQ(hr, expected) << (set ? "set " : "get ") << attribute << " size " << size;
    }
}

} // namespace
} // namespace dwmrig
