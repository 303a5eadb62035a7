// Processes on the rig's desktop: started, waited for and ended by the driver, lumetta.exe's own
// found by name, another's exit time and what it holds read from outside; and lumetta.exe in its
// roles.
#pragma once

#include "rig.h"

#include "app/base/handles_win.h"

namespace e2e {

struct Process {
    lumetta::OwnedHandle handle;
    DWORD pid = 0;
    Process() = default;
    Process(Process&&) = default;
    Process& operator=(Process&&) = default;
    ~Process() { Kill(); } // a failed test leaves nothing running
    bool Running() const;
    std::optional<DWORD> WaitExit(DWORD timeoutMs = kExitTimeoutMs);
    void Kill();
};

// Starts exe with the given argument string (the program path is quoted in front of it).
Process Start(const std::wstring& exe, const std::wstring& args);
Process StartLumetta(const std::wstring& args);
Process StartRig(const wchar_t* exe, const std::wstring& args);

std::vector<DWORD> LumettaProcesses();
// Ends every lumetta.exe on the desktop, so tests stay independent.
void KillAllLumetta();

// System time in 100 ns units, as GetProcessTimes reports it; when an ended process ended.
uint64_t SystemTimeNow();
uint64_t ExitTimeOf(const Process& process);

// What another process holds: GDI objects, windows and memory, counted from outside as Wine
// allows (it has no GetGuiResources and reports no private bytes).
struct GuiCounts {
    DWORD gdi = 0;
    DWORD user = 0; // the process's windows, the USER objects a program can leak by the thousand
    SIZE_T privateBytes = 0; // the working set: Wine reports no private bytes
};
GuiCounts ProcessCounts(DWORD pid);

// ---- lumetta.exe in its roles: a main instance with its previews, a selection process, and
// hand-offs sent to the main window from this process as a selection process sends them. A start
// whose window does not come up fails the test.
constexpr DWORD kPreviewTimeoutMs = 10000;

struct Instance {
    Process process;
    HWND main = nullptr;
};

HWND MainWindowOf(DWORD pid, DWORD timeoutMs = kWindowTimeoutMs);
// A main instance started with args (by default one that waits for a hand-off, which starts
// even in silent mode), once its window is there.
Instance StartInstance(const std::wstring& args = L"-startup -wait");

// The visible previews of a process, and one that is not among those before.
std::vector<HWND> Previews(DWORD pid);
HWND WaitNewPreview(DWORD pid, const std::vector<HWND>& before = {},
                    DWORD timeoutMs = kPreviewTimeoutMs);

// Sends the hand-off record; the answer, or none when the main window did not answer in time.
// One whose answer comes only after a modal box runs in a thread (std::async) while this thread
// dismisses the box.
std::optional<LRESULT> HandOff(HWND main, HWND source, const RECT& selection,
                               DWORD timeoutMs = kPreviewTimeoutMs);
// Hands a selection to the instance and returns the preview it opened (null if none).
HWND OpenByHandOff(const Instance& instance, HWND source, const RECT& selection);

struct Selection {
    Process process;
    HWND window = nullptr; // visible and in the foreground, or null
};
Selection StartSelection(const std::wstring& args = L"");

} // namespace e2e
