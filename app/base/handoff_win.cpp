#include "app/base/handoff_win.h"

#include "app/base/handoff.h"
#include "app/base/window_helpers_win.h"

namespace lumetta {

bool SendHandOff(HWND mainWindow, HWND sourceWindow, const RECT& rect) {
    // Window handles are 32-bit values in every process, so the record carries the low half.
    HandOffRecord record = MakeHandOffRecord(
        static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(sourceWindow)), ToRect(rect));
    HandOffBytes bytes = EncodeHandOffRecord(record);
    COPYDATASTRUCT data{};
    data.dwData = HANDOFF_TAG;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.data();
    DWORD_PTR answer = 0;
    LRESULT sent = SendMessageTimeoutW(mainWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                       SMTO_BLOCK | SMTO_ABORTIFHUNG, HANDOFF_TIMEOUT_MS, &answer);
    return sent != 0 && answer != 0;
}

} // namespace lumetta
