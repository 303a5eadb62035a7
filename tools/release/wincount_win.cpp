// wincount.exe CLASS TITLE COUNT TIMEOUT_MS: waits until exactly COUNT top-level windows of the
// class and title exist, then prints the count and the process id of each. Exit code 0 when the
// count was reached in time, 1 (after printing the last count) when not. For the install test,
// which meets the program from a Unix shell.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Search {
    const wchar_t* className;
    const wchar_t* title;
    std::vector<DWORD> pids;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t name[256] = {}, title[256] = {};
    GetClassNameW(hwnd, name, 256);
    InternalGetWindowText(hwnd, title, 256);
    if (lstrcmpW(name, search->className) == 0 && lstrcmpW(title, search->title) == 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        search->pids.push_back(pid);
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: wincount CLASS TITLE COUNT TIMEOUT_MS\n");
        return 2;
    }
    const size_t wanted = static_cast<size_t>(_wtoi(argv[3]));
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(_wtoi(argv[4]));
    Search search{argv[1], argv[2], {}};
    for (;;) {
        search.pids.clear();
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
        if (search.pids.size() == wanted || GetTickCount64() >= deadline) break;
        Sleep(50); // polling a condition with a time-out
    }
    std::printf("%zu", search.pids.size());
    for (DWORD pid : search.pids)
        std::printf(" %lu", pid);
    std::printf("\n");
    return search.pids.size() == wanted ? 0 : 1;
}
