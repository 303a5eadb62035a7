#include "e2e.h"

using namespace e2e;

// The rig starts the real program and reads its exit code.
TEST_F(E2eTest, ProgramStartsAndEnds) {
    auto code = RunLumetta(L"");
    ASSERT_TRUE(code.has_value()) << "lumetta.exe did not end";
    EXPECT_EQ(*code, 0u);
}
