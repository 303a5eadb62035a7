// Helpers of the preview tests (and the preview benchmark): source fixtures, the main instance
// with its settings, hand-offs sent from this process, and the stand-in compositor's record of one
// preview. Everything waits on conditions with time-outs.
#pragma once

#include "driver.h"
#include "e2e.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/base/constants.h"
#include "app/base/handoff.h"
#include "app/base/settings.h"
#include "options/constants.h"
#include "tools/dwm/control.h"
#include "tools/fixture/control.h"
#include "tools/fixture/pattern.h"
#include "tools/fixture/protocol.h"

namespace pv {

constexpr DWORD kPreviewTimeoutMs = 10000;
constexpr DWORD kHandOffTimeoutMs = 10000;

// ---- the system under the rig ------------------------------------------------------------------

// The version the prefix reports, as the program itself reads it (RtlGetVersion).
inline bool IsWindows10() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto fn = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    return fn && fn(&info) == 0 && info.dwMajorVersion >= 10;
}

// The frame the system puts around a preview's client area (left, top, right, bottom as
// negative/positive offsets), before the custom frame of Windows 10 replaces the top.
inline RECT StandardPreviewFrame() {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_VISIBLE | WS_THICKFRAME, FALSE, WS_EX_TOPMOST);
    return frame;
}

// The stand-in's and the fixture's way of writing a handle: "0x" and lower-case hex digits.
inline std::string HandleText(HWND hwnd) {
    return rig::FormatHandleHex(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd)));
}

inline std::wstring HandleArg(HWND hwnd) {
    return e2e::Wide(HandleText(hwnd));
}

inline std::wstring RectArgs(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom);
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// Polls cond every millisecond (for timings finer than the driver's poll) until it holds.
inline bool WaitFine(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!cond()) {
        if (GetTickCount64() >= deadline) return cond();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

inline double NowMs() {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// ---- settings ----------------------------------------------------------------------------------

inline void SetFlags(DWORD flags) {
    e2e::RegSetDword(lumetta::SETTINGS_KEY_PATH, lumetta::SETTINGS_VALUE_FLAGS, flags);
}
inline void ClearFlags() {
    e2e::RegDeleteValueOf(lumetta::SETTINGS_KEY_PATH, lumetta::SETTINGS_VALUE_FLAGS);
}

constexpr DWORD kAddOnTop = lumetta::SETTINGS_KEEP_ON_TOP | lumetta::SETTINGS_MULTIPLE_PREVIEWS;

// ---- source fixtures
// -----------------------------------------------------------------------------

struct Fixture {
    e2e::Process process;
    HWND hwnd = nullptr;
    RECT client{}; // where its client area was put, screen coordinates

    // Client point (x, y) on the screen at the time of the start.
    RECT ScreenRect(int left, int top, int right, int bottom) const {
        return RECT{client.left + left, client.top + top, client.left + right, client.top + bottom};
    }
};

// Starts fixture.exe with its client area at (x, y) of w × h and waits until it is on screen.
inline Fixture StartFixture(int x, int y, int w, int h, const std::wstring& extra = L"") {
    Fixture f;
    f.client = RECT{x, y, x + w, y + h};
    e2e::FixtureProcess started = e2e::StartFixture(
        L"--client " + std::to_wstring(x) + L"," + std::to_wstring(y) + L"," + std::to_wstring(w) +
        L"," + std::to_wstring(h) + (extra.empty() ? L"" : L" " + extra));
    f.process = std::move(started.process);
    f.hwnd = started.hwnd;
    return f;
}

// ---- the main instance
// -----------------------------------------------------------------------------

struct Instance {
    e2e::Process process;
    HWND main = nullptr;
};

inline std::vector<HWND> Previews(DWORD pid) {
    std::vector<HWND> found = e2e::FindTopLevel(lumetta::PREVIEW_WINDOW_CLASS, nullptr, pid);
    found.erase(
        std::remove_if(found.begin(), found.end(), [](HWND h) { return !IsWindowVisible(h); }),
        found.end());
    return found;
}

inline HWND MainWindowOf(DWORD pid, DWORD timeoutMs = e2e::kWindowTimeoutMs) {
    return e2e::WaitWindow(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE, timeoutMs, pid);
}

// A main instance without previews ("-startup -wait" starts one even in silent mode).
inline Instance StartInstance() {
    Instance instance;
    instance.process = e2e::StartLumetta(L"-startup -wait");
    instance.main = MainWindowOf(instance.process.pid);
    return instance;
}

// A main instance started with -preview; *preview receives its preview window (null if none).
inline Instance StartWithPreview(HWND source, const RECT& selection, HWND* preview) {
    Instance instance;
    instance.process =
        e2e::StartLumetta(L"-preview " + HandleArg(source) + L" " + RectArgs(selection));
    *preview = nullptr;
    e2e::WaitUntil(
        [&] {
            std::vector<HWND> shown = Previews(instance.process.pid);
            if (!shown.empty()) *preview = shown.front();
            return *preview != nullptr;
        },
        kPreviewTimeoutMs);
    instance.main = MainWindowOf(instance.process.pid, 2000);
    return instance;
}

// ---- hand-offs from this process (another process than the main instance) ----------------------

// Sends the hand-off record as a selection process does; the answer, or none when the main
// window did not answer in time. Messages sent to this thread meanwhile are handled, so a source
// window of this process can be asked for its title.
inline std::optional<LRESULT> HandOff(HWND main, HWND source, const RECT& selection,
                                      DWORD timeoutMs = kHandOffTimeoutMs) {
    const auto record = lumetta::MakeHandOffRecord(
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(source)),
        lumetta::Rect{selection.left, selection.top, selection.right, selection.bottom});
    const auto bytes = lumetta::EncodeHandOffRecord(record);
    COPYDATASTRUCT data{};
    data.dwData = lumetta::HANDOFF_TAG;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = const_cast<uint8_t*>(bytes.data());
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &answer)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(answer);
}

