#include "driver.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include "tools/dwm/control.h"
#include "tools/fixture/protocol.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace e2e {

// ---- environment
// ----------------------------------------------------------------------------------

std::wstring Env(const wchar_t* name) {
    wchar_t buffer[4096];
    DWORD n = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
    if (n == 0 || n >= std::size(buffer)) return {};
    return std::wstring(buffer, n);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int n =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string EnvUtf8(const wchar_t* name) {
    return Utf8(Env(name));
}
std::wstring LumettaExe() {
    return Env(L"LUMETTA_EXE");
}
std::wstring RigPath(const wchar_t* file) {
    return Env(L"LUMETTA_RIG") + L"\\" + file;
}
std::wstring RunPath(const wchar_t* file) {
    std::wstring unix = Env(L"LUMETTA_RUN_DIR");
    // The run folder is a Unix path; Wine maps the whole Unix tree on drive Z:.
    std::wstring path = L"Z:" + unix + L"/" + file;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// ---- waiting
// --------------------------------------------------------------------------------------

static void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (cond()) return true;
        if (GetTickCount64() >= deadline) return cond();
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    }
}

// ---- processes
// ------------------------------------------------------------------------------------

Process::Process(Process&& other) noexcept : handle(other.handle), pid(other.pid) {
    other.handle = nullptr;
    other.pid = 0;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        if (handle) CloseHandle(handle);
        handle = other.handle;
        pid = other.pid;
        other.handle = nullptr;
        other.pid = 0;
    }
    return *this;
}

Process::~Process() {
    Kill();
    if (handle) CloseHandle(handle);
}

bool Process::Running() const {
    return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitExit(DWORD timeoutMs) {
    if (!handle) return std::nullopt;
    bool ended =
        WaitUntil([&] { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }, timeoutMs);
    if (!ended) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(handle, &code)) {
        std::fprintf(stderr, "driver: GetExitCodeProcess(pid %lu) failed with error %lu\n", pid,
                     GetLastError());
        return std::nullopt;
    }
    return code;
}

void Process::Kill() {
    if (Running()) {
        TerminateProcess(handle, 0xDEAD);
        WaitForSingleObject(handle, 5000);
    }
}

Process Start(const std::wstring& exe, const std::wstring& args) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!args.empty()) commandLine += L" " + args;
    Process process;
    // A start the system refuses is the rig's trouble, not the program's: say why, and try again
    // a few times before the test sees it.
    for (int attempt = 0; attempt < 3 && !process.handle; ++attempt) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::wstring mutableLine = commandLine;
        if (CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            process.handle = info.hProcess;
            process.pid = info.dwProcessId;
        } else {
            std::fprintf(stderr, "driver: CreateProcess(%s) failed with error %lu\n",
                         Utf8(commandLine).c_str(), GetLastError());
            WaitUntil([] { return false; }, 100);
        }
    }
    return process;
}

Process StartLumetta(const std::wstring& args) {
    return Start(LumettaExe(), args);
}
Process StartRig(const wchar_t* exe, const std::wstring& args) {
    return Start(RigPath(exe), args);
}

std::optional<DWORD> RunLumetta(const std::wstring& args, DWORD timeoutMs) {
    Process p = StartLumetta(args);
    if (!p.handle) return std::nullopt;
    return p.WaitExit(timeoutMs);
}

static std::vector<DWORD> ProcessesNamed(const wchar_t* exeName) {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) == 0) pids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snap);
    return pids;
}

void KillAllLumetta() {
    for (DWORD pid : ProcessesNamed(L"lumetta.exe")) {
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!h) continue;
        TerminateProcess(h, 0xDEAD);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    // Windows of ended processes go with them; wait until none is left.
    WaitUntil([] { return ProcessesNamed(L"lumetta.exe").empty(); }, kExitTimeoutMs);
}

// ---- windows
// --------------------------------------------------------------------------------------

