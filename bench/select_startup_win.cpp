// Start-up benchmark of the selection process, run on the rig's desktop: the time from starting
// lumetta.exe (no arguments: a selection) until its selection window is on the screen with its
// first frame, against the time a trivial Win32 program (select_trivial.exe, beside this one)
// takes to show one painted window, in the same prefix and in alternating rounds. The selection
// window pushes its first frame while it is created, before it becomes visible, so "visible" is
// the moment its first frame can be seen.
//
//   select_startup.exe [ROUNDS]      prints the medians and their ratio
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr int kWarmUpRounds = 2;
constexpr WPARAM kSelectCancelCommand = 9700; // what Escape gives the selection window

double NowMs() {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

struct Found {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* title; // null: any
    HWND hwnd;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<Found*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid || !IsWindowVisible(hwnd)) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (lstrcmpW(name, f->className) != 0) return TRUE;
    if (f->title) {
        wchar_t title[64] = {};
        InternalGetWindowText(hwnd, title, 64);
        if (lstrcmpW(title, f->title) != 0) return TRUE;
    }
    f->hwnd = hwnd;
    return FALSE;
}

struct Started {
    PROCESS_INFORMATION info{};
    bool ok = false;
};

Started Start(const std::wstring& exe) {
    Started s;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    s.ok = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &s.info) != FALSE;
    return s;
}

// Milliseconds from the start of exe until a visible window of the class (and title) exists in
// it; then ends it with the message given and waits for its exit. Negative on failure.
double TimeToWindow(const std::wstring& exe, const wchar_t* className, const wchar_t* title,
                    UINT endMessage, WPARAM endWParam) {
    const double t0 = NowMs();
    Started s = Start(exe);
    if (!s.ok) return -1;
    Found f{s.info.dwProcessId, className, title, nullptr};
    const double deadline = t0 + kTimeoutMs;
    double t1 = -1;
    while (NowMs() < deadline) {
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
        if (f.hwnd) {
            t1 = NowMs();
            break;
        }
        Sleep(1);
    }
    if (f.hwnd) PostMessageW(f.hwnd, endMessage, endWParam, 0);
    if (WaitForSingleObject(s.info.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(s.info.hProcess, 1);
    CloseHandle(s.info.hThread);
    CloseHandle(s.info.hProcess);
    return t1 < 0 ? -1 : t1 - t0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::wstring BesideThisProgram(const wchar_t* file) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + file;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
    wchar_t lumetta[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"LUMETTA_EXE", lumetta, MAX_PATH)) {
        std::fprintf(stderr, "select_startup: run me through tools/desktop-run\n");
        return 2;
    }
    const std::wstring trivial = BesideThisProgram(L"select_trivial.exe");
    std::vector<double> trivialMs, selectionMs;
    for (int round = 0; round < kWarmUpRounds + rounds; ++round) {
        // Alternate the order so that neither always runs right after the other's exit.
        double t = 0, s = 0;
        if (round % 2) {
            t = TimeToWindow(trivial, L"LumettaBenchTrivial", L"painted", WM_CLOSE, 0);
            s = TimeToWindow(lumetta, L"Lumetta_SelectionWnd", nullptr, WM_COMMAND,
                             kSelectCancelCommand);
        } else {
            s = TimeToWindow(lumetta, L"Lumetta_SelectionWnd", nullptr, WM_COMMAND,
                             kSelectCancelCommand);
            t = TimeToWindow(trivial, L"LumettaBenchTrivial", L"painted", WM_CLOSE, 0);
        }
        if (t < 0 || s < 0) {
            std::fprintf(stderr, "select_startup: a window did not appear in round %d\n", round);
            return 1;
        }
        if (round < kWarmUpRounds) continue;
        trivialMs.push_back(t);
        selectionMs.push_back(s);
    }
    const double tm = Median(trivialMs), sm = Median(selectionMs);
    std::printf("rounds %d (after %d warm-up rounds)\n", rounds, kWarmUpRounds);
    std::printf("trivial window shown and painted: median %.1f ms, min %.1f, max %.1f\n", tm,
                *std::min_element(trivialMs.begin(), trivialMs.end()),
                *std::max_element(trivialMs.begin(), trivialMs.end()));
    std::printf("selection window with first frame: median %.1f ms, min %.1f, max %.1f\n", sm,
                *std::min_element(selectionMs.begin(), selectionMs.end()),
                *std::max_element(selectionMs.begin(), selectionMs.end()));
    std::printf("ratio selection / trivial: %.2f\n", sm / tm);
    return 0;
}
