// dwm_selftest: the stand-in compositor on the rig's desktop, where its pictures are really drawn,
// its record really written by several processes and its switches really seen across them.
//   tools/desktop-run -- wine build/win64/rig/dwm_selftest.exe [--gtest_filter=...]
// It loads the stand-in dwmapi.dll beside it. `dwm_selftest --writer N` is the second process
// the record's check starts: it makes N calls and ends.
#include "selftest_win.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace selftest {
namespace {

Desk g_desk;

// Made once for all suites: a fixture takes a while to start.
class DeskEnvironment : public testing::Environment {
    void SetUp() override {
        g_desk.source = e2e::StartFixture(600, 100, 256, 256, L"--style overlapped --fps 50");
        ASSERT_TRUE(g_desk.source.hwnd);
        RECT wr;
        GetWindowRect(g_desk.source.hwnd, &wr);
        g_desk.clientOffset = POINT{600 - wr.left, 100 - wr.top};
        cover_ = std::make_unique<e2e::OwnWindow>(wr, WS_EX_TOPMOST);
        dest_ = std::make_unique<e2e::OwnWindow>(RECT{40, 60, 440, 360});
        g_desk.cover = cover_->Get();
        g_desk.dest = dest_->Get();
        g_desk.destChild = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 390, 0, 10, 10,
                                           g_desk.dest, nullptr, nullptr, nullptr);
        ASSERT_TRUE(g_desk.cover && g_desk.dest && g_desk.destChild);
    }
    std::unique_ptr<e2e::OwnWindow> cover_, dest_;
};

} // namespace

const Desk& TheDesk() {
    return g_desk;
}

} // namespace selftest

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--writer") == 0) {
        BOOL on = FALSE;
        for (int i = std::atoi(argv[2]); i > 0; --i)
            DwmIsCompositionEnabled(&on);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new selftest::DeskEnvironment);
    return RUN_ALL_TESTS();
}
