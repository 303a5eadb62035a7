// Helpers of the selection tests: a stand-in main window that records what a selection process
// hands over, selection processes and source fixtures started and waited for, another process's
// command line, and the screen pixels the selection window should show. Every wait has a time-out.
#pragma once

#include "e2e.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/base/constants.h"
#include "app/base/settings.h"
#include "options/constants.h"
#include "tools/fakeshell/shell_pattern.h"
#include "tools/fixture/pattern.h"
#include "tools/fixture/protocol.h"

namespace sel {

constexpr DWORD kHandOffWaitMs = 10000;
constexpr wchar_t kFakeMainClass[] = L"Lumetta_MainWnd";

// ---- time ---------------------------------------------------------------------------------------

inline uint64_t FileTimeValue(const FILETIME& t) {
    return uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime;
}

// System time in 100 ns units, comparable with the times GetProcessTimes reports.
inline uint64_t SystemTimeNow() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return FileTimeValue(now);
}

// When an ended process ended, in the same units; 0 if unknown.
inline uint64_t ExitTimeOf(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return FileTimeValue(exited);
}

// ---- a stand-in main window ---------------------------------------------------------------------

// What a selection process sent, decoded from the bytes at the offsets the record has on the
// wire, independently of the program's own decoder.
struct ReceivedHandOff {
    ULONG_PTR tag = 0;
    DWORD byteCount = 0;
    uint32_t size = 0;
    uint32_t version = 0;
    uint64_t source = 0;
    RECT rect{};
    uint64_t receivedAt = 0; // system time (100 ns units) when the window procedure got it
    HWND SourceWindow() const { return reinterpret_cast<HWND>(static_cast<uintptr_t>(source)); }
};

enum class Answer {
    Accept, // answers 1 at once
    Refuse, // answers 0 at once
    Hang,   // keeps its thread busy for hangMs before answering 1
};

// A window of the main window's class and title on a thread of this process, so that the
// selection process under test finds it instead of starting a main instance. It records every
// WM_COPYDATA and WM_INSTANCE_COMMAND it receives.
class FakeMainWindow {
public:
    explicit FakeMainWindow(Answer answer = Answer::Accept, DWORD hangMs = 0)
        : answer_(answer), hangMs_(hangMs) {
        thread_ = std::thread([this] { Run(); });
        e2e::WaitUntil([this] { return Window() != nullptr; }, e2e::kWindowTimeoutMs);
    }
    FakeMainWindow(const FakeMainWindow&) = delete;
    FakeMainWindow& operator=(const FakeMainWindow&) = delete;
    ~FakeMainWindow() {
        SetEvent(release_);
        if (HWND hwnd = Window()) PostMessageW(hwnd, WM_CLOSE, 0, 0);
        thread_.join();
        CloseHandle(release_);
    }

    HWND Window() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return hwnd_;
    }
    std::vector<ReceivedHandOff> HandOffs() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return handOffs_;
    }
    std::vector<WPARAM> InstanceCommands() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return commands_;
    }
    std::optional<ReceivedHandOff> WaitHandOff(DWORD timeoutMs = kHandOffWaitMs) const {
        std::optional<ReceivedHandOff> first;
        e2e::WaitUntil(
            [&] {
                auto all = HandOffs();
                if (!all.empty()) first = all.front();
                return first.has_value();
            },
            timeoutMs);
        return first;
    }
    bool WaitExitRequest(DWORD timeoutMs = kHandOffWaitMs) const {
        return e2e::WaitUntil(
            [&] {
                for (WPARAM w : InstanceCommands()) {
                    if (w & lumetta::CMD_EXIT) return true;
                }
                return false;
            },
            timeoutMs);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<FakeMainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
        switch (message) {
        case WM_COPYDATA: return self->OnCopyData(reinterpret_cast<COPYDATASTRUCT*>(lParam));
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
        }
        if (message == lumetta::WM_INSTANCE_COMMAND) {
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->commands_.push_back(wParam);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    LRESULT OnCopyData(const COPYDATASTRUCT* data) {
        ReceivedHandOff got;
        got.receivedAt = SystemTimeNow();
        if (data) {
            got.tag = data->dwData;
            got.byteCount = data->cbData;
            if (data->lpData && data->cbData >= lumetta::HANDOFF_RECORD_SIZE) {
                const auto* bytes = static_cast<const uint8_t*>(data->lpData);
                int32_t edges[4];
                std::memcpy(&got.size, bytes + 0, 4);
                std::memcpy(&got.version, bytes + 4, 4);
                std::memcpy(&got.source, bytes + 8, 8);
                std::memcpy(edges, bytes + 16, 16);
                got.rect = RECT{edges[0], edges[1], edges[2], edges[3]};
            }
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            handOffs_.push_back(got);
        }
        // Busy as a hung program is; the destructor ends the hang early.
        if (answer_ == Answer::Hang) WaitForSingleObject(release_, hangMs_);
        return answer_ == Answer::Refuse ? 0 : 1;
    }

    void Run() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kFakeMainClass;
        RegisterClassExW(&windowClass); // a second stand-in finds the class registered already
        HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kFakeMainClass, lumetta::APP_TITLE, 0, 0, 0,
                                    0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            hwnd_ = hwnd;
        }
        if (!hwnd) return;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        std::lock_guard<std::mutex> lock(mutex_);
        hwnd_ = nullptr;
    }

    const Answer answer_;
    const DWORD hangMs_;
    mutable std::mutex mutex_;
    HWND hwnd_ = nullptr;
    std::vector<ReceivedHandOff> handOffs_;
    std::vector<WPARAM> commands_;
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread_;
};

