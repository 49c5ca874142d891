#pragma once
// For a wait on a thread that owns windows other threads talk to: their
// messages are answered meanwhile, and a quit request met on the way is
// handed back to the thread's own loop when the wait is over.
#include <windows.h>

class MessagePump {
public:
    MessagePump() = default;
    MessagePump(const MessagePump&) = delete;
    MessagePump& operator=(const MessagePump&) = delete;
    ~MessagePump() {
        if (quit_) PostQuitMessage(static_cast<int>(quitCode_));
    }

    // Dispatches every message waiting for this thread but the quit request.
    void drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit_ = true;
                quitCode_ = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

private:
    bool quit_ = false;
    WPARAM quitCode_ = 0;
};