DWORD WindowPid(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

static std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

static std::wstring TitleOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    // InternalGetWindowText does not send WM_GETTEXT, so a hung window cannot block the driver.
    GetWindowTextW(hwnd, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

std::vector<HWND> FindTopLevel(const wchar_t* cls, const wchar_t* title, DWORD pid) {
    struct Query {
        const wchar_t* cls;
        const wchar_t* title;
        DWORD pid;
        std::vector<HWND> found;
    } query{cls, title, pid, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* q = reinterpret_cast<Query*>(lp);
            if (q->pid && WindowPid(hwnd) != q->pid) return TRUE;
            if (q->cls && *q->cls && ClassOf(hwnd) != q->cls) return TRUE;
            if (q->title && TitleOf(hwnd) != q->title) return TRUE;
            q->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs, DWORD pid) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            auto all = FindTopLevel(cls, title, pid);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitWindowGone(HWND hwnd, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(hwnd); }, timeoutMs);
}

bool WaitNoWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
    return WaitUntil([&] { return FindTopLevel(cls, title).empty(); }, timeoutMs);
}

WindowInfo Inspect(HWND hwnd) {
    WindowInfo info;
    info.hwnd = hwnd;
    if (!IsWindow(hwnd)) return info;
    info.className = ClassOf(hwnd);
    info.title = TitleOf(hwnd);
    GetWindowRect(hwnd, &info.window);
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    info.client = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    info.style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    info.exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    info.owner = GetWindow(hwnd, GW_OWNER);
    info.parent = reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd, GWLP_HWNDPARENT));
    info.pid = WindowPid(hwnd);
    info.visible = IsWindowVisible(hwnd) != FALSE;
    return info;
}

// ---- message boxes
// --------------------------------------------------------------------------------

std::vector<MessageBoxInfo> MessageBoxes(DWORD pid) {
    std::vector<MessageBoxInfo> boxes;
    for (HWND hwnd : FindTopLevel(L"#32770", nullptr, pid)) {
        if (!IsWindowVisible(hwnd)) continue;
        // A message box keeps its text in a static control with id 0xFFFF.
        HWND text = GetDlgItem(hwnd, 0xFFFF);
        if (!text) continue;
        MessageBoxInfo box;
        box.hwnd = hwnd;
        box.caption = TitleOf(hwnd);
        box.text = TitleOf(text);
        box.owner = GetWindow(hwnd, GW_OWNER);
        GetWindowRect(hwnd, &box.rect);
        box.pid = WindowPid(hwnd);
        boxes.push_back(box);
    }
    return boxes;
}

std::optional<MessageBoxInfo> WaitMessageBox(DWORD pid, DWORD timeoutMs) {
    std::optional<MessageBoxInfo> found;
    WaitUntil(
        [&] {
            auto boxes = MessageBoxes(pid);
            if (boxes.empty()) return false;
            found = boxes.front();
            return true;
        },
        timeoutMs);
    return found;
}

void DismissMessageBox(const MessageBoxInfo& box) {
    // The default button's click, as Enter on the focused box would give.
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!WaitWindowGone(box.hwnd, 3000)) PostMessageW(box.hwnd, WM_CLOSE, 0, 0);
    WaitWindowGone(box.hwnd, 3000);
}

// ---- the notification area ----------------------------------------------------------------------

