#include "counts.h"

#include <psapi.h>
#include <winternl.h>

#include "app/base/handles_win.h"
#include "window.h"

namespace e2e {
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
        !table) {
        return 0;
    }
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
