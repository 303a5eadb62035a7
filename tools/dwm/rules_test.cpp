#include "tools/dwm/rules.h"

#include <gtest/gtest.h>

#include "tools/dwm/constants.h"

namespace dwmrig {
namespace {

RegisterFacts Valid() {
    RegisterFacts f;
    f.outPointer = f.destinationWindow = f.destinationTopLevel = f.destinationOwnProcess = true;
    f.sourceWindow = f.sourceTopLevel = true;
    return f;
}

struct RegisterCase {
    const char* what;
    void (*change)(RegisterFacts&);
    int32_t hr;
};

class RegisterResultTest : public testing::TestWithParam<RegisterCase> {};

TEST_P(RegisterResultTest, FollowsTheDocumentedRules) {
    RegisterFacts f = Valid();
    GetParam().change(f);
    EXPECT_EQ(RegisterResult(f), GetParam().hr) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterResultTest,
    testing::Values(
        RegisterCase{"valid", [](RegisterFacts&) {}, HR_OK},
        RegisterCase{"no out pointer", [](RegisterFacts& f) { f.outPointer = false; },
                     HR_E_INVALIDARG},
        RegisterCase{"destination not a window",
                     [](RegisterFacts& f) { f.destinationWindow = false; }, HR_E_INVALIDARG},
        RegisterCase{"destination a child window",
                     [](RegisterFacts& f) { f.destinationTopLevel = false; }, HR_E_INVALIDARG},
        RegisterCase{"destination of another process",
                     [](RegisterFacts& f) { f.destinationOwnProcess = false; }, HR_E_INVALIDARG},
        RegisterCase{"source not a window", [](RegisterFacts& f) { f.sourceWindow = false; },
                     HR_E_INVALIDARG},
        RegisterCase{"source a child window", [](RegisterFacts& f) { f.sourceTopLevel = false; },
                     HR_E_INVALIDARG},
        RegisterCase{"source is the destination", [](RegisterFacts& f) { f.sameWindow = true; },
                     HR_E_INVALIDARG},
        RegisterCase{"composition off", [](RegisterFacts& f) { f.compositionOn = false; },
                     HR_DWM_E_COMPOSITIONDISABLED},
        RegisterCase{"bad arguments win over composition off",
                     [](RegisterFacts& f) {
                         f.compositionOn = false;
                         f.sameWindow = true;
                     },
                     HR_E_INVALIDARG},
        RegisterCase{"refused with a plain mark", [](RegisterFacts& f) { f.refuseMark = 1; },
                     HR_E_INVALIDARG},
        RegisterCase{"refused with E_ACCESSDENIED",
                     [](RegisterFacts& f) { f.refuseMark = 0x80070005; }, HR_E_ACCESSDENIED}));

TEST(RefusalResult, FailureHresultsPassOthersBecomeInvalidArg) {
    EXPECT_EQ(RefusalResult(0x80004005), static_cast<int32_t>(0x80004005));
    EXPECT_EQ(RefusalResult(1), HR_E_INVALIDARG);
    EXPECT_EQ(RefusalResult(0x7fffffff), HR_E_INVALIDARG);
    // Bits above the low 32 mean it was not written as an HRESULT.
    EXPECT_EQ(RefusalResult(0x180004005ull), HR_E_INVALIDARG);
}

struct AttributeCase {
    const char* what;
    bool window;
    uint32_t attribute;
    bool pointer;
    uint32_t size;
    int32_t hr;
};

class GetAttributeResultTest : public testing::TestWithParam<AttributeCase> {};

TEST_P(GetAttributeResultTest, Answers) {
    const AttributeCase& c = GetParam();
    EXPECT_EQ(GetAttributeResult(c.window, c.attribute, c.pointer, c.size), c.hr) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetAttributeResultTest,
    testing::Values(
        AttributeCase{"frame bounds", true, 9, true, 16, HR_OK},
        AttributeCase{"frame bounds, short buffer", true, 9, true, 8, HR_E_INVALIDARG},
        AttributeCase{"frame bounds, no buffer", true, 9, false, 16, HR_E_INVALIDARG},
        AttributeCase{"frame bounds, no window", false, 9, true, 16, HR_E_HANDLE},
        AttributeCase{"cloaked", true, 14, true, 4, HR_OK},
        AttributeCase{"cloaked, BOOL-sized mistake", true, 14, true, 1, HR_E_INVALIDARG},
        AttributeCase{"cloaked, rectangle-sized", true, 14, true, 16, HR_E_INVALIDARG},
        AttributeCase{"cloaked, no window", false, 14, true, 4, HR_E_HANDLE},
        AttributeCase{"other attributes as Wine", true, 1, true, 4, HR_E_NOTIMPL},
        AttributeCase{"corner preference read as Wine", true, 33, true, 4, HR_E_NOTIMPL},
        AttributeCase{"other attribute, no window", false, 5, true, 16, HR_E_NOTIMPL}));

class SetAttributeResultTest : public testing::TestWithParam<AttributeCase> {};

TEST_P(SetAttributeResultTest, Answers) {
    const AttributeCase& c = GetParam();
    EXPECT_EQ(SetAttributeResult(c.window, c.attribute, c.pointer, c.size), c.hr) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetAttributeResultTest,
    testing::Values(
        AttributeCase{"corner preference", true, 33, true, 4, HR_OK},
        AttributeCase{"cloak", true, 13, true, 4, HR_OK},
        AttributeCase{"dark mode", true, 20, true, 4, HR_OK},
        AttributeCase{"backdrop", true, 38, true, 4, HR_OK},
        AttributeCase{"corner preference, wrong size", true, 33, true, 8, HR_E_INVALIDARG},
        AttributeCase{"corner preference, no value", true, 33, false, 4, HR_E_INVALIDARG},
        AttributeCase{"no window", false, 33, true, 4, HR_E_HANDLE},
        AttributeCase{"read-only frame bounds", true, 9, true, 16, HR_E_INVALIDARG},
        AttributeCase{"read-only cloaked", true, 14, true, 4, HR_E_INVALIDARG},
        AttributeCase{"unknown", true, 99, true, 4, HR_E_INVALIDARG},
        AttributeCase{"zero", true, 0, true, 4, HR_E_INVALIDARG}));

TEST(ApplyAppCloak, TouchesOnlyTheAppBit) {
    EXPECT_EQ(ApplyAppCloak(0, true), 1u);
    EXPECT_EQ(ApplyAppCloak(2, true), 3u);
    EXPECT_EQ(ApplyAppCloak(3, false), 2u);
    EXPECT_EQ(ApplyAppCloak(1, false), 0u);
}

} // namespace
} // namespace dwmrig