HWND TrayWindow() {
    for (HWND hwnd : FindTopLevel(nullptr, L"Wine System Tray")) {
        if (IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

bool WaitTrayVisible(bool visible, DWORD timeoutMs) {
    return WaitUntil([&] { return (TrayWindow() != nullptr) == visible; }, timeoutMs);
}

POINT FirstTrayIcon() {
    WindowInfo tray = Inspect(TrayWindow());
    // Icons sit in a row from the client area's left edge; the small icon size plus a margin is
    // the cell.
    int cell = GetSystemMetrics(SM_CXSMICON) + 4;
    return POINT{tray.client.left + cell / 2, tray.client.top + cell / 2};
}

std::optional<std::wstring> TrayBalloonText() {
    HWND tray = TrayWindow();
    if (!tray) return std::nullopt;
    for (HWND hwnd : FindTopLevel(L"tooltips_class32", nullptr, WindowPid(tray))) {
        if (!IsWindowVisible(hwnd)) continue;
        wchar_t text[512] = {};
        SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        return std::wstring(text);
    }
    return std::nullopt;
}

HWND PopupMenuOf(DWORD pid) {
    for (HWND hwnd : FindTopLevel(L"#32768", nullptr, pid)) {
        if (IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

// ---- messages from another process
// ---------------------------------------------------------------

std::optional<LRESULT> SendCopyData(HWND hwnd, ULONG_PTR tag, const void* bytes, DWORD byteCount,
                                    DWORD timeoutMs) {
    COPYDATASTRUCT data{};
    data.dwData = tag;
    data.cbData = byteCount;
    data.lpData = const_cast<void*>(bytes);
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_BLOCK | SMTO_ABORTIFHUNG, timeoutMs, &answer)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(answer);
}

// ---- input
// ----------------------------------------------------------------------------------------

static void SendOne(INPUT input) {
    SendInput(1, &input, sizeof(INPUT));
}

void MouseMove(int x, int y) {
    // Absolute moves are in 0..65535 across the primary screen.
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65535 + (w - 1) / 2) / (w - 1));
    input.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65535 + (h - 1) / 2) / (h - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendOne(input);
    WaitUntil(
        [&] {
            POINT p = CursorPos();
            return p.x == x && p.y == y;
        },
        1000);
}

static DWORD ButtonFlag(int button, bool down) {
    switch (button) {
    case 2: return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    case 3: return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    default: return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
}

void MouseDown(int button) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = ButtonFlag(button, true);
    SendOne(input);
}

void MouseUp(int button) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = ButtonFlag(button, false);
    SendOne(input);
}

void Click(int x, int y, int button) {
    MouseMove(x, y);
    MouseDown(button);
    MouseUp(button);
}

void DoubleClick(int x, int y, int button) {
    MouseMove(x, y);
    MouseDown(button);
    MouseUp(button);
    MouseDown(button);
    MouseUp(button);
}

void Drag(int x0, int y0, int x1, int y1, int steps, int button) {
    MouseMove(x0, y0);
    MouseDown(button);
    for (int i = 1; i <= steps; ++i) {
        MouseMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    }
    MouseUp(button);
}

void KeyDown(WORD vk) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    SendOne(input);
}

void KeyUp(WORD vk) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendOne(input);
}

void KeyPress(WORD vk, std::initializer_list<WORD> modifiers) {
    for (WORD m : modifiers)
        KeyDown(m);
    KeyDown(vk);
    KeyUp(vk);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        KeyUp(*it);
}

POINT CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

// ---- screenshots
// ----------------------------------------------------------------------------------

uint32_t Screenshot::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return (uint32_t{rgb[i]} << 16) | (uint32_t{rgb[i + 1]} << 8) | uint32_t{rgb[i + 2]};
}

static bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static bool ReadFileBytes(const std::wstring& path, std::vector<uint8_t>* out) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    out->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    BOOL ok =
        out->empty() || ReadFile(h, out->data(), static_cast<DWORD>(out->size()), &read, nullptr);
    CloseHandle(h);
    return ok && read == out->size();
}

// A binary PPM (P6, maxval 255): "P6 <w> <h> 255" and one white-space byte, then the pixels.
static bool ParsePpm(const std::vector<uint8_t>& bytes, Screenshot* shot) {
    size_t pos = 0;
    auto token = [&](std::string* out) {
        out->clear();
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n')
                    ++pos;
            } else if (isspace(bytes[pos])) {
                ++pos;
            } else {
                break;
            }
        }
        while (pos < bytes.size() && !isspace(bytes[pos]))
            out->push_back(static_cast<char>(bytes[pos++]));
        return !out->empty();
    };
    std::string magic, w, h, maxval;
    if (!token(&magic) || magic != "P6" || !token(&w) || !token(&h) || !token(&maxval))
        return false;
    if (maxval != "255") return false;
    ++pos; // the single white-space byte after maxval
    shot->width = atoi(w.c_str());
    shot->height = atoi(h.c_str());
    size_t need = static_cast<size_t>(shot->width) * static_cast<size_t>(shot->height) * 3;
    if (shot->width <= 0 || shot->height <= 0 || bytes.size() < pos + need) return false;
    shot->rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                     bytes.begin() + static_cast<std::ptrdiff_t>(pos + need));
    return true;
}

