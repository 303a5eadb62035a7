// dwm_selftest: proves under Wine that the stand-in compositor answers and draws as DWM does.
// Run from the rig folder (beside dwmapi.dll) with WINEDLLOVERRIDES="dwmapi=n,b" on a display with
// xcompmgr. Prints one line per check and exits 0 when all pass.
//
//   dwm_selftest            all checks
//   dwm_selftest --bench    refresh cost for 400 x 300 and full-screen destinations
//   dwm_selftest --hold W H SW SH SECONDS
//                           one W x H thumbnail of a SW x SH source refreshing, for measuring
//
// It starts copies of itself as the thumbnail source (--source) and as concurrent writers of the
// record (--hammer). A screenshot of the composited screen is taken with LUMETTA_SHOT_CMD
// (tools/rig-shot) when that is set, because Wine's own screen reads do not see the composition.
#include <windows.h>
#include <dwmapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "control.h"
#include "ctl_args.h"
#include "shot.h"

using namespace dwmrig;

namespace {

// ---- layout of the test desktop (physical pixels, 96 DPI) ------------------------------------
constexpr int SOURCE_SIZE = 256; // the source's client area: red = x, green = y
constexpr int SOURCE_X = 600, SOURCE_Y = 100;
constexpr int DEST_X = 40, DEST_Y = 60, DEST_W = 400, DEST_H = 300;
constexpr COLORREF DEST_BACKGROUND = RGB(200, 0, 200);
constexpr COLORREF COVER_COLOUR = RGB(0, 160, 0);
constexpr COLORREF LOCAL_SOURCE_COLOUR = RGB(0, 0, 255);
constexpr UINT SOURCE_FRAME_MS = 10; // the source's blue channel changes this often
constexpr int SETTLE_MS = 150;       // a few refreshes and a repaint
constexpr int HAMMER_CALLS = 300;    // record lines per concurrent writer
constexpr int HAMMER_WRITERS = 3;
constexpr UINT WM_SOURCE_READY = WM_APP + 1;   // lParam: the source window
constexpr UINT WM_SOURCE_CLOAKED = WM_APP + 2; // the source answers its own DWMWA_CLOAKED
constexpr UINT WM_SOURCE_MARK = WM_APP + 3;    // the source marks itself cloaked with wParam
constexpr wchar_t DEST_CLASS[] = L"DwmSelftestDest";
constexpr wchar_t SOURCE_CLASS[] = L"DwmSelftestSource";
constexpr wchar_t PLAIN_CLASS[] = L"DwmSelftestPlain";

int g_failures = 0;
int g_checks = 0;
HWND g_sourceReady = nullptr;
int g_compositionMessages = 0;

__attribute__((format(printf, 2, 3))) void Check(bool ok, const char* fmt, ...) {
    ++g_checks;
    if (!ok) ++g_failures;
    std::printf("%s ", ok ? "ok  " : "FAIL");
    va_list args;
    va_start(args, fmt);
    std::vprintf(fmt, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

__attribute__((format(printf, 1, 2))) void Note(const char* fmt, ...) {
    std::printf("     ");
    va_list args;
    va_start(args, fmt);
    std::vprintf(fmt, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

unsigned Hr(HRESULT hr) {
    return static_cast<unsigned>(hr);
}

// Runs this thread's message loop (and so the stand-in's refresh timer) for `ms`.
void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

bool Near(int a, int b, int tolerance) {
    return std::abs(a - b) <= tolerance;
}

bool ColourNear(COLORREF c, int r, int g, int b, int tolerance) {
    return Near(GetRValue(c), r, tolerance) && Near(GetGValue(c), g, tolerance) &&
           Near(GetBValue(c), b, tolerance);
}

COLORREF WindowPixel(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

COLORREF ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

std::string ColourText(COLORREF c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

std::wstring ExePath() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

std::wstring Hex(const void* p) {
    wchar_t buf[32];
    swprintf(buf, 32, L"%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    return buf;
}

// Starts a copy of this program (or another program) with `args`; false when it did not start.
// `process` gets its handle, which Wine leaves null for a Unix program such as the screenshot
// script (it is found only through the command line).
bool Start(const std::wstring& exe, const std::wstring& args, HANDLE* process) {
    std::wstring line = L"\"" + exe + L"\" " + args;
    // The children's own messages (dwmctl's usage on a bad line) would only clutter the report.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (nul != INVALID_HANDLE_VALUE) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = si.hStdOutput = si.hStdError = nul;
    }
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr,
                                        nul != INVALID_HANDLE_VALUE, 0, nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (process)
        *process = pi.hProcess;
    else if (pi.hProcess)
        CloseHandle(pi.hProcess);
    return true;
}

DWORD WaitExit(HANDLE process, DWORD ms) {
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process, ms) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    return code;
}

LRESULT CALLBACK DestProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SOURCE_READY: g_sourceReady = reinterpret_cast<HWND>(lp); return 0;
    case WM_DWMCOMPOSITIONCHANGED: ++g_compositionMessages; return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

bool RegisterClassWithBrush(const wchar_t* name, WNDPROC proc, COLORREF colour) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

HWND MakePopup(const wchar_t* cls, int x, int y, int w, int h, DWORD exStyle = 0) {
    HWND hwnd = CreateWindowExW(exStyle, cls, L"dwm selftest", WS_POPUP | WS_VISIBLE, x, y, w, h,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd) UpdateWindow(hwnd);
    return hwnd;
}

// ---- the source process -----------------------------------------------------------------------

struct SourceState {
    HWND parent = nullptr;
    int width = SOURCE_SIZE, height = SOURCE_SIZE;
    unsigned frame = 0;
    HDC memory = nullptr;
    uint32_t* bits = nullptr;
};
SourceState g_src;

void RenderSource(HWND hwnd) {
    const uint32_t blue = (g_src.frame * 7u) & 0xFFu;
    for (int y = 0; y < g_src.height; ++y)
        for (int x = 0; x < g_src.width; ++x)
            g_src.bits[y * g_src.width + x] = (static_cast<uint32_t>(x & 0xFF) << 16) |
                                              (static_cast<uint32_t>(y & 0xFF) << 8) | blue;
    HDC dc = GetDC(hwnd);
    BitBlt(dc, 0, 0, g_src.width, g_src.height, g_src.memory, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK SourceProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (!IsWindow(g_src.parent)) {
            DestroyWindow(hwnd);
            return 0;
        }
        ++g_src.frame;
        RenderSource(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        RenderSource(hwnd);
        return 0;
    }
    case WM_SOURCE_CLOAKED: {
        DWORD value = 0xFFFFFFFF;
        const HRESULT hr = DwmGetWindowAttribute(hwnd, DWMWA_CLOAKED, &value, sizeof value);
        return SUCCEEDED(hr) ? static_cast<LRESULT>(value) : -1;
    }
    case WM_SOURCE_MARK: return SetCloaked(hwnd, static_cast<DWORD>(wp)) ? 1 : 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

// The source window: a framed window (so its client area is offset in its window) showing a
// gradient whose blue channel changes every few milliseconds.
int RunSource(HWND parent, int x, int y, int w, int h) {
    g_src.parent = parent;
    g_src.width = w;
    g_src.height = h;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    g_src.memory = CreateCompatibleDC(nullptr);
    if (!dib || !g_src.memory) return 3;
    SelectObject(g_src.memory, dib);
    g_src.bits = static_cast<uint32_t*>(bits);
    if (!RegisterClassWithBrush(SOURCE_CLASS, SourceProc, RGB(0, 0, 0))) return 3;
    const DWORD style = WS_CAPTION | WS_VISIBLE;
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    HWND hwnd =
        CreateWindowExW(0, SOURCE_CLASS, L"dwm selftest source", style, x, y, r.right - r.left,
                        r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return 3;
    SetTimer(hwnd, 1, SOURCE_FRAME_MS, nullptr);
    RenderSource(hwnd);
    PostMessageW(parent, WM_SOURCE_READY, 0, reinterpret_cast<LPARAM>(hwnd));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// A concurrent writer of the record.
int RunHammer(int calls) {
    for (int i = 0; i < calls; ++i) {
        BOOL on = FALSE;
        DwmIsCompositionEnabled(&on);
    }
    return 0;
}

// ---- helpers for the checks -------------------------------------------------------------------

struct Desk {
    HWND dest = nullptr;
    HWND destChild = nullptr;
    HWND source = nullptr; // in the source process
    HANDLE sourceProcess = nullptr;
    HWND cover = nullptr;
    POINT clientOffset{}; // the source's client origin within its window
};

HWND StartSource(HWND parent, int w, int h, HANDLE* process) {
    g_sourceReady = nullptr;
    wchar_t args[128];
    swprintf(args, 128, L"--source %ls %d %d %d %d", Hex(parent).c_str(), SOURCE_X, SOURCE_Y, w, h);
    *process = nullptr;
    if (!Start(ExePath(), args, process) || !*process) return nullptr;
    const ULONGLONG end = GetTickCount64() + 10000;
    while (!g_sourceReady && GetTickCount64() < end)
        Pump(20);
    return g_sourceReady;
}

DWM_THUMBNAIL_PROPERTIES Props(RECT dest, RECT source, bool clientOnly = true) {
    DWM_THUMBNAIL_PROPERTIES p{};
    p.dwFlags = DWM_TNP_RECTDESTINATION | DWM_TNP_RECTSOURCE | DWM_TNP_VISIBLE |
                DWM_TNP_SOURCECLIENTAREAONLY;
    p.rcDestination = dest;
    p.rcSource = source;
    p.opacity = 255;
    p.fVisible = TRUE;
    p.fSourceClientAreaOnly = clientOnly ? TRUE : FALSE;
    return p;
}

// Expected gradient at source pixel (sx, sy), compared on red and green only (blue animates).
bool ShowsSource(COLORREF c, double sx, double sy, int tolerance) {
    return Near(GetRValue(c), static_cast<int>(sx), tolerance) &&
           Near(GetGValue(c), static_cast<int>(sy), tolerance);
}

struct Probe {
    int x, y;      // destination client coordinates
    double sx, sy; // the source pixel expected there
};

// Reads the probes from the destination's own surface; returns how many match.
int CountMatches(HWND dest, const std::vector<Probe>& probes, int tolerance, std::string* detail) {
    int good = 0;
    for (const Probe& p : probes) {
        const COLORREF c = WindowPixel(dest, p.x, p.y);
        if (ShowsSource(c, p.sx, p.sy, tolerance)) {
            ++good;
        } else if (detail->empty()) {
            char buf[128];
            std::snprintf(buf, sizeof buf, "at (%d,%d) %s, expected red %.0f green %.0f", p.x, p.y,
                          ColourText(c).c_str(), p.sx, p.sy);
            *detail = buf;
        }
    }
    return good;
}

void CheckPicture(const char* what, HWND dest, const std::vector<Probe>& probes, int tolerance) {
    std::string detail;
    const int good = CountMatches(dest, probes, tolerance, &detail);
    Check(good == static_cast<int>(probes.size()), "%s: %d of %d probes show the source %s", what,
          good, static_cast<int>(probes.size()), detail.c_str());
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    std::string text;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    CloseHandle(f);
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start)); // an unterminated tail: reported as malformed
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool WellFormed(const std::string& line) {
    return line.rfind("{\"fn\":\"", 0) == 0 && !line.empty() && line.back() == '}' &&
           std::count(line.begin(), line.end(), '{') == std::count(line.begin(), line.end(), '}');
}

int CountContaining(const std::vector<std::string>& lines, const std::string& needle) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.find(needle) != std::string::npos;
    }));
}

// A screenshot of the composited X screen through the rig's script; empty when unavailable.
Image CompositedShot(const char* name) {
    wchar_t cmd[MAX_PATH];
    if (!GetEnvironmentVariableW(L"LUMETTA_SHOT_CMD", cmd, MAX_PATH)) return Image{};
    const std::string base =
        "/tmp/dwm-selftest-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    std::wstring wbase(base.begin(), base.end());
    std::wstring winBase = L"Z:" + wbase;
    std::replace(winBase.begin(), winBase.end(), L'/', L'\\');
    if (!Start(cmd, wbase, nullptr)) return Image{};
    const std::wstring done = winBase + L".done";
    const ULONGLONG end = GetTickCount64() + 30000;
    while (GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > end) return Image{};
        Pump(50);
    }
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileW((winBase + L".ppm").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        char buf[65536];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
            bytes.insert(bytes.end(), buf, buf + got);
        CloseHandle(f);
    }
    for (const wchar_t* ext : {L".ppm", L".png", L".done"})
        DeleteFileW((winBase + ext).c_str());
    Image image;
    ParsePpm(bytes, &image);
    return image;
}

COLORREF ImagePixel(const Image& image, int x, int y) {
    uint8_t r, g, b;
    if (!PixelAt(image, x, y, &r, &g, &b)) return CLR_INVALID;
    return RGB(r, g, b);
}

// This process's GDI objects. Wine answers GetGuiResources with nothing, but keeps its GDI handles,
// as Windows does, in a table the PEB points to (GdiSharedHandleTable at 0xF8 in the 64-bit PEB);
// a live entry (24 bytes) has a non-zero type byte at offset 14.
int GdiObjects() {
    constexpr size_t PEB_GDI_TABLE_OFFSET = 0xF8;
    constexpr size_t ENTRY_BYTES = 24;
    constexpr size_t ENTRY_TYPE_OFFSET = 14;
    constexpr size_t MAX_HANDLES = 0x10000;
    using QueryFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query ||
        query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return 0;
    const auto* peb = reinterpret_cast<const uint8_t*>(basic.PebBaseAddress);
    const uint8_t* table = *reinterpret_cast<const uint8_t* const*>(peb + PEB_GDI_TABLE_OFFSET);
    if (!table) return 0;
    int count = 0;
    for (size_t i = 0; i < MAX_HANDLES; ++i)
        if (table[i * ENTRY_BYTES + ENTRY_TYPE_OFFSET] != 0) ++count;
    return count;
}

// ---- the checks -------------------------------------------------------------------------------

bool CheckLoadedStandIn() {
    wchar_t module[MAX_PATH] = L"";
    GetModuleFileNameW(GetModuleHandleW(L"dwmapi.dll"), module, MAX_PATH);
    std::wstring exeDir = ExePath();
    exeDir.resize(exeDir.find_last_of(L'\\') + 1);
    const std::wstring loaded = module;
    const bool ours = _wcsnicmp(loaded.c_str(), exeDir.c_str(), exeDir.size()) == 0;
    Check(ours, "the stand-in dwmapi.dll is loaded (%ls)", module);
    if (!ours) Note("run with WINEDLLOVERRIDES=\"dwmapi=n,b\" from the folder holding dwmapi.dll");
    return ours;
}

void CheckComposition(Desk& d) {
    SetComposition(true);
    BOOL on = FALSE;
    HRESULT hr = DwmIsCompositionEnabled(&on);
    Check(hr == S_OK && on, "composition on by default: hr %08x, enabled %d", Hr(hr), on);
    Check(DwmIsCompositionEnabled(nullptr) == E_INVALIDARG, "DwmIsCompositionEnabled(null) fails");

    const int before = g_compositionMessages;
    Check(SetComposition(false), "composition switched off");
    Pump(100);
    hr = DwmIsCompositionEnabled(&on);
    Check(hr == S_OK && !on, "composition reported off: hr %08x, enabled %d", Hr(hr), on);
    Check(g_compositionMessages > before, "WM_DWMCOMPOSITIONCHANGED reached a top-level window");
    HTHUMBNAIL t = nullptr;
    hr = DwmRegisterThumbnail(d.dest, d.source, &t);
    Check(hr == static_cast<HRESULT>(0x80263001) && !t,
          "registering with composition off: hr %08x (DWM_E_COMPOSITIONDISABLED)", Hr(hr));
    SetComposition(true);
    Pump(50);
    hr = DwmIsCompositionEnabled(&on);
    Check(hr == S_OK && on, "composition back on");
}

void CheckRegisterRules(Desk& d) {
    const HWND garbage = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7ff0123));
    struct Case {
        const char* what;
        HWND dest, source;
        bool out;
    } cases[] = {
        {"no out pointer", d.dest, d.source, false},
        {"null destination", nullptr, d.source, true},
        {"garbage destination", garbage, d.source, true},
        {"null source", d.dest, nullptr, true},
        {"garbage source", d.dest, garbage, true},
        {"source is the destination", d.dest, d.dest, true},
        {"child window as destination", d.destChild, d.source, true},
        {"child window as source", d.dest, d.destChild, true},
        {"destination of another process", d.source, d.dest, true},
        {"desktop window as source", d.dest, GetDesktopWindow(), true},
        {"message-only parent as destination", HWND_MESSAGE, d.source, true},
    };
    for (const Case& c : cases) {
        HTHUMBNAIL t = reinterpret_cast<HTHUMBNAIL>(1);
        const HRESULT hr = DwmRegisterThumbnail(c.dest, c.source, c.out ? &t : nullptr);
        Check(hr == E_INVALIDARG && (!c.out || t == nullptr), "register, %s: hr %08x", c.what,
              Hr(hr));
    }

    SetRefused(d.source);
    HTHUMBNAIL t = nullptr;
    HRESULT hr = DwmRegisterThumbnail(d.dest, d.source, &t);
    Check(hr == E_INVALIDARG, "register, source marked refused: hr %08x", Hr(hr));
    SetRefused(d.source, E_ACCESSDENIED);
    hr = DwmRegisterThumbnail(d.dest, d.source, &t);
    Check(hr == E_ACCESSDENIED, "register, source refused with E_ACCESSDENIED: hr %08x", Hr(hr));
    ClearRefused(d.source);
    hr = DwmRegisterThumbnail(d.dest, d.source, &t);
    Check(hr == S_OK && t, "register, refusal cleared: hr %08x", Hr(hr));
    HTHUMBNAIL second = nullptr;
    hr = DwmRegisterThumbnail(d.dest, d.cover, &second);
    Check(hr == S_OK && second && second != t,
          "register, a window of the same process as source, distinct handle: hr %08x", Hr(hr));

    // Update and unregister rules.
    DWM_THUMBNAIL_PROPERTIES p = Props(RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10});
    Check(DwmUpdateThumbnailProperties(t, nullptr) == E_INVALIDARG, "update with null properties");
    Check(DwmUpdateThumbnailProperties(nullptr, &p) == E_INVALIDARG, "update of a null handle");
    Check(DwmUpdateThumbnailProperties(reinterpret_cast<HTHUMBNAIL>(~uintptr_t{0}), &p) ==
              E_INVALIDARG,
          "update of a garbage handle");
    Check(DwmUnregisterThumbnail(second) == S_OK, "unregister");
    Check(DwmUnregisterThumbnail(second) == E_INVALIDARG, "unregister twice fails");
    Check(DwmUpdateThumbnailProperties(second, &p) == E_INVALIDARG,
          "update after unregister fails");
    Check(DwmUnregisterThumbnail(nullptr) == E_INVALIDARG, "unregister a null handle fails");
    SIZE size{};
    hr = DwmQueryThumbnailSourceSize(t, &size);
    Check(hr == S_OK, "source size: hr %08x, %ld x %ld (window)", Hr(hr), size.cx, size.cy);
    p.dwFlags = DWM_TNP_SOURCECLIENTAREAONLY;
    p.fSourceClientAreaOnly = TRUE;
    DwmUpdateThumbnailProperties(t, &p);
    hr = DwmQueryThumbnailSourceSize(t, &size);
    Check(hr == S_OK && size.cx == SOURCE_SIZE && size.cy == SOURCE_SIZE,
          "source size of the client area: hr %08x, %ld x %ld", Hr(hr), size.cx, size.cy);
    Check(DwmQueryThumbnailSourceSize(t, nullptr) == E_INVALIDARG, "source size, null pointer");
    Check(DwmQueryThumbnailSourceSize(nullptr, &size) == E_INVALIDARG, "source size, null handle");
    Check(DwmUnregisterThumbnail(t) == S_OK, "unregister the first");
}

void CheckAttributes(Desk& d) {
    RECT wr{}, eb{};
    GetWindowRect(d.source, &wr);
    HRESULT hr = DwmGetWindowAttribute(d.source, DWMWA_EXTENDED_FRAME_BOUNDS, &eb, sizeof eb);
    Check(hr == S_OK && EqualRect(&wr, &eb),
          "frame bounds of another process's window = its window rectangle: hr %08x "
          "(%ld,%ld,%ld,%ld)",
          Hr(hr), eb.left, eb.top, eb.right, eb.bottom);
    hr = DwmGetWindowAttribute(d.source, DWMWA_EXTENDED_FRAME_BOUNDS, &eb, 8);
    Check(hr == E_INVALIDARG, "frame bounds into 8 bytes: hr %08x", Hr(hr));
    hr = DwmGetWindowAttribute(d.source, DWMWA_EXTENDED_FRAME_BOUNDS, nullptr, sizeof eb);
    Check(hr == E_INVALIDARG, "frame bounds into null: hr %08x", Hr(hr));
    hr = DwmGetWindowAttribute(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7ff0123)),
                               DWMWA_EXTENDED_FRAME_BOUNDS, &eb, sizeof eb);
    Check(hr == E_HANDLE, "frame bounds of a garbage handle: hr %08x", Hr(hr));

    DWORD cloaked = 99;
    hr = DwmGetWindowAttribute(d.source, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    Check(hr == S_OK && cloaked == 0, "unmarked window not cloaked: hr %08x value %lu", Hr(hr),
          cloaked);
    hr = DwmGetWindowAttribute(d.source, DWMWA_CLOAKED, &cloaked, sizeof(BOOL) + 4);
    Check(hr == E_INVALIDARG, "cloaked into 8 bytes: hr %08x", Hr(hr));

    // Marks set in one process and read in another: Wine keeps window properties in its server.
    SetCloaked(d.source, DWM_CLOAKED_SHELL);
    DwmGetWindowAttribute(d.source, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    const LRESULT seen = SendMessageW(d.source, WM_SOURCE_CLOAKED, 0, 0);
    Check(cloaked == DWM_CLOAKED_SHELL && seen == DWM_CLOAKED_SHELL,
          "cloak mark set here, read here (%lu) and by the window's own process (%ld)", cloaked,
          static_cast<long>(seen));
    SendMessageW(d.source, WM_SOURCE_MARK, DWM_CLOAKED_INHERITED, 0);
    DwmGetWindowAttribute(d.source, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    Check(cloaked == DWM_CLOAKED_INHERITED,
          "cloak mark set by the window's process, read here: %lu", cloaked);

    std::wstring ctl = ExePath();
    ctl.resize(ctl.find_last_of(L'\\') + 1);
    ctl += L"dwmctl.exe";
    HANDLE p = nullptr;
    Start(ctl, L"cloak " + Hex(d.source) + L" 1", &p);
    const DWORD code = p ? WaitExit(p, 10000) : 0xFFFFFFFF;
    if (p) CloseHandle(p);
    DwmGetWindowAttribute(d.source, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    Check(code == 0 && cloaked == DWM_CLOAKED_APP, "dwmctl cloak (exit %lu) seen here: %lu", code,
          cloaked);
    p = nullptr;
    Start(ctl, L"cloak " + Hex(d.source) + L" 0", &p);
    if (p) {
        WaitExit(p, 10000);
        CloseHandle(p);
    }
    DwmGetWindowAttribute(d.source, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    Check(cloaked == 0, "dwmctl cloak 0 removes the mark: %lu", cloaked);
    p = nullptr;
    Start(ctl, L"cloak zz 1", &p);
    const DWORD bad = p ? WaitExit(p, 10000) : 0;
    if (p) CloseHandle(p);
    Check(bad == 2, "dwmctl rejects a bad line with exit 2 (%lu)", bad);

    const DWORD round = 3; // DWMWCP_ROUNDSMALL
    hr = DwmSetWindowAttribute(d.dest, 33, &round, sizeof round);
    Check(hr == S_OK, "corner preference accepted: hr %08x", Hr(hr));
    hr = DwmSetWindowAttribute(d.dest, 33, &round, 8);
    Check(hr == E_INVALIDARG, "corner preference of the wrong size: hr %08x", Hr(hr));
    hr = DwmSetWindowAttribute(d.dest, DWMWA_EXTENDED_FRAME_BOUNDS, &eb, sizeof eb);
    Check(hr == E_INVALIDARG, "frame bounds cannot be set: hr %08x", Hr(hr));
    const BOOL yes = TRUE, no = FALSE;
    DwmSetWindowAttribute(d.dest, DWMWA_CLOAK, &yes, sizeof yes);
    DwmGetWindowAttribute(d.dest, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    Check(cloaked == DWM_CLOAKED_APP, "DWMWA_CLOAK makes the window cloaked by its app: %lu",
          cloaked);
    DwmSetWindowAttribute(d.dest, DWMWA_CLOAK, &no, sizeof no);
    DwmGetWindowAttribute(d.dest, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    Check(cloaked == 0, "and uncloaked again: %lu", cloaked);
    hr = DwmGetWindowAttribute(d.dest, DWMWA_NCRENDERING_ENABLED, &cloaked, sizeof cloaked);
    Check(hr == E_NOTIMPL, "other attributes answer as Wine: hr %08x", Hr(hr));
}

struct ModalProbe {
    HWND dest;
    int x, y;
    int blue[2];
    int samples;
};

INT_PTR CALLBACK ModalProc(HWND dlg, UINT msg, WPARAM, LPARAM lp) {
    auto* probe = reinterpret_cast<ModalProbe*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        SetTimer(dlg, 1, 150, nullptr);
        return TRUE;
    case WM_TIMER:
        if (!probe) return TRUE;
        probe->blue[probe->samples++] = GetBValue(WindowPixel(probe->dest, probe->x, probe->y));
        if (probe->samples == 2) EndDialog(dlg, 0);
        return TRUE;
    default: return FALSE;
    }
}

void CheckModalLoop(HWND dest, int x, int y) {
    // An empty dialog: DLGTEMPLATE, then no menu, the default class and no title.
    alignas(4) WORD templ[16] = {};
    auto* dt = reinterpret_cast<DLGTEMPLATE*>(templ);
    dt->style = WS_POPUP | WS_VISIBLE;
    dt->x = 0;
    dt->y = 0;
    dt->cx = 20;
    dt->cy = 20;
    ModalProbe probe{dest, x, y, {-1, -1}, 0};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dt, nullptr, ModalProc,
                            reinterpret_cast<LPARAM>(&probe));
    Check(probe.samples == 2 && probe.blue[0] != probe.blue[1],
          "the picture keeps changing inside a modal loop (blue %d then %d)", probe.blue[0],
          probe.blue[1]);
}

void CheckDrawing(Desk& d) {
    HTHUMBNAIL t = nullptr;
    HRESULT hr = DwmRegisterThumbnail(d.dest, d.source, &t);
    Check(hr == S_OK, "register for drawing: hr %08x", Hr(hr));
    if (FAILED(hr)) return;

    // Before the first update nothing is visible (DWM's default), so the background shows.
    Pump(SETTLE_MS);
    Check(ColourNear(WindowPixel(d.dest, 50, 50), 200, 0, 200, 0),
          "nothing drawn before the first update");

    DWM_THUMBNAIL_PROPERTIES p = Props(RECT{20, 10, 20 + SOURCE_SIZE, 10 + SOURCE_SIZE},
                                       RECT{0, 0, SOURCE_SIZE, SOURCE_SIZE});
    hr = DwmUpdateThumbnailProperties(t, &p);
    Check(hr == S_OK, "update 1:1 at (20,10): hr %08x", Hr(hr));
    Pump(SETTLE_MS);
    std::vector<Probe> oneToOne;
    for (int sy : {0, 1, 77, 128, 254, 255})
        for (int sx : {0, 1, 31, 200, 255})
            oneToOne.push_back(Probe{20 + sx, 10 + sy, double(sx), double(sy)});
    CheckPicture("covered source shown 1:1", d.dest, oneToOne, 0);
    Check(ColourNear(WindowPixel(d.dest, 20 + SOURCE_SIZE, 10), 200, 0, 200, 0) &&
              ColourNear(WindowPixel(d.dest, 19, 10), 200, 0, 200, 0) &&
              ColourNear(WindowPixel(d.dest, 20, 10 + SOURCE_SIZE), 200, 0, 200, 0),
          "nothing drawn outside rcDestination");

    // The composited screen: Wine's screen reads, then a screenshot of the X screen.
    RECT sr;
    GetWindowRect(d.source, &sr);
    const COLORREF screenAtThumb = ScreenPixel(DEST_X + 20 + 200, DEST_Y + 10 + 100);
    const COLORREF screenAtCover = ScreenPixel(sr.left + 40, sr.top + 40);
    Note("Wine's screen read (GetDC(NULL)) gives %s on the thumbnail (red 200 green 100 there) "
         "and %s on the covered source (the cover is %s)",
         ColourText(screenAtThumb).c_str(), ColourText(screenAtCover).c_str(),
         ColourText(COVER_COLOUR).c_str());
    const Image shot = CompositedShot("picture");
    if (shot.width > 0) {
        int good = 0, total = 0;
        for (const Probe& probe : oneToOne) {
            ++total;
            if (ShowsSource(ImagePixel(shot, DEST_X + probe.x, DEST_Y + probe.y), probe.sx,
                            probe.sy, 0))
                ++good;
        }
        Check(good == total, "screenshot of the composited screen shows the thumbnail: %d of %d",
              good, total);
        const COLORREF over = ImagePixel(shot, sr.left + 40, sr.top + 40);
        Check(over == COVER_COLOUR, "and the source is covered on screen: %s",
              ColourText(over).c_str());
    } else {
        Note("no screenshot (LUMETTA_SHOT_CMD unset or failing): the composited screen was not "
             "checked");
    }

    // It follows the source over time.
    const int bx = 20 + 10, by = 10 + 10;
    const int blue1 = GetBValue(WindowPixel(d.dest, bx, by));
    Pump(200);
    const int blue2 = GetBValue(WindowPixel(d.dest, bx, by));
    Check(blue1 != blue2, "the picture changes with the source (blue %d then %d)", blue1, blue2);

    // Refresh rate: distinct pictures seen in one second while the source changes every 10 ms.
    int changes = 0, last = -1;
    const ULONGLONG end = GetTickCount64() + 1000;
    while (GetTickCount64() < end) {
        Pump(2);
        const int b = GetBValue(WindowPixel(d.dest, bx, by));
        if (b != last) ++changes;
        last = b;
    }
    Check(changes >= 20, "refreshes per second: %d (at least 20)", changes);

    // A modal loop (here a dialog's) runs the refresh timer too, as DWM keeps drawing meanwhile.
    CheckModalLoop(d.dest, bx, by);

    // Half size, stretched.
    p = Props(RECT{0, 0, 128, 128}, RECT{0, 0, SOURCE_SIZE, SOURCE_SIZE});
    DwmUpdateThumbnailProperties(t, &p);
    Pump(SETTLE_MS);
    std::vector<Probe> half;
    for (int y : {0, 40, 100, 127})
        for (int x : {0, 63, 127})
            half.push_back(Probe{x, y, 2.0 * x + 0.5, 2.0 * y + 0.5});
    CheckPicture("half size", d.dest, half, 3);
    Check(ColourNear(WindowPixel(d.dest, 200, 200), 200, 0, 200, 0),
          "the area the larger picture left is repainted by its window");

    // 1.5 times, shifted up and left past the client area: only the visible part is drawn.
    p = Props(RECT{-64, -64, 320, 320}, RECT{0, 0, SOURCE_SIZE, SOURCE_SIZE});
    DwmUpdateThumbnailProperties(t, &p);
    Pump(SETTLE_MS);
    std::vector<Probe> big;
    for (int y : {0, 50, 150, 250})
        for (int x : {0, 120, 300})
            big.push_back(Probe{x, y, (x + 64) / 1.5, (y + 64) / 1.5});
    CheckPicture("1.5 times, clipped at the client's top left", d.dest, big, 2);
    Check(ColourNear(WindowPixel(d.dest, 330, 100), 200, 0, 200, 0),
          "right of the picture is background");

    // A part of the source.
    p = Props(RECT{0, 0, 128, 128}, RECT{64, 32, 192, 160});
    DwmUpdateThumbnailProperties(t, &p);
    Pump(SETTLE_MS);
    std::vector<Probe> part;
    for (int y : {0, 60, 127})
        for (int x : {0, 90, 127})
            part.push_back(Probe{x, y, 64.0 + x, 32.0 + y});
    CheckPicture("a part of the source", d.dest, part, 0);

    // Window-relative source: the same picture when rcSource is offset by the client origin.
    const LONG ox = d.clientOffset.x, oy = d.clientOffset.y;
    p = Props(RECT{0, 0, 128, 128}, RECT{64 + ox, 32 + oy, 192 + ox, 160 + oy}, false);
    DwmUpdateThumbnailProperties(t, &p);
    Pump(SETTLE_MS);
    CheckPicture("window-relative source", d.dest, part, 0);
    Note("the source's client area starts at (%ld,%ld) in its window", ox, oy);

    // Only flagged fields change: a new destination alone keeps the part of the source.
    DWM_THUMBNAIL_PROPERTIES only{};
    only.dwFlags = DWM_TNP_RECTDESTINATION;
    only.rcDestination = RECT{100, 100, 228, 228};
    only.rcSource = RECT{0, 0, 1, 1}; // not flagged: ignored
    only.fVisible = FALSE;            // likewise
    DwmUpdateThumbnailProperties(t, &only);
    Pump(SETTLE_MS);
    std::vector<Probe> moved;
    for (const Probe& q : part)
        moved.push_back(Probe{q.x + 100, q.y + 100, q.sx, q.sy});
    CheckPicture("only the flagged destination changed", d.dest, moved, 0);

    // Translucent: blended with the window's own background, and it does not build up.
    DWM_THUMBNAIL_PROPERTIES translucent{};
    translucent.dwFlags = DWM_TNP_OPACITY;
    translucent.opacity = 128;
    DwmUpdateThumbnailProperties(t, &translucent);
    Pump(SETTLE_MS);
    // Source (64, 32) over the background (200, 0, 200) at 128/255.
    auto blended = [](int src, int bg) { return (src * 128 + bg * 127) / 255; };
    const COLORREF a = WindowPixel(d.dest, 100, 100);
    Pump(300);
    const COLORREF b = WindowPixel(d.dest, 100, 100);
    Check(Near(GetRValue(a), blended(64, 200), 3) && Near(GetGValue(a), blended(32, 0), 3) &&
              Near(GetRValue(b), GetRValue(a), 1) && Near(GetGValue(b), GetGValue(a), 1),
          "opacity 128 blends with the background: %s then %s, expected red %d green %d",
          ColourText(a).c_str(), ColourText(b).c_str(), blended(64, 200), blended(32, 0));

    // Hidden, shown, and unregistered.
    DWM_THUMBNAIL_PROPERTIES hide{};
    hide.dwFlags = DWM_TNP_VISIBLE | DWM_TNP_OPACITY;
    hide.opacity = 255;
    hide.fVisible = FALSE;
    DwmUpdateThumbnailProperties(t, &hide);
    Pump(SETTLE_MS);
    Check(ColourNear(WindowPixel(d.dest, 150, 150), 200, 0, 200, 0),
          "fVisible FALSE: picture gone");
    hide.fVisible = TRUE;
    DwmUpdateThumbnailProperties(t, &hide);
    Pump(SETTLE_MS);
    CheckPicture("fVisible TRUE: picture back", d.dest, moved, 0);

    // Composition switched off hides every thumbnail; back on, they return.
    SetComposition(false);
    Pump(SETTLE_MS);
    Check(ColourNear(WindowPixel(d.dest, 150, 150), 200, 0, 200, 0),
          "composition off: picture gone");
    hr = DwmUpdateThumbnailProperties(t, &hide);
    Check(hr == static_cast<HRESULT>(0x80263001), "update with composition off: hr %08x", Hr(hr));
    SetComposition(true);
    Pump(SETTLE_MS);
    CheckPicture("composition on: picture back", d.dest, moved, 0);

    Check(DwmUnregisterThumbnail(t) == S_OK, "unregister");
    Pump(SETTLE_MS);
    Check(ColourNear(WindowPixel(d.dest, 150, 150), 200, 0, 200, 0) &&
              ColourNear(WindowPixel(d.dest, 227, 227), 200, 0, 200, 0),
          "after unregistering the window repainted what was under the picture");
}

void CheckLifetimes(Desk& d) {
    // A source that goes away: its picture goes.
    HWND local = MakePopup(PLAIN_CLASS, 900, 500, 120, 90);
    SetClassLongPtrW(local, GCLP_HBRBACKGROUND,
                     reinterpret_cast<LONG_PTR>(CreateSolidBrush(LOCAL_SOURCE_COLOUR)));
    InvalidateRect(local, nullptr, TRUE);
    UpdateWindow(local);
    HTHUMBNAIL t = nullptr;
    DwmRegisterThumbnail(d.dest, local, &t);
    DWM_THUMBNAIL_PROPERTIES p = Props(RECT{300, 200, 360, 260}, RECT{0, 0, 60, 60});
    DwmUpdateThumbnailProperties(t, &p);
    Pump(SETTLE_MS);
    const COLORREF shown = WindowPixel(d.dest, 330, 230);
    DestroyWindow(local);
    Pump(SETTLE_MS);
    const COLORREF gone = WindowPixel(d.dest, 330, 230);
    Check(shown == LOCAL_SOURCE_COLOUR && ColourNear(gone, 200, 0, 200, 0),
          "a destroyed source's picture goes: %s then %s", ColourText(shown).c_str(),
          ColourText(gone).c_str());
    HRESULT hr = DwmUpdateThumbnailProperties(t, &p);
    Note("update after the source died: hr %08x", Hr(hr));
    Check(DwmUnregisterThumbnail(t) == S_OK, "unregister after the source died");

    // A destination that goes away: nothing more is drawn, nothing crashes.
    HWND temp = MakePopup(PLAIN_CLASS, 900, 500, 200, 150);
    hr = DwmRegisterThumbnail(temp, d.source, &t);
    p = Props(RECT{0, 0, 200, 150}, RECT{0, 0, 200, 150});
    DwmUpdateThumbnailProperties(t, &p);
    Pump(60);
    DestroyWindow(temp);
    Pump(SETTLE_MS);
    hr = DwmUpdateThumbnailProperties(t, &p);
    Note("update after the destination died: hr %08x", Hr(hr));
    Check(DwmUnregisterThumbnail(t) == S_OK, "unregister after the destination died");

    // Many refreshes leak no GDI objects (Wine may not count them: then 0 and 0).
    hr = DwmRegisterThumbnail(d.dest, d.source, &t);
    p = Props(RECT{0, 0, 256, 256}, RECT{0, 0, 256, 256});
    DwmUpdateThumbnailProperties(t, &p);
    Pump(100);
    const int gdiBefore = GdiObjects();
    for (int i = 0; i < 200; ++i)
        DwmFlush();
    p.dwFlags = DWM_TNP_OPACITY; // the translucent path has its own memory DC and bitmap
    p.opacity = 100;
    DwmUpdateThumbnailProperties(t, &p);
    for (int i = 0; i < 50; ++i)
        DwmFlush();
    Pump(300);
    const int gdiAfter = GdiObjects();
    Check(gdiBefore > 0 && gdiAfter <= gdiBefore,
          "GDI objects before and after 250 refreshes: %d, %d", gdiBefore, gdiAfter);
    DwmUnregisterThumbnail(t);

    // Calls that must not crash.
    DwmGetWindowAttribute(nullptr, DWMWA_CLOAKED, nullptr, 0);
    DwmSetWindowAttribute(nullptr, 33, nullptr, 0);
    DwmUpdateThumbnailProperties(reinterpret_cast<HTHUMBNAIL>(1), nullptr);
    DwmExtendFrameIntoClientArea(nullptr, nullptr);
    LRESULT lr = 0;
    const BOOL handled = DwmDefWindowProc(d.dest, WM_NCHITTEST, 0, 0, &lr);
    Check(!handled, "DwmDefWindowProc handles nothing");
    Check(DwmFlush() == S_OK && DwmEnableComposition(DWM_EC_DISABLECOMPOSITION) == S_OK,
          "DwmFlush and DwmEnableComposition answer S_OK");
}

void CheckRecord(const std::wstring& log, Desk& d) {
    // Concurrent writers in several processes.
    std::vector<HANDLE> writers;
    for (int i = 0; i < HAMMER_WRITERS; ++i) {
        HANDLE h = nullptr;
        if (Start(ExePath(), L"--hammer " + std::to_wstring(HAMMER_CALLS), &h) && h)
            writers.push_back(h);
    }
    RunHammer(HAMMER_CALLS);
    std::vector<DWORD> pids;
    for (HANDLE h : writers) {
        WaitExit(h, 60000);
        pids.push_back(GetProcessId(h));
        CloseHandle(h);
    }

    const std::vector<std::string> lines = ReadLines(log);
    int malformed = 0;
    for (const std::string& l : lines)
        if (!WellFormed(l)) ++malformed;
    Check(!lines.empty() && malformed == 0, "record: %d lines, %d malformed",
          static_cast<int>(lines.size()), malformed);
    int exact = 0;
    for (DWORD pid : pids) {
        const std::string mine =
            "\"fn\":\"DwmIsCompositionEnabled\",\"pid\":" + std::to_string(pid) + ",";
        if (CountContaining(lines, mine) == HAMMER_CALLS) ++exact;
    }
    Check(static_cast<int>(pids.size()) == HAMMER_WRITERS && exact == HAMMER_WRITERS,
          "record: each of %d processes writing at once has exactly its %d lines (%d do)",
          HAMMER_WRITERS, HAMMER_CALLS, exact);

    const std::string own = "\"pid\":" + std::to_string(GetCurrentProcessId());
    const std::string update =
        "\"props\":{\"dwFlags\":\"0x1b\",\"rcDestination\":[20,10,276,266],"
        "\"rcSource\":[0,0,256,256],\"opacity\":255,\"fVisible\":1,\"fSourceClientAreaOnly\":1},"
        "\"hr\":\"0x00000000\"}";
    Check(CountContaining(lines, update) >= 1, "record: the properties sent, field by field");
    Check(CountContaining(lines, "\"fn\":\"DwmRegisterThumbnail\"") >= 10 &&
              CountContaining(lines, "\"thumb\":null,\"hr\":\"0x80070057\"") >= 1,
          "record: registrations, with a missing out pointer as null");
    char source[64];
    std::snprintf(source, sizeof source, "\"hwndSource\":\"0x%llx\"",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(d.source)));
    Check(CountContaining(lines, source) >= 1, "record: window handles in hex (%s)", source);
    Check(CountContaining(lines, "\"dwAttribute\":9,\"cbAttribute\":16,\"value\":[") >= 1 &&
              CountContaining(lines, "\"dwAttribute\":33,\"cbAttribute\":4,\"value\":3,") >= 1,
          "record: attributes with their values");
    Check(CountContaining(lines, own) >= 1 && CountContaining(lines, "\"hr\":\"0x80263001\"") >= 1,
          "record: this process's pid and the composition-off failures");
}

// ---- benchmark ------------------------------------------------------------------------------

double FlushMs(int rounds) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    for (int i = 0; i < rounds; ++i)
        DwmFlush();
    QueryPerformanceCounter(&b);
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart) / rounds;
}

double StretchMs(HWND dest, HWND source, int w, int h, int sw, int sh, int mode, int rounds) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    for (int i = 0; i < rounds; ++i) {
        HDC to = GetDC(dest);
        HDC from = GetDC(source);
        SetStretchBltMode(to, mode);
        SetBrushOrgEx(to, 0, 0, nullptr);
        StretchBlt(to, 0, 0, w, h, from, 0, 0, sw, sh, SRCCOPY);
        ReleaseDC(source, from);
        ReleaseDC(dest, to);
    }
    QueryPerformanceCounter(&b);
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart) / rounds;
}

