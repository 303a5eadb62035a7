// What the stand-in learns from the system about real windows (their kind and process), its
// switches set by dwmctl in another process and seen in this one, and its record written by
// several processes at once.
#include "selftest_win.h"

#include <map>
#include <string>
#include <vector>

namespace selftest {
namespace {

HWND Source() {
    return TheDesk().source.hwnd;
}
HWND Dest() {
    return TheDesk().dest;
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
        {"a child as destination", TheDesk().destChild, Source(), E_INVALIDARG},
        {"another process's destination", Source(), Dest(), E_INVALIDARG},
        {"a child as source", Dest(), TheDesk().destChild, E_INVALIDARG},
        {"the destination as source", Dest(), Dest(), E_INVALIDARG},
        {"the desktop as source", Dest(), GetDesktopWindow(), E_INVALIDARG},
        {"no window as source", Dest(), reinterpret_cast<HWND>(uintptr_t{0x7ff0123}), E_INVALIDARG},
        {"another window of this process as source", Dest(), TheDesk().cover, S_OK},
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