Screenshot TakeScreenshot(const std::string& name) {
    Screenshot shot;
    static int counter = 0;
    std::string unixDir = EnvUtf8(L"LUMETTA_SHOTS_UNIX");
    std::string base = unixDir + "/" + name;
    // Names must be unique within a run: a second shot of the same name gets a number.
    std::wstring done = Wide("Z:" + base + ".done");
    std::replace(done.begin(), done.end(), L'/', L'\\');
    if (FileExists(done)) {
        base += "-" + std::to_string(++counter);
        done = Wide("Z:" + base + ".done");
        std::replace(done.begin(), done.end(), L'/', L'\\');
    }
    // Wine starts a Unix program when asked to run one; it cannot report its exit reliably, so
    // the script leaves BASE.done behind when both files are complete.
    std::wstring command = Wide(EnvUtf8(L"LUMETTA_SHOT_CMD") + " " + base);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return shot;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (!WaitUntil([&] { return FileExists(done); }, 30000)) return shot;
    std::wstring ppm = Wide("Z:" + base + ".ppm");
    std::replace(ppm.begin(), ppm.end(), L'/', L'\\');
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(ppm, &bytes) || !ParsePpm(bytes, &shot)) return Screenshot{};
    DeleteFileW(ppm.c_str()); // the PNG stays for people; the PPM only served the test
    shot.pngPath = base + ".png";
    return shot;
}

void DiscardScreenshot(const Screenshot& shot) {
    if (shot.pngPath.empty()) return;
    std::wstring path = Wide("Z:" + shot.pngPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    DeleteFileW(path.c_str());
}

// ---- the stand-in compositor
// ----------------------------------------------------------------------

std::vector<std::string> DwmRecord() {
    std::vector<std::string> lines;
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(Env(L"LUMETTA_DWM_LOG"), &bytes)) return lines;
    std::string text(bytes.begin(), bytes.end());
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> DwmCalls(const std::string& fn) {
    std::vector<std::string> out;
    for (const auto& line : DwmRecord()) {
        auto f = JsonField(line, "fn");
        if (f && *f == fn) out.push_back(line);
    }
    return out;
}

std::optional<std::string> JsonField(const std::string& line, const std::string& key) {
    std::string needle = "\"" + key + "\":";
    size_t pos = line.find(needle);
    if (pos == std::string::npos) return std::nullopt;
    pos += needle.size();
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    if (pos >= line.size()) return std::nullopt;
    if (line[pos] == '"') {
        size_t end = line.find('"', pos + 1);
        if (end == std::string::npos) return std::nullopt;
        return line.substr(pos + 1, end - pos - 1);
    }
    if (line[pos] == '[' || line[pos] == '{') {
        char open = line[pos], close = open == '[' ? ']' : '}';
        int depth = 0;
        for (size_t i = pos; i < line.size(); ++i) {
            if (line[i] == open) ++depth;
            if (line[i] == close && --depth == 0) return line.substr(pos, i - pos + 1);
        }
        return std::nullopt;
    }
    size_t end = line.find_first_of(",}", pos);
    return line.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

std::optional<RECT> JsonRect(const std::string& line, const std::string& key) {
    auto text = JsonField(line, key);
    if (!text) return std::nullopt;
    long v[4];
    if (sscanf(text->c_str(), "[%ld,%ld,%ld,%ld]", &v[0], &v[1], &v[2], &v[3]) != 4 &&
        sscanf(text->c_str(), "[%ld, %ld, %ld, %ld]", &v[0], &v[1], &v[2], &v[3]) != 4) {
        return std::nullopt;
    }
    return RECT{v[0], v[1], v[2], v[3]};
}

// ---- registry
// -------------------------------------------------------------------------------------

bool RegSetDword(const std::wstring& key, const std::wstring& name, DWORD value) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_DWORD, &value,
                           sizeof(value)) == ERROR_SUCCESS;
}

bool RegSetString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

bool RegSetBinary(const std::wstring& key, const std::wstring& name, DWORD type,
                  const std::vector<uint8_t>& data) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type, data.data(),
                           static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

