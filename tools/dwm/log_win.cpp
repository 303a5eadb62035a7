#include "log_win.h"

#include <windows.h>

#include "constants.h"

namespace dwmrig {
namespace {

bool LogPath(wchar_t* path, DWORD capacity) {
    const DWORD n = GetEnvironmentVariableW(ENV_LOG_PATH, path, capacity);
    return n > 0 && n < capacity;
}

} // namespace

bool RecordWanted() {
    wchar_t path[MAX_PATH];
    return LogPath(path, MAX_PATH);
}

Record BeginCallRecord(const char* fn) {
    return BeginRecord(fn, GetCurrentProcessId(), GetCurrentThreadId());
}

void WriteRecordLine(const std::string& line) {
    wchar_t path[MAX_PATH];
    if (!LogPath(path, MAX_PATH)) return;
    // A call must not fail because of the record: errors here are dropped. The last error is kept
    // so that the emulated call leaves it as the caller expects.
    const DWORD lastError = GetLastError();
    HANDLE mutex = CreateMutexW(nullptr, FALSE, LOG_MUTEX_NAME);
    const DWORD wait = mutex ? WaitForSingleObject(mutex, LOG_MUTEX_WAIT_MS) : WAIT_FAILED;
    const bool owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    HANDLE file =
        CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    if (owned) ReleaseMutex(mutex);
    if (mutex) CloseHandle(mutex);
    SetLastError(lastError);
}

} // namespace dwmrig
