#include "fixtures.h"

#include <gtest/gtest.h>

namespace e2e {

static HWND ParseHandle(std::string_view text) {
    const auto handle = rig::ParseHandleHex(text);
    return handle ? reinterpret_cast<HWND>(uintptr_t(*handle)) : nullptr;
}

Fixture StartFixture(int x, int y, int w, int h, const std::wstring& options) {
    static int counter = 0;
    const std::wstring ready = WindowsPath(Utf8(Env(L"LUMETTA_RUN_DIR"))) + L"\\fixture-" +
                               std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(++counter) + L".ready";
    Fixture fixture;
    fixture.client = RECT{x, y, x + w, y + h};
    fixture.process =
        StartRig(L"fixture.exe", L"--client " + std::to_wstring(x) + L"," + std::to_wstring(y) +
                                     L"," + std::to_wstring(w) + L"," + std::to_wstring(h) + L" " +
                                     options + L" --ready-file \"" + ready + L"\"");
    // The fixture writes its window handle, under another name first, once it is on the screen.
    WaitUntil(
        [&] {
            const std::string line = ReadWholeFile(ready).value_or("");
            fixture.hwnd = ParseHandle(std::string_view(line).substr(0, line.find('\n')));
            return fixture.hwnd != nullptr;
        },
        kWindowTimeoutMs);
    DeleteFileW(ready.c_str());
    if (!fixture.hwnd) ADD_FAILURE() << "no fixture window with " << Utf8(options);
    return fixture;
}

std::string HandleText(HWND hwnd) {
    return rig::FormatHandleHex(uint64_t(reinterpret_cast<uintptr_t>(hwnd)));
}

std::wstring HandleArg(HWND hwnd) {
    return Wide(HandleText(hwnd));
}

HWND ShellWindow() {
    return ParseHandle(Utf8(Env(L"LUMETTA_SHELL_HWND")));
}

} // namespace e2e
