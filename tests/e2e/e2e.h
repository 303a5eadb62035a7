// Shared fixture of the end-to-end tests: every test starts and ends with no lumetta.exe running
// and no stray message box, so tests do not see each other's windows.
#pragma once

#include "driver.h"

#include <gtest/gtest.h>

class E2eTest : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        e2e::KillAllLumetta();
        for (const auto& box : e2e::MessageBoxes())
            e2e::DismissMessageBox(box);
    }
};
