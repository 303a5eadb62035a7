// Preview benchmark, run on the rig's desktop (bench/run.sh). Every figure is a ratio against a
// baseline measured in the same run:
//   - the main instance's CPU time over an idle stretch with 100 previews against none;
//   - GDI objects, windows and memory of the instance per preview, against the empty instance;
//   - the time from starting "lumetta -preview ..." to its thumbnail's first update (the stand-in
//     compositor records it) against the start of a trivial Win32 program in the same prefix,
//     both as a messenger to a running instance and as a cold start of the instance.
//
//   preview_bench.exe [IDLE_SECONDS] [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "preview_support.h"
#include "tools/dwm/control.h"

namespace {

constexpr int kPreviews = 100;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ReadSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text(4096, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

// User and system time, in milliseconds, of the Unix processes that run this run's lumetta.exe.
// Wine reports no times for other processes, so they are read where the kernel keeps them, in
// /proc (drive Z: is the Unix root); the command line there is the Windows one.
double InstanceCpuMs() {
    const std::string exe = e2e::Utf8(e2e::LumettaExe());
    double ticks = 0;
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::wstring dir = L"Z:\\proc\\" + name + L"\\";
        if (ReadSmallFile(dir + L"cmdline").rfind(exe, 0) != 0) continue;
        // Fields 14 and 15 of stat, after the parenthesised command name.
        const std::string stat = ReadSmallFile(dir + L"stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        unsigned long long utime = 0, stime = 0;
        if (std::sscanf(stat.c_str() + close + 1,
                        " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                        &stime) == 2) {
            ticks += static_cast<double>(utime + stime);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    constexpr double kMsPerTick = 10.0; // USER_HZ is 100 on Linux
    return ticks * kMsPerTick;
}

// Share of one core the process used over an idle stretch, in percent.
double IdleCpuPercent(DWORD seconds) {
    const double cpu0 = InstanceCpuMs(), wall0 = pv::NowMs();
    Sleep(seconds * 1000); // idle on purpose: nothing is waited for
    return 100.0 * (InstanceCpuMs() - cpu0) / (pv::NowMs() - wall0);
}

// Counts taken a few times; the median, since the stand-in's drawing makes objects as it runs.
e2e::GuiCounts SteadyCounts(DWORD pid) {
    std::vector<double> gdi, user, memory;
    for (int i = 0; i < 5; ++i) {
        e2e::GuiCounts c = e2e::ProcessCounts(pid);
        gdi.push_back(c.gdi);
        user.push_back(c.user);
        memory.push_back(static_cast<double>(c.privateBytes));
        Sleep(50);
    }
    e2e::GuiCounts median;
    median.gdi = static_cast<DWORD>(Median(gdi));
    median.user = static_cast<DWORD>(Median(user));
    median.privateBytes = static_cast<SIZE_T>(Median(memory));
    return median;
}

RECT Area(const pv::Fixture& source, int n) {
    const int x = (n % 10) * 45, y = (n / 10) % 10 * 30;
    return source.ScreenRect(x, y, x + 140, y + 100);
}

// The stand-in's record from a byte offset on: new lines only.
class RecordTail {
public:
    RecordTail() : path_(e2e::Env(L"LUMETTA_DWM_LOG")) { offset_ = Size(); }
    // Whether a line with fn has been added since the last Mark.
    bool Has(const char* fn) {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        LARGE_INTEGER at{};
        at.QuadPart = offset_;
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        std::string text(1 << 16, '\0');
        DWORD read = 0;
        ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
        CloseHandle(file);
        text.resize(read);
        return text.find(std::string("\"fn\":\"") + fn + "\"") != std::string::npos;
    }
    void Mark() { offset_ = Size(); }

private:
    LONGLONG Size() const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return 0;
        return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    std::wstring path_;
    LONGLONG offset_ = 0;
};

// Start of a program to its end.
double RunMs(const std::wstring& exe) {
    const double start = pv::NowMs();
    e2e::Process p = e2e::Start(exe, L"");
    p.WaitExit();
    return pv::NowMs() - start;
}

// Start of "lumetta -preview" to the first thumbnail update on record. The process is kept in
// *started: without a running instance it becomes the instance.
double PreviewStartMs(RecordTail* record, const pv::Fixture& source, int n, e2e::Process* started) {
    record->Mark();
    const double start = pv::NowMs();
    *started = e2e::StartLumetta(L"-preview " + pv::HandleArg(source.hwnd) + L" " +
                                 pv::RectArgs(Area(source, n)));
    if (!pv::WaitFine([&] { return record->Has("DwmUpdateThumbnailProperties"); }, 15000))
        return -1;
    return pv::NowMs() - start;
}

void CloseAll(DWORD pid) {
    for (HWND preview : pv::Previews(pid))
        PostMessageW(preview, WM_CLOSE, 0, 0);
    e2e::WaitUntil([&] { return pv::Previews(pid).empty(); }, 10000);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD idleSeconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 10;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 15;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring trivial = self;
    trivial = trivial.substr(0, trivial.find_last_of(L'\\') + 1) + L"preview_trivial.exe";
    e2e::KillAllLumetta();
    pv::SetFlags(pv::kAddOnTop);
    pv::Fixture source = pv::StartFixture(203, 157, 600, 400);
    if (!source.hwnd) {
        std::fprintf(stderr, "preview_bench: no fixture\n");
        return 1;
    }

    // Start-up: cold (the -preview process becomes the instance), then as a messenger.
    RecordTail record;
    std::vector<double> trivialMs, coldMs, messengerMs;
    e2e::Process instanceProcess;
    for (int i = 0; i < rounds + 1; ++i) {
        e2e::KillAllLumetta();
        const double t = RunMs(trivial);
        const double cold = PreviewStartMs(&record, source, i, &instanceProcess);
        if (i == 0) continue; // the first start of each program pays for the disk cache
        trivialMs.push_back(t);
        coldMs.push_back(cold);
    }
    const DWORD pid = instanceProcess.pid;
    const HWND main = pv::MainWindowOf(pid);
    for (int i = 0; i < rounds; ++i) {
        e2e::Process messenger;
        messengerMs.push_back(PreviewStartMs(&record, source, i, &messenger));
        CloseAll(pid);
    }

    // The empty instance, warmed up by what came before.
    CloseAll(pid);
    const e2e::GuiCounts empty = SteadyCounts(pid);
    const double idleEmpty = IdleCpuPercent(idleSeconds);

    for (int i = 0; i < kPreviews; ++i)
        pv::HandOff(main, source.hwnd, Area(source, i));
    e2e::WaitUntil([&] { return pv::Previews(pid).size() == kPreviews; }, 15000);
    const size_t open = pv::Previews(pid).size();
    const e2e::GuiCounts full = SteadyCounts(pid);
    const double idleFull = IdleCpuPercent(idleSeconds);
    // The same, with the stand-in's drawing paused: what is left is the program's own work, all
    // there is on Windows, where DWM draws thumbnails in a process of its own.
    dwmrig::SetRefresh(false);
    const double idleOwn = IdleCpuPercent(idleSeconds);
    dwmrig::SetRefresh(true);
    CloseAll(pid);

    std::printf("preview benchmark (%d start rounds, %lu s idle stretches)\n", rounds, idleSeconds);
    std::printf(
        "  start to first thumbnail, median ms: trivial program %.0f, -preview as messenger "
        "%.0f (x%.2f), -preview cold %.0f (x%.2f)\n",
        Median(trivialMs), Median(messengerMs), Median(messengerMs) / Median(trivialMs),
        Median(coldMs), Median(coldMs) / Median(trivialMs));
    // Below one scheduler tick the baseline reads 0; the ratio is then a lower bound.
    const double tickPercent = 100.0 * 10.0 / (idleSeconds * 1000.0);
    std::printf(
        "  idle CPU of the instance, %% of a core: none %.2f, %zu previews %.2f (x%s%.0f) with the "
        "stand-in drawing them in the instance's process\n",
        idleEmpty, open, idleFull, idleEmpty > 0 ? "" : ">",
        idleFull / std::max(idleEmpty, tickPercent));
    std::printf("  idle CPU of the instance's own work (drawing paused), %% of a core: none %.2f, "
                "%zu previews %.2f (x%s%.1f)\n",
                idleEmpty, open, idleOwn, idleEmpty > 0 ? "" : ">",
                idleOwn / std::max(idleEmpty, tickPercent));
    const double n = open ? static_cast<double>(open) : 1.0;
    std::printf("  GDI objects: empty %lu, with %zu %lu: %.2f per preview (x%.2f)\n", empty.gdi,
                open, full.gdi, (static_cast<double>(full.gdi) - empty.gdi) / n,
                empty.gdi ? static_cast<double>(full.gdi) / empty.gdi : 0.0);
    std::printf("  windows (USER): empty %lu, with %zu %lu: %.2f per preview (x%.2f)\n", empty.user,
                open, full.user, (static_cast<double>(full.user) - empty.user) / n,
                empty.user ? static_cast<double>(full.user) / empty.user : 0.0);
    std::printf("  memory (working set) KiB: empty %.0f, with %zu %.0f: %.1f KiB per preview "
                "(x%.2f)\n",
                empty.privateBytes / 1024.0, open, full.privateBytes / 1024.0,
                (static_cast<double>(full.privateBytes) - empty.privateBytes) / 1024.0 / n,
                empty.privateBytes ? static_cast<double>(full.privateBytes) / empty.privateBytes
                                   : 0.0);
    e2e::KillAllLumetta();
    pv::ClearFlags();
    return 0;
}
