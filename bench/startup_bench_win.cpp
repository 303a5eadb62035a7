// Start-up benchmark of the roles that start most often, run on the rig's desktop (bench/run.sh),
// against the start and end of a trivial Win32 program (preview_trivial.exe) in the same prefix
// and in alternating rounds:
//   - a messenger: "lumetta -startup" with a main instance running (what every logon, hand-off
//     and second start does), from its start to its exit;
//   - the main instance: "lumetta -startup" with none running, from its start to its main window.
//
//   startup_bench.exe [ROUNDS]      prints the medians and their ratios to the trivial program
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/base/constants.h"
#include "bench_support_win.h"

namespace {

constexpr int kWarmUpRounds = 2;

std::wstring BesideThisProgram(const wchar_t* file) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring folder(self);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + file;
}

// Start of a program to its end; negative when it did not end.
double RunMs(const std::wstring& exe, const std::wstring& args) {
    const double start = e2e::NowMs();
    e2e::Process p = e2e::Start(exe, args);
    return p.WaitExit() ? e2e::NowMs() - start : -1;
}

HWND MainWindowOf(DWORD pid) {
    HWND found = FindWindowExW(nullptr, nullptr, lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE);
    DWORD owner = 0;
    if (found) GetWindowThreadProcessId(found, &owner);
    return owner == pid ? found : nullptr;
}

// Start of a main instance to its main window; the instance is kept in *started.
double MainInstanceMs(e2e::Process* started) {
    const double start = e2e::NowMs();
    *started = e2e::StartLumetta(L"-startup");
    const DWORD pid = started->pid;
    if (!e2e::WaitFine([&] { return MainWindowOf(pid) != nullptr; }, e2e::kWindowTimeoutMs))
        return -1;
    return e2e::NowMs() - start;
}

void PrintFigure(const char* what, const std::vector<double>& ms, double baseline) {
    const double median = bench::Median(ms);
    std::printf("%s: median %.1f ms, min %.1f, max %.1f (x%.2f of the trivial program)\n", what,
                median, *std::min_element(ms.begin(), ms.end()),
                *std::max_element(ms.begin(), ms.end()), median / baseline);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
    const std::wstring trivial = BesideThisProgram(L"preview_trivial.exe");
    e2e::KillAllLumetta();
    std::vector<double> trivialMs, messengerMs, instanceMs;
    for (int round = 0; round < kWarmUpRounds + rounds; ++round) {
        // Alternate the order so that neither always runs right after the other.
        double t = 0, m = 0, i = 0;
        e2e::Process instance;
        if (round % 2) t = RunMs(trivial, L"");
        i = MainInstanceMs(&instance);
        m = RunMs(e2e::LumettaExe(), L"-startup");
        if (round % 2 == 0) t = RunMs(trivial, L"");
        RunMs(e2e::LumettaExe(), L"-exit");
        const bool ended = instance.WaitExit().has_value();
        if (t < 0 || m < 0 || i < 0 || !ended) {
            std::fprintf(stderr, "startup_bench: a start or an exit failed in round %d\n", round);
            return 1;
        }
        if (round < kWarmUpRounds) continue;
        trivialMs.push_back(t);
        messengerMs.push_back(m);
        instanceMs.push_back(i);
    }
    const double baseline = bench::Median(trivialMs);
    std::printf("rounds %d (after %d warm-up rounds)\n", rounds, kWarmUpRounds);
    std::printf("trivial program, start to end: median %.1f ms\n", baseline);
    PrintFigure("messenger (-startup, instance running), start to end", messengerMs, baseline);
    PrintFigure("main instance (-startup), start to main window", instanceMs, baseline);
    return 0;
}
