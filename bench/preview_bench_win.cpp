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

#include "bench_support_win.h"
#include "tools/dwm/control.h"

namespace {

constexpr int kPreviews = 100;

// Share of one core the instance used over an idle stretch, in percent.
double IdleCpuPercent(DWORD seconds) {
    const double cpu0 = bench::InstanceCpuMs(), wall0 = e2e::NowMs();
    Sleep(seconds * 1000); // idle on purpose: nothing is waited for
    return 100.0 * (bench::InstanceCpuMs() - cpu0) / (e2e::NowMs() - wall0);
}

RECT Area(const e2e::Fixture& source, int n) {
    const int x = (n % 10) * 45, y = (n / 10) % 10 * 30;
    return source.ScreenRect(x, y, x + 140, y + 100);
}

// Start of a program to its end.
double RunMs(const std::wstring& exe) {
    const double start = e2e::NowMs();
    e2e::Process p = e2e::Start(exe, L"");
    p.WaitExit();
    return e2e::NowMs() - start;
}

// Start of "lumetta -preview" to the first thumbnail update on record. The process is kept in
// *started: without a running instance it becomes the instance.
double PreviewStartMs(bench::RecordTail* record, const e2e::Fixture& source, int n,
                      e2e::Process* started) {
    record->Mark();
    const double start = e2e::NowMs();
    *started = e2e::StartLumetta(L"-preview " + e2e::HandleArg(source.hwnd) + L" " +
                                 e2e::RectArgs(Area(source, n)));
    if (!e2e::WaitFine([&] { return record->Has("DwmUpdateThumbnailProperties"); }, 15000))
        return -1;
    return e2e::NowMs() - start;
}

void CloseAll(DWORD pid) {
    for (HWND preview : e2e::Previews(pid))
        PostMessageW(preview, WM_CLOSE, 0, 0);
    e2e::WaitUntil([&] { return e2e::Previews(pid).empty(); }, 10000);
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
    e2e::SetFlags(lumetta::SETTINGS_DEFAULT_FLAGS);
    e2e::Fixture source = e2e::StartFixture(203, 157, 600, 400);
    if (!source.hwnd) {
        std::fprintf(stderr, "preview_bench: no fixture\n");
        return 1;
    }

    // Start-up: cold (the -preview process becomes the instance), then as a messenger.
    bench::RecordTail record;
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
    const HWND main = e2e::MainWindowOf(pid);
    for (int i = 0; i < rounds; ++i) {
        e2e::Process messenger;
        messengerMs.push_back(PreviewStartMs(&record, source, i, &messenger));
        CloseAll(pid);
    }

    // The empty instance, warmed up by what came before.
    CloseAll(pid);
    const e2e::GuiCounts empty = bench::SteadyCounts(pid);
    const double idleEmpty = IdleCpuPercent(idleSeconds);

    for (int i = 0; i < kPreviews; ++i)
        e2e::HandOff(main, source.hwnd, Area(source, i));
    e2e::WaitUntil([&] { return e2e::Previews(pid).size() == kPreviews; }, 15000);
    const size_t open = e2e::Previews(pid).size();
    const e2e::GuiCounts full = bench::SteadyCounts(pid);
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
        bench::Median(trivialMs), bench::Median(messengerMs),
        bench::Median(messengerMs) / bench::Median(trivialMs), bench::Median(coldMs),
        bench::Median(coldMs) / bench::Median(trivialMs));
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
    e2e::ClearSettings();
    return 0;
}
