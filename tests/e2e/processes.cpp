#include "processes.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/base/constants.h"
#include "app/base/handoff.h"
#include "fixtures.h"
#include "window.h"

namespace e2e {

bool Process::Running() const {
    return handle && WaitForSingleObject(handle.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitExit(DWORD timeoutMs) {
    DWORD code = 0;
    if (!handle || !WaitUntil([&] { return !Running(); }, timeoutMs) ||
        !GetExitCodeProcess(handle.Get(), &code))
        return std::nullopt;
    return code;
}

void Process::Kill() {
    if (!Running()) return;
    TerminateProcess(handle.Get(), 0xDEAD);
    WaitForSingleObject(handle.Get(), 5000);
}

Process Start(const std::wstring& exe, const std::wstring& args) {
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // A start the system refuses is the rig's trouble, not the program's: say why, and try again
    // a few times before the test sees it.
    for (int attempt = 0;
         attempt < 3 && !CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &info);
         ++attempt) {
        std::fprintf(stderr, "driver: CreateProcess(%s) failed with error %lu\n",
                     Utf8(line).c_str(), GetLastError());
        WaitUntil([] { return false; }, 100);
    }
    const lumetta::OwnedHandle thread(info.hThread);
    Process process;
    process.handle.Reset(info.hProcess);
    process.pid = info.dwProcessId;
    return process;
}

Process StartLumetta(const std::wstring& args) {
    return Start(LumettaExe(), args);
}

Process StartRig(const wchar_t* exe, const std::wstring& args) {
    return Start(RigPath(exe), args);
}

std::vector<DWORD> LumettaProcesses() {
    std::vector<DWORD> pids;
    const lumetta::OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.Get() == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32FirstW(snapshot.Get(), &entry); ok;
         ok = Process32NextW(snapshot.Get(), &entry))
        if (_wcsicmp(entry.szExeFile, L"lumetta.exe") == 0) pids.push_back(entry.th32ProcessID);
    return pids;
}

void KillAllLumetta() {
    for (DWORD pid : LumettaProcesses()) {
        const lumetta::OwnedHandle h(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (!h) continue;
        TerminateProcess(h.Get(), 0xDEAD);
        WaitForSingleObject(h.Get(), 5000);
    }
    WaitUntil([] { return LumettaProcesses().empty(); }, kExitTimeoutMs);
}

static uint64_t TimeValue(const FILETIME& t) {
    return uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime;
}

uint64_t SystemTimeNow() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return TimeValue(now);
}

uint64_t ExitTimeOf(const Process& process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process.handle.Get(), &created, &exited, &kernel, &user)) return 0;
    return TimeValue(exited);
}

HWND MainWindowOf(DWORD pid, DWORD timeoutMs) {
    return WaitWindow(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE, timeoutMs, pid);
}

Instance StartInstance(const std::wstring& args) {
    Instance instance;
    instance.process = StartLumetta(args);
    instance.main = MainWindowOf(instance.process.pid);
    if (!instance.main) ADD_FAILURE() << "no main window after lumetta " << Utf8(args);
    return instance;
}

std::vector<HWND> Previews(DWORD pid) {
    std::vector<HWND> shown;
    for (HWND h : FindTopLevel(lumetta::PREVIEW_WINDOW_CLASS, nullptr, pid))
        if (IsWindowVisible(h)) shown.push_back(h);
    return shown;
}

HWND WaitNewPreview(DWORD pid, const std::vector<HWND>& before, DWORD timeoutMs) {
    return WaitFor(
        [&] {
            for (HWND h : Previews(pid))
                if (std::find(before.begin(), before.end(), h) == before.end()) return h;
            return HWND{};
        },
        timeoutMs);
}

std::optional<LRESULT> HandOff(HWND main, HWND source, const RECT& selection, DWORD timeoutMs) {
    const auto bytes = lumetta::EncodeHandOffRecord(lumetta::MakeHandOffRecord(
        uint32_t(reinterpret_cast<uintptr_t>(source)),
        {selection.left, selection.top, selection.right, selection.bottom}));
    return SendCopyData(main, lumetta::HANDOFF_TAG, bytes.data(), DWORD(bytes.size()), timeoutMs);
}

HWND OpenByHandOff(const Instance& instance, HWND source, const RECT& selection) {
    const std::vector<HWND> before = Previews(instance.process.pid);
    const auto answer = HandOff(instance.main, source, selection);
    return answer && *answer ? WaitNewPreview(instance.process.pid, before) : nullptr;
}

Selection StartSelection(const std::wstring& args) {
    Selection s;
    s.process = StartLumetta(args);
    s.window = WaitWindow(lumetta::SELECTION_WINDOW_CLASS, lumetta::APP_TITLE, kWindowTimeoutMs,
                          s.process.pid);
    // A user's first click comes after the window has become the active one: under load Wine
    // sometimes drops a click that arrives while it is still activating the window.
    if (s.window &&
        !WaitUntil([&] { return IsWindowVisible(s.window) && GetForegroundWindow() == s.window; },
                   kWindowTimeoutMs)) {
        s.window = nullptr;
    }
    if (!s.window) ADD_FAILURE() << "no selection window in the foreground";
    return s;
}

namespace {

// Wine answers GetGuiResources with 0. Its GDI handles live in a table of the process itself,
// which the process's PEB points to (GdiSharedHandleTable, as on Windows); a live entry has a
// non-zero type byte. Read from outside, that counts the process's GDI objects.
constexpr size_t kPebGdiTableOffset64 = 0xF8;
constexpr size_t kGdiEntryBytes = 24;
constexpr size_t kGdiEntryTypeOffset = 14;
constexpr size_t kGdiMaxHandles = 0x10000;

DWORD GdiObjectsFromHandleTable(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    void* table = nullptr;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                  nullptr) != 0 ||
        !ReadProcessMemory(process,
                           static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) +
                               kPebGdiTableOffset64,
                           &table, sizeof(table), nullptr) ||
        !table)
        return 0;
    std::vector<uint8_t> entries(kGdiMaxHandles * kGdiEntryBytes);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr)) return 0;
    DWORD count = 0;
    for (size_t i = 0; i < kGdiMaxHandles; ++i)
        count += entries[i * kGdiEntryBytes + kGdiEntryTypeOffset] != 0;
    return count;
}

DWORD WindowsOfProcess(DWORD pid) {
    DWORD count = 0;
    for (HWND hwnd : FindTopLevel(nullptr, nullptr, pid)) {
        ++count;
        EnumChildWindows(
            hwnd,
            [](HWND, LPARAM lp) -> BOOL {
                ++*reinterpret_cast<DWORD*>(lp);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

} // namespace

GuiCounts ProcessCounts(DWORD pid) {
    GuiCounts counts;
    const lumetta::OwnedHandle h(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_MEMORY_COUNTERS memory{};
    if (!h || !GetProcessMemoryInfo(h.Get(), &memory, sizeof(memory))) return counts;
    counts.gdi = GdiObjectsFromHandleTable(h.Get());
    counts.user = WindowsOfProcess(pid);
    counts.privateBytes = memory.WorkingSetSize;
    return counts;
}

} // namespace e2e