// ---- selection processes ------------------------------------------------------------------------

struct Selection {
    e2e::Process process;
    HWND window = nullptr;
};

// Starts lumetta with args as a selection process and waits until its window is visible.
inline Selection StartSelection(const std::wstring& args = L"") {
    Selection s;
    s.process = e2e::StartLumetta(args);
    s.window = e2e::WaitWindow(lumetta::SELECTION_WINDOW_CLASS, lumetta::APP_TITLE,
                               e2e::kWindowTimeoutMs, s.process.pid);
    if (s.window) {
        e2e::WaitUntil([&] { return IsWindowVisible(s.window) != FALSE; }, e2e::kWindowTimeoutMs);
        // A user's first click comes after the window has become the active one. A click that
        // arrives while Wine is still activating it goes through activation first, and under load
        // Wine sometimes drops such a click; a test would then read that as a lost press.
        e2e::WaitUntil([&] { return GetForegroundWindow() == s.window; }, e2e::kWindowTimeoutMs);
    }
    return s;
}

// ---- pointer input ------------------------------------------------------------------------------

// A left-button press or release that carries its own position, as a device's does: one input
// event that moves the pointer there and changes the button. (A button event without a position
// takes wherever the pointer is at that moment, and Wine may still be replaying an earlier
// pointer move of its window system then.)
inline void LeftButtonAt(int x, int y, bool down) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65535 + (w - 1) / 2) / (w - 1));
    input.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65535 + (h - 1) / 2) / (h - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                       (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    SendInput(1, &input, sizeof(INPUT));
    e2e::WaitUntil(
        [&] {
            const POINT p = e2e::CursorPos();
            return p.x == x && p.y == y;
        },
        1000);
}
inline void PressAt(int x, int y) {
    LeftButtonAt(x, y, true);
}
inline void ReleaseAt(int x, int y) {
    LeftButtonAt(x, y, false);
}
inline ULONGLONG& LastClickTick() {
    static ULONGLONG tick = 0;
    return tick;
}
inline void ClickAt(int x, int y) {
    PressAt(x, y);
    ReleaseAt(x, y);
    LastClickTick() = GetTickCount64();
}
// A second click on the same spot within the double-click time is a double-click; a user who
// means two clicks lets that time pass since the last one.
inline void WaitOutDoubleClickTime() {
    const ULONGLONG interval = GetDoubleClickTime();
    e2e::WaitUntil([&] { return GetTickCount64() - LastClickTick() > interval; },
                   static_cast<DWORD>(interval) + e2e::kWindowTimeoutMs);
}
// Moves the pointer and holds it there. Wine reads the X pointer back when the last move is more
// than 100 ms old, and on a loaded machine the X pointer may still be at an earlier position then,
// which puts the pointer back; a hand on a mouse would simply move it again.
inline void MoveAndHold(int x, int y) {
    constexpr ULONGLONG kHoldMs = 250;
    for (int attempt = 0; attempt < 5; ++attempt) {
        e2e::MouseMove(x, y);
        const ULONGLONG since = GetTickCount64();
        const auto there = [&] {
            const POINT p = e2e::CursorPos();
            return p.x == x && p.y == y;
        };
        e2e::WaitUntil([&] { return !there() || GetTickCount64() - since >= kHoldMs; },
                       DWORD(kHoldMs) + 1000);
        if (there()) return;
    }
}

// Press at the first point, move there in steps, release at the second.
inline void DragFromTo(int x0, int y0, int x1, int y1, int steps = 6) {
    PressAt(x0, y0);
    for (int i = 1; i < steps; ++i)
        e2e::MouseMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    ReleaseAt(x1, y1);
}

// Keys go to the focused window: bring the selection window forward as a click on it would.
inline void FocusSelection(HWND window) {
    SetForegroundWindow(window);
    e2e::WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

// The lumetta.exe processes running now.
inline std::vector<DWORD> LumettaProcesses() {
    std::vector<DWORD> pids;
    DWORD all[4096];
    DWORD bytes = 0;
    if (!EnumProcesses(all, sizeof(all), &bytes)) return pids;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, all[i]);
        if (!h) continue;
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (QueryFullProcessImageNameW(h, 0, path, &length)) {
            std::wstring name(path, length);
            const size_t slash = name.find_last_of(L"\\/");
            if (slash != std::wstring::npos) name = name.substr(slash + 1);
            if (_wcsicmp(name.c_str(), L"lumetta.exe") == 0) pids.push_back(all[i]);
        }
        CloseHandle(h);
    }
    return pids;
}