std::optional<DWORD> RegGetDword(const std::wstring& key, const std::wstring& name) {
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::wstring> RegGetString(const std::wstring& key, const std::wstring& name) {
    wchar_t buffer[2048];
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

std::optional<std::pair<DWORD, DWORD>> RegValueInfo(const std::wstring& key,
                                                    const std::wstring& name) {
    DWORD type = 0, size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::make_pair(type, size);
}

void RegDeleteValueOf(const std::wstring& key, const std::wstring& name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}

void RegDeleteKeyTree(const std::wstring& key) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

// ---- the stand-in's controls
// ----------------------------------------------------------------------

void SetComposition(bool on) {
    dwmrig::SetComposition(on);
}
void MarkCloaked(HWND hwnd, DWORD value) {
    dwmrig::SetCloaked(hwnd, value);
}
void MarkRefused(HWND hwnd, bool refused) {
    if (refused) {
        dwmrig::SetRefused(hwnd);
    } else {
        dwmrig::ClearRefused(hwnd);
    }
}

// ---- source fixtures
// ------------------------------------------------------------------------------

FixtureProcess StartFixture(const std::wstring& args) {
    static int counter = 0;
    const std::wstring ready = RunPath((L"fixture-" + std::to_wstring(GetCurrentProcessId()) +
                                        L"-" + std::to_wstring(++counter) + L".ready")
                                           .c_str());
    FixtureProcess fixture;
    fixture.process = StartRig(L"fixture.exe", args + L" --ready-file \"" + ready + L"\"");
    // The fixture writes its window handle, under another name first, once it is on the screen.
    WaitUntil(
        [&] {
            std::vector<uint8_t> bytes;
            if (!ReadFileBytes(ready, &bytes)) return false;
            std::string line(bytes.begin(), bytes.end());
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                line.pop_back();
            auto handle = rig::ParseHandleHex(std::string_view(line));
            if (handle) fixture.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(*handle));
            return handle.has_value();
        },
        kWindowTimeoutMs);
    DeleteFileW(ready.c_str());
    return fixture;
}

// ---- resources of another process
// -----------------------------------------------------------------

namespace {

// Wine answers GetGuiResources with ERROR_CALL_NOT_IMPLEMENTED. Its GDI handles live in a table
// of the process itself, which the process's PEB points to (GdiSharedHandleTable, as on Windows);
// a live entry has a non-zero type byte. Read from outside, that counts the process's GDI objects.
constexpr size_t kPebGdiTableOffset64 = 0xF8;
constexpr size_t kGdiEntryBytes = 24;
constexpr size_t kGdiEntryTypeOffset = 14;
constexpr size_t kGdiMaxHandles = 0x10000;

DWORD GdiObjectsFromHandleTable(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                  &length) != 0) {
        return 0;
    }
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process,
                           reinterpret_cast<char*>(basic.PebBaseAddress) + kPebGdiTableOffset64,
                           &table, sizeof(table), &read) ||
        !table) {
        return 0;
    }
    std::vector<uint8_t> entries(kGdiMaxHandles * kGdiEntryBytes);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &read)) return 0;
    DWORD count = 0;
    for (size_t i = 0; i < kGdiMaxHandles; ++i) {
        if (entries[i * kGdiEntryBytes + kGdiEntryTypeOffset] != 0) ++count;
    }
    return count;
}

BOOL CALLBACK CountChildWindows(HWND, LPARAM lp) {
    ++*reinterpret_cast<DWORD*>(lp);
    return TRUE;
}

// Windows are the USER objects a program can leak by the thousand; count them with their children.
DWORD WindowsOfProcess(DWORD pid) {
    DWORD count = 0;
    for (HWND hwnd : FindTopLevel(nullptr, nullptr, pid)) {
        ++count;
        EnumChildWindows(hwnd, CountChildWindows, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

} // namespace

GuiCounts ProcessCounts(DWORD pid) {
    GuiCounts counts;
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!h) return counts;
    SetLastError(0);
    counts.gdi = GetGuiResources(h, GR_GDIOBJECTS);
    counts.user = GetGuiResources(h, GR_USEROBJECTS);
    if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        counts.gdi = GdiObjectsFromHandleTable(h);
        counts.user = WindowsOfProcess(pid);
        counts.userIsWindowCount = true;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(h, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
        // Wine reports no private usage; the working set is the nearest figure it has.
        counts.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.WorkingSetSize;
    }
    CloseHandle(h);
    return counts;
}

} // namespace e2e