// A hand-off whose answer comes only after a modal box that this thread must dismiss.
class AsyncHandOff {
public:
    AsyncHandOff(HWND main, HWND source, const RECT& selection)
        : thread_([this, main, source, selection] {
              answer_ = HandOff(main, source, selection, 30000);
              done_ = true;
          }) {}
    ~AsyncHandOff() {
        if (thread_.joinable()) thread_.join();
    }
    // The answer once the send returned (nullopt on time-out).
    std::optional<LRESULT> Answer(DWORD timeoutMs = kHandOffTimeoutMs) {
        e2e::WaitUntil([this] { return done_.load(); }, timeoutMs);
        if (!done_) return std::nullopt;
        thread_.join();
        return answer_;
    }

private:
    std::optional<LRESULT> answer_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Hands a selection to the main instance and returns the preview that it opened (null if none).
inline HWND OpenByHandOff(const Instance& instance, HWND source, const RECT& selection) {
    std::vector<HWND> before = Previews(instance.process.pid);
    auto answer = HandOff(instance.main, source, selection);
    if (!answer || *answer == 0) return nullptr;
    HWND created = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND h : Previews(instance.process.pid)) {
                if (std::find(before.begin(), before.end(), h) == before.end()) {
                    created = h;
                    return true;
                }
            }
            return false;
        },
        kPreviewTimeoutMs);
    return created;
}

// ---- windows of this process
// -----------------------------------------------------------------------

// A visible top-level grey window of this (the driver's) process, shown without taking the
// foreground from the windows under test.
class OwnWindow {
public:
    explicit OwnWindow(RECT at = RECT{700, 500, 900, 650}, DWORD extraExStyle = 0) {
        static const ATOM atom = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
            windowClass.lpszClassName = L"PreviewTestSource";
            return RegisterClassW(&windowClass);
        }();
        hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | extraExStyle,
                                MAKEINTATOM(atom), L"Driver source", WS_POPUP, at.left, at.top,
                                at.right - at.left, at.bottom - at.top, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        if (hwnd_) ShowWindow(hwnd_, SW_SHOWNA);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    ~OwnWindow() { Destroy(); }
    HWND Get() const { return hwnd_; }
    void Destroy() {
        if (hwnd_) DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

private:
    HWND hwnd_ = nullptr;
};

// A handle as the system accepts it with only its index: the same value then names whatever
// window takes that index next.
inline HWND IndexOnly(HWND hwnd) {
    return reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(hwnd) & 0xFFFF);
}

// Windows of this process made until one takes the given index, which a window that was just
// destroyed left free. Freed indices are handed out last-freed first, and previews that close
// on their own watch meanwhile free theirs after the source's, so up to a full preview list (and
// whatever else the desktop freed) may come first. False when none took it.
class IndexTaker {
public:
    bool Take(HWND index) {
        for (int i = 0; i < kMaxWindows; ++i) {
            windows_.push_back(std::make_unique<OwnWindow>());
            if (IndexOnly(windows_.back()->Get()) == index) return true;
        }
        return false;
    }

private:
    static constexpr int kMaxWindows = 400;
    std::vector<std::unique_ptr<OwnWindow>> windows_;
};

// ---- the stand-in compositor's record
// ------------------------------------------------------------

inline bool LineHas(const std::string& line, const std::string& key, const std::string& value) {
    auto field = e2e::JsonField(line, key);
    return field && *field == value;
}

// Calls of fn made by process pid whose field key is value.
inline std::vector<std::string> DwmCallsWith(const std::string& fn, DWORD pid,
                                             const std::string& key, const std::string& value) {
    std::vector<std::string> out;
    for (const std::string& line : e2e::DwmCalls(fn)) {
        if (LineHas(line, "pid", std::to_string(pid)) && LineHas(line, key, value))
            out.push_back(line);
    }
    return out;
}

// The thumbnail registered for a preview window ("0x..."), or empty. The window may show before
// its registration is on record, so this waits a little for it.
inline std::string ThumbnailOf(HWND preview, DWORD pid) {
    std::string thumb;
    e2e::WaitUntil(
        [&] {
            for (const std::string& line : DwmCallsWith("DwmRegisterThumbnail", pid,
                                                        "hwndDestination", HandleText(preview))) {
                if (LineHas(line, "hr", "0x00000000")) {
                    thumb = e2e::JsonField(line, "thumb").value_or("");
                    return true;
                }
            }
            return false;
        },
        2000);
    return thumb;
}

} // namespace pv

// The shared fixture of the preview tests: a clean desktop before and after, and the default
// settings afterwards.
class PreviewTest : public E2eTest {
protected:
    void TearDown() override {
        E2eTest::TearDown();
        pv::ClearFlags();
    }
};
