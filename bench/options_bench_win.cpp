// The Options dialog, run on the rig's desktop (bench/run.sh). Every figure is a ratio against a
// baseline measured in the same run:
//   - "Options..." chosen (Enter on the tray menu's item) to the dialog drawn, its Cancel button's
//     text and the page's first check box among its pixels, against a trivial dialog of the same
//     size from a template that another program opens on a posted command;
//   - windows, GDI objects and working set of the instance before and after many openings and
//     closings of the dialog, each showing both tabs.
//
//   options_bench.exe [CYCLES] [ROUNDS]
#include <cstdio>

#include "bench_support_win.h"
#include "options_trivial.h"
#include "res/resource.h"
#include "tests/e2e/menus.h"

using namespace e2e;

namespace {

// Dark (text) pixels of a control as its dialog drew it.
int InkIn(HWND dialog, HWND control) {
    const bench::WindowPicture picture = bench::PictureOf(dialog);
    const RECT d = Inspect(dialog).window, c = Inspect(control).window;
    int ink = 0;
    for (LONG y = c.top - d.top + 2; y < c.bottom - d.top - 2 && y < picture.height; ++y) {
        for (LONG x = c.left - d.left + 2; x < c.right - d.left - 2 && x < picture.width; ++x)
            ink += (picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] & 0xFF) < 80;
    }
    return ink;
}

// From choose() to the process's dialog drawn: text in every control given.
double ChosenToDrawnMs(const std::function<void()>& choose, DWORD pid, const wchar_t* title,
                       std::initializer_list<int> controls, HWND* shown) {
    const double start = NowMs();
    choose();
    HWND dialog = nullptr;
    WaitFine(
        [&] {
            dialog = FirstVisible(FindTopLevel(L"#32770", title, pid));
            if (!dialog) return false;
            for (int id : controls) {
                if (InkIn(dialog, DialogControl(dialog, id)) < 8) return false;
            }
            return true;
        },
        10000);
    *shown = dialog;
    return NowMs() - start;
}

// The tray menu open with "Options..." selected; Enter chooses it.
void OpenTrayMenuAtOptions(DWORD pid) {
    ChooseFromTrayMenu(pid, FirstTrayIcon(), {VK_DOWN, VK_DOWN});
}

void Close(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitFine([&] { return !IsWindow(dialog); }, 10000);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int cycles = argc > 1 ? _wtoi(argv[1]) : 200;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 15;
    KillAllLumetta();
    ClearSettings();
    Instance instance = StartInstance(L"-startup");
    const DWORD pid = instance.process.pid;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring beside = self;
    beside = beside.substr(0, beside.find_last_of(L'\\') + 1);
    Process trivial = Start(beside + L"options_trivial.exe", L"");
    const HWND host = WaitWindow(TRIVIAL_HOST_CLASS, nullptr);
    if (!instance.main || !host) {
        std::fprintf(stderr, "options_bench: the instance or the trivial host did not come up\n");
        return 1;
    }
    std::vector<double> optionsMs, trivialMs;
    HWND dialog = nullptr;
    for (int i = 0; i < rounds; ++i) {
        OpenTrayMenuAtOptions(pid);
        optionsMs.push_back(ChosenToDrawnMs([] { KeyPress(VK_RETURN); }, pid, lumetta::APP_TITLE,
                                            {IDC_CANCEL, IDC_KEEP_ON_TOP}, &dialog));
        Close(dialog);
        trivialMs.push_back(ChosenToDrawnMs([&] { PostMessageW(host, WM_COMMAND, 1, 0); },
                                            trivial.pid, L"Trivial", {IDCANCEL}, &dialog));
        Close(dialog);
    }

    const GuiCounts before = bench::SteadyCounts(pid);
    for (int i = 0; i < cycles; ++i) {
        OpenTrayMenuAtOptions(pid);
        KeyPress(VK_RETURN);
        dialog = WaitOptionsDialog(pid);
        if (dialog) ShowAboutTab(dialog);
        Close(dialog);
    }
    const GuiCounts after = bench::SteadyCounts(pid);

    std::printf("options benchmark (%d rounds, %d cycles)\n", rounds, cycles);
    std::printf("  \"Options...\" to the dialog drawn, median ms: %.1f; a trivial dialog from a "
                "template %.1f (x%.2f)\n",
                bench::Median(optionsMs), bench::Median(trivialMs),
                bench::Median(optionsMs) / std::max(bench::Median(trivialMs), 0.1));
    bench::PrintCounts("dialog openings with both tabs", before, after);
    trivial.Kill();
    KillAllLumetta();
    return 0;
}
