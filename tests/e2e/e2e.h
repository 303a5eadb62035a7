// Shared fixture of the end-to-end tests: every test starts and ends with no lumetta.exe running
// and no stray message box, so tests do not see each other's windows.
#pragma once

#include "app/base/constants.h"
#include "app/base/constants_win.h"
#include "driver.h"

#include <gtest/gtest.h>

class E2eTest : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        // A main instance asked to exit takes its tray icon with it; a killed one may leave it.
        for (HWND main : e2e::FindTopLevel(L"Lumetta_MainWnd", L"Lumetta")) {
            PostMessageW(main, lumetta::WM_INSTANCE_COMMAND, lumetta::CMD_EXIT, 0);
        }
        e2e::WaitNoWindow(L"Lumetta_MainWnd", L"Lumetta", 5000);
        e2e::KillAllLumetta();
        for (const auto& box : e2e::MessageBoxes())
            e2e::DismissMessageBox(box);
    }
};
