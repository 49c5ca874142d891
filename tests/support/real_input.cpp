#include "real_input.h"

#include "click.h"
#include "dialog_driver.h"

namespace real_input {

namespace {
constexpr int kStepMs = 40;  // what a window needs to handle one mouse event
// Few enough that a long drag leaves a window in one step, as a quick hand
// does.
constexpr int kDragSteps = 4;
}  // namespace

void pumpWindowMessages(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

bool settled(const std::function<bool()>& condition) {
    constexpr DWORD kHeldMs = 300;
    DWORD since = 0;
    bool holding = false;
    return dialogs::waitUntil([&] {
        if (!condition()) {
            holding = false;
            return false;
        }
        if (!holding) {
            holding = true;
            since = GetTickCount();
        }
        return GetTickCount() - since >= kHeldMs;
    });
}

bool click(POINT screen, bool right) {
    // The pointer arrives first, as a user's does. A press that comes with
    // the move, on a dialog that has just shown, was now and then lost under
    // Wine.
    SetCursorPos(screen.x, screen.y);
    dialogs::waitUntil([&] {
        POINT now{};
        GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    }, 1000);
    return backdrop::clickAt(screen, right);
}

POINT centreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void moveTo(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    pumpWindowMessages(kStepMs);
}

void button(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
    pumpWindowMessages(kStepMs);
}

void drag(POINT from, POINT to, DWORD down, DWORD up) {
    moveTo(from);
    button(down);
    for (int i = 1; i <= kDragSteps; ++i)
        moveTo(POINT{from.x + (to.x - from.x) * i / kDragSteps,
                     from.y + (to.y - from.y) * i / kDragSteps});
    button(up);
}

}  // namespace real_input