// The command line another process was started with, read from its process parameters.
inline std::optional<std::wstring> CommandLineOf(DWORD pid) {
    using QueryFn = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return std::nullopt;
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!h) return std::nullopt;
    std::optional<std::wstring> result;
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (query(h, ProcessBasicInformation, &basic, sizeof(basic), nullptr) == 0 &&
        ReadProcessMemory(h, basic.PebBaseAddress, &peb, sizeof(peb), nullptr) &&
        ReadProcessMemory(h, peb.ProcessParameters, &parameters, sizeof(parameters), nullptr)) {
        std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
        if (text.empty() || ReadProcessMemory(h, parameters.CommandLine.Buffer, text.data(),
                                              parameters.CommandLine.Length, nullptr)) {
            result = text;
        }
    }
    CloseHandle(h);
    return result;
}

// ---- settings -----------------------------------------------------------------------------------

inline void SetSettingsFlags(DWORD flags) {
    e2e::RegSetDword(lumetta::SETTINGS_KEY_PATH, lumetta::SETTINGS_VALUE_FLAGS, flags);
}
inline void ClearSettings() {
    e2e::RegDeleteKeyTree(lumetta::SETTINGS_KEY_PATH);
}

// ---- the tests' frame ---------------------------------------------------------------------------

// Every selection test starts and ends with no Lumetta process and default settings.
class SelectionTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        ClearSettings();
    }
    void TearDown() override {
        E2eTest::TearDown();
        ClearSettings();
    }
};

// ---- source fixtures ----------------------------------------------------------------------------

struct Fixture {
    e2e::Process process;
    HWND hwnd = nullptr;
};

// Starts fixture.exe with its client area at (x, y, w, h), showing fps frames a second (0: a still
// picture), and waits until it has written its window handle.
inline Fixture StartFixture(int x, int y, int w, int h, const std::wstring& extra = L"",
                            uint32_t fps = 0) {
    std::wstring args = L"--client " + std::to_wstring(x) + L"," + std::to_wstring(y) + L"," +
                        std::to_wstring(w) + L"," + std::to_wstring(h) + L" --fps " +
                        std::to_wstring(fps);
    if (!extra.empty()) args += L" " + extra;
    e2e::FixtureProcess started = e2e::StartFixture(args);
    Fixture f;
    f.process = std::move(started.process);
    f.hwnd = started.hwnd;
    return f;
}

// A window handle as the fixture's options and the stand-in compositor's record write it.
inline std::string HandleText(HWND hwnd) {
    return rig::FormatHandleHex(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd)));
}

inline std::wstring HandleArg(HWND hwnd) {
    const std::string text = HandleText(hwnd);
    return std::wstring(text.begin(), text.end());
}

// The fake shell's window, which runs for the whole test run.
inline HWND ShellWindowOfRig() {
    const std::string text = e2e::EnvUtf8(L"LUMETTA_SHELL_HWND");
    auto handle = rig::ParseHandleHex(std::string_view(text));
    return handle ? reinterpret_cast<HWND>(static_cast<uintptr_t>(*handle)) : nullptr;
}

// ---- the screen ---------------------------------------------------------------------------------

inline rig::Rgb ToRgb(uint32_t rrggbb) {
    return {uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb)};
}

inline bool Near(rig::Rgb a, rig::Rgb b, int tolerance) {
    return std::abs(int(a.r) - int(b.r)) <= tolerance &&
           std::abs(int(a.g) - int(b.g)) <= tolerance && std::abs(int(a.b) - int(b.b)) <= tolerance;
}

// The fake shell's pixel at a screen point seen through black of the given alpha.
inline rig::Rgb ShellThrough(int x, int y, uint8_t blackAlpha) {
    return rig::CompositeOver({0, 0, 0}, blackAlpha, rig::ExpectedShellPixel(x, y));
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

inline RECT PrimaryWorkArea() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

} // namespace sel
