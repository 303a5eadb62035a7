// A stand-in for the main instance's window: the main window's class and title in this process,
// so that a selection process under test hands its result here instead of starting a main
// instance. It lives on the test's thread, whose waits handle its messages; it records every
// hand-off and instance command it receives.
#pragma once

#include "rig.h"

namespace e2e {

struct ReceivedHandOff {
    HWND source = nullptr; // as the program's own check of what arrives reads it; null if refused
    RECT rect{};
    uint64_t receivedAt = 0; // system time (100 ns units) when the window procedure got it
};

class FakeMainWindow {
public:
    enum Answer {
        Accept, // answers 1 at once
        Refuse, // answers 0 at once
        Hang,   // answers 1 only once `hangUntil` is signalled or hangMs passed, as a hung
                // program does not answer
    };
    explicit FakeMainWindow(Answer answer = Accept, DWORD hangMs = 0);
    FakeMainWindow(const FakeMainWindow&) = delete;
    FakeMainWindow& operator=(const FakeMainWindow&) = delete;
    ~FakeMainWindow() { DestroyWindow(hwnd_); }

    // What came, handled while the test waits (a selection process's hand-off is in before it
    // ends; an exit request is posted, so it may come a little later).
    std::vector<ReceivedHandOff> handOffs;
    std::vector<WPARAM> instanceCommands;
    // With Hang: what ends the hang, such as the sender's process ending.
    HANDLE hangUntil = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    const Answer answer_;
    const DWORD hangMs_;
    HWND hwnd_ = nullptr;
};

} // namespace e2e