double CpuPercentWhilePumping(DWORD ms) {
    FILETIME c, e, k0, u0, k1, u1;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k0, &u0);
    const ULONGLONG start = GetTickCount64();
    Pump(ms);
    const ULONGLONG wall = GetTickCount64() - start;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k1, &u1);
    auto ticks = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const ULONGLONG used = ticks(k1) - ticks(k0) + ticks(u1) - ticks(u0); // 100 ns units
    return 100.0 * double(used) / 10000.0 / double(wall);
}

int RunBench() {
    if (!CheckLoadedStandIn()) return 1;
    SetComposition(true);
    RegisterClassWithBrush(DEST_CLASS, DestProc, DEST_BACKGROUND);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    HWND anchor = MakePopup(DEST_CLASS, 0, 0, 10, 10);
    Note("idle process: %.1f %% of one core while pumping messages", CpuPercentWhilePumping(2000));
    struct Case {
        int sw, sh; // source client size
        int w, h;   // destination
    } cases[] = {
        {800, 600, 400, 300},         // a small preview, shrunk
        {800, 600, screenW, screenH}, // maximized, enlarged
        {screenW - 40, screenH - 60, (screenW - 40) * 9 / 10,
         (screenH - 60) * 9 / 10}, // large, shrunk
        {800, 600, 800, 600},      // 1:1
    };
    for (const Case& c : cases) {
        HANDLE process = nullptr;
        HWND source = StartSource(anchor, c.sw, c.sh, &process);
        if (!source) {
            std::printf("FAIL the source did not start\n");
            return 1;
        }
        HWND dest = MakePopup(DEST_CLASS, 0, 0, c.w, c.h);
        Pump(100);
        HTHUMBNAIL t = nullptr;
        DwmRegisterThumbnail(dest, source, &t);
        DWM_THUMBNAIL_PROPERTIES p = Props(RECT{0, 0, c.w, c.h}, RECT{0, 0, c.sw, c.sh});
        DwmUpdateThumbnailProperties(t, &p);
        Pump(100);
        Note("%d x %d from %d x %d: one refresh %.2f ms; StretchBlt alone HALFTONE %.2f ms, "
             "COLORONCOLOR %.2f ms",
             c.w, c.h, c.sw, c.sh, FlushMs(30),
             StretchMs(dest, source, c.w, c.h, c.sw, c.sh, HALFTONE, 20),
             StretchMs(dest, source, c.w, c.h, c.sw, c.sh, COLORONCOLOR, 20));
        Note(
            "%d x %d: this process while the thumbnail refreshes on its timer: %.1f %% of one core",
            c.w, c.h, CpuPercentWhilePumping(3000));
        p.dwFlags = DWM_TNP_OPACITY;
        p.opacity = 128;
        DwmUpdateThumbnailProperties(t, &p);
        Note("%d x %d: one refresh at opacity 128: %.2f ms", c.w, c.h, FlushMs(10));
        DwmUnregisterThumbnail(t);
        DestroyWindow(dest);
        SendMessageW(source, WM_CLOSE, 0, 0);
        WaitExit(process, 5000);
        CloseHandle(process);
    }
    DestroyWindow(anchor);
    return 0;
}

