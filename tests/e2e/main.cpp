// Entry of the end-to-end test program. It runs inside tools/desktop-run, which provides the
// desktop, the prefix and the LUMETTA_* variables.
#include <cstdio>

#include "e2e.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (e2e::LumettaExe().empty()) {
        std::fprintf(stderr, "lumetta_e2e: run me through tools/desktop-run\n");
        return 2;
    }
    const int rc = RUN_ALL_TESTS();
    e2e::KillAllLumetta();
    return rc;
}
