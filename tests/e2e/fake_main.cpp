#include "fake_main.h"

#include "app/base/constants_win.h"
#include "app/base/handoff.h"
#include "processes.h"

namespace e2e {

FakeMainWindow::FakeMainWindow(Answer answer, DWORD hangMs) : answer_(answer), hangMs_(hangMs) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = lumetta::MAIN_WINDOW_CLASS;
    RegisterClassExW(&windowClass); // a second stand-in finds the class registered already
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE, 0, 0,
                            0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK FakeMainWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<FakeMainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_COPYDATA && self) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto record = lumetta::AcceptHandOff(data->dwData, data->cbData, data->lpData);
        ReceivedHandOff got{nullptr, {}, SystemTimeNow()};
        if (record) {
            got.source = reinterpret_cast<HWND>(uintptr_t(record->sourceWindow));
            got.rect = {record->rect.left, record->rect.top, record->rect.right,
                        record->rect.bottom};
        }
        self->handOffs.push_back(got);
        // Busy, handling no message meanwhile, until the sender gave up or hangMs is over.
        if (self->answer_ == Hang && self->hangUntil)
            WaitForSingleObject(self->hangUntil, self->hangMs_);
        return self->answer_ != Refuse;
    }
    if (message == lumetta::WM_INSTANCE_COMMAND && self) self->instanceCommands.push_back(wParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace e2e