// Keeps one thumbnail refreshing for a while, so that the cost to the whole desktop (X server,
// Wine's server, compositor) can be measured from outside.
int RunHold(int w, int h, int sw, int sh, int seconds) {
    if (!CheckLoadedStandIn()) return 1;
    SetComposition(true);
    RegisterClassWithBrush(DEST_CLASS, DestProc, DEST_BACKGROUND);
    HWND dest = MakePopup(DEST_CLASS, 0, 0, w, h);
    HANDLE process = nullptr;
    HWND source = StartSource(dest, sw, sh, &process);
    if (!source) return 1;
    HTHUMBNAIL t = nullptr;
    DwmRegisterThumbnail(dest, source, &t);
    DWM_THUMBNAIL_PROPERTIES p = Props(RECT{0, 0, w, h}, RECT{0, 0, sw, sh});
    DwmUpdateThumbnailProperties(t, &p);
    std::printf("holding %d x %d from %d x %d for %d s\n", w, h, sw, sh, seconds);
    std::fflush(stdout);
    Pump(static_cast<DWORD>(seconds) * 1000);
    DwmUnregisterThumbnail(t);
    DestroyWindow(dest);
    WaitExit(process, 5000);
    CloseHandle(process);
    return 0;
}

int RunChecks() {
    if (!CheckLoadedStandIn()) return 1;
    // A private record, so that the checks see only their own lines.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log =
        std::wstring(temp) + L"dwm-selftest-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(ENV_LOG_PATH, log.c_str());

    RegisterClassWithBrush(DEST_CLASS, DestProc, DEST_BACKGROUND);
    RegisterClassWithBrush(PLAIN_CLASS, DefWindowProcW, COVER_COLOUR);
    Desk d;
    d.dest = MakePopup(DEST_CLASS, DEST_X, DEST_Y, DEST_W, DEST_H);
    d.destChild = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, DEST_W - 20,
                                  DEST_H - 20, 10, 10, d.dest, nullptr, nullptr, nullptr);
    d.source = StartSource(d.dest, SOURCE_SIZE, SOURCE_SIZE, &d.sourceProcess);
    Check(d.source != nullptr, "the source process started");
    if (!d.source) return 1;
    RECT wr;
    GetWindowRect(d.source, &wr);
    POINT origin{0, 0};
    ClientToScreen(d.source, &origin);
    d.clientOffset = POINT{origin.x - wr.left, origin.y - wr.top};
    d.cover = MakePopup(PLAIN_CLASS, wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top,
                        WS_EX_TOPMOST);
    Pump(200);

    CheckComposition(d);
    CheckRegisterRules(d);
    CheckAttributes(d);
    CheckDrawing(d);
    CheckLifetimes(d);
    CheckRecord(log, d);

    DestroyWindow(d.cover);
    DestroyWindow(d.dest);
    WaitExit(d.sourceProcess, 5000);
    CloseHandle(d.sourceProcess);
    DeleteFileW(log.c_str());
    std::printf("%d checks, %d failed\n", g_checks, g_failures);
    return g_failures == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a;
        for (const wchar_t* p = argv[i]; *p; ++p)
            a += *p < 0x80 ? static_cast<char>(*p) : '?';
        args.push_back(a);
    }
    uint64_t v[5] = {};
    if (args.size() == 6 && args[0] == "--source" && ParseHex(args[1], &v[0]) &&
        ParseNumber(args[2], &v[1]) && ParseNumber(args[3], &v[2]) && ParseNumber(args[4], &v[3]) &&
        ParseNumber(args[5], &v[4]))
        return RunSource(reinterpret_cast<HWND>(static_cast<uintptr_t>(v[0])), int(v[1]), int(v[2]),
                         int(v[3]), int(v[4]));
    if (args.size() == 2 && args[0] == "--hammer" && ParseNumber(args[1], &v[0]))
        return RunHammer(int(v[0]));
    if (args.size() == 1 && args[0] == "--bench") return RunBench();
    if (args.size() == 6 && args[0] == "--hold" && ParseNumber(args[1], &v[0]) &&
        ParseNumber(args[2], &v[1]) && ParseNumber(args[3], &v[2]) && ParseNumber(args[4], &v[3]) &&
        ParseNumber(args[5], &v[4]))
        return RunHold(int(v[0]), int(v[1]), int(v[2]), int(v[3]), int(v[4]));
    if (args.empty()) return RunChecks();
    std::fprintf(stderr, "usage: dwm_selftest [--bench]\n");
    return 2;
}
