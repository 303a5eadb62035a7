// dwm_selftest: the stand-in compositor on the rig's desktop, where what it learns about real
// windows, its switches set from another process and its record written by several processes at
// once are what the end-to-end tests rely on without seeing; its pictures are seen by every
// scenario's screenshots, and its pure parts have host tests.
//   tools/desktop-run -- wine build/win64/rig/dwm_selftest.exe [--gtest_filter=...]
// It loads the stand-in dwmapi.dll beside it. `dwm_selftest --writer N` is the second process
// the record's check starts: it makes N calls and ends.
#include <windows.h>
#include <dwmapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "tools/dwm/control.h"
#include "tools/dwm/record.h"

namespace selftest {
namespace {

// A fixture in another process; a destination window of this process with a child, and another
// window of this process.
struct Desk {
    e2e::Fixture source;
    HWND other = nullptr, dest = nullptr, destChild = nullptr;
};
Desk g_desk;

// Made once for all suites: a fixture takes a while to start.
class DeskEnvironment : public testing::Environment {
    void SetUp() override {
        g_desk.source = e2e::StartFixture(600, 100, 256, 256, L"--style overlapped");
        ASSERT_TRUE(g_desk.source.hwnd);
        other_ = std::make_unique<e2e::OwnWindow>();
        dest_ = std::make_unique<e2e::OwnWindow>(RECT{40, 60, 440, 360});
        g_desk.other = other_->Get();
        g_desk.dest = dest_->Get();
        g_desk.destChild = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 390, 0, 10, 10,
                                           g_desk.dest, nullptr, nullptr, nullptr);
        ASSERT_TRUE(g_desk.other && g_desk.dest && g_desk.destChild);
    }
    std::unique_ptr<e2e::OwnWindow> other_, dest_;
};

HWND Source() {
    return g_desk.source.hwnd;
}
HWND Dest() {
    return g_desk.dest;
}

// The registration's answer; a failed one must leave the handle null.
HRESULT Register(HWND dest, HWND source) {
    auto t = reinterpret_cast<HTHUMBNAIL>(1);
    const HRESULT hr = DwmRegisterThumbnail(dest, source, &t);
    if (FAILED(hr)) return t ? E_UNEXPECTED : hr;
    return DwmUnregisterThumbnail(t) == S_OK ? hr : E_UNEXPECTED;
}

TEST(Answers, RegistrationsOfRealWindows) {
    const struct {
        const char* what;
        HWND dest, source;
        HRESULT hr;
    } cases[] = {
        {"a child as destination", g_desk.destChild, Source(), E_INVALIDARG},
        {"another process's destination", Source(), Dest(), E_INVALIDARG},
        {"a child as source", Dest(), g_desk.destChild, E_INVALIDARG},
        {"the destination as source", Dest(), Dest(), E_INVALIDARG},
        {"the desktop as source", Dest(), GetDesktopWindow(), E_INVALIDARG},
        {"no window as source", Dest(), reinterpret_cast<HWND>(uintptr_t{0x7ff0123}), E_INVALIDARG},
        {"another window of this process as source", Dest(), g_desk.other, S_OK},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Register(c.dest, c.source), c.hr) << c.what;
}

bool CompositionSeen() {
    BOOL on = FALSE;
    return DwmIsCompositionEnabled(&on) == S_OK && on;
}

DWORD CloakSeen() {
    DWORD value = 0xFFFFFFFF;
    DwmGetWindowAttribute(Source(), DWMWA_CLOAKED, &value, sizeof value);
    return value;
}

// dwmctl sets each switch with control.h in a process of its own; this one sees it.
TEST(Switches, SetByDwmctlAreSeenHere) {
    const std::string source = e2e::HandleText(Source());
    const struct {
        std::string args;
        DWORD exitCode;
        bool (*seen)();
    } cases[] = {
        {"cloak " + source + " 6", 0, [] { return CloakSeen() == 6; }},
        {"cloak " + source + " 0", 0, [] { return CloakSeen() == 0; }},
        {"refuse " + source, 0, [] { return Register(Dest(), Source()) == E_INVALIDARG; }},
        {"refuse " + source + " 80070005", 0,
         [] { return Register(Dest(), Source()) == E_ACCESSDENIED; }},
        {"refuse " + source + " off", 0, [] { return Register(Dest(), Source()) == S_OK; }},
        {"composition off", 0, [] { return !CompositionSeen(); }},
        {"composition on", 0, CompositionSeen},
        {"cloak 0x7ff0123 1", 1, nullptr}, // no such window
        {"cloak zz 1", 2, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(e2e::StartRig(L"dwmctl.exe", e2e::Wide(c.args)).WaitExit(), c.exitCode) << c.args;
        EXPECT_TRUE(!c.seen || e2e::WaitUntil(c.seen, 2000)) << c.args;
    }
    dwmrig::SetComposition(true);
}

TEST(Record, WritersInSeveralProcessesLoseNoLine) {
    using dwmrig::RecordField;
    constexpr int WRITERS = 3, CALLS = 300;
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::vector<e2e::Process> writers;
    for (int i = 0; i < WRITERS; ++i)
        writers.push_back(e2e::Start(exe, L"--writer " + std::to_wstring(CALLS)));
    BOOL on = FALSE;
    for (int i = 0; i < CALLS; ++i)
        DwmIsCompositionEnabled(&on);
    for (e2e::Process& w : writers)
        ASSERT_EQ(w.WaitExit(60000), 0u);
    std::map<std::string, int> queries; // by process id
    for (const std::string& line : e2e::DwmRecord()) {
        EXPECT_TRUE(line.back() == '}' && RecordField(line, "tid") &&
                    (RecordField(line, "hr") || RecordField(line, "result")))
            << line;
        if (RecordField(line, "fn") == "DwmIsCompositionEnabled")
            ++queries[RecordField(line, "pid").value_or("")];
    }
    for (const e2e::Process& w : writers)
        EXPECT_EQ(queries[std::to_string(w.pid)], CALLS) << "writer " << w.pid;
}

} // namespace
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
