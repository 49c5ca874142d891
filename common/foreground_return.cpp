#include "foreground_return.h"

namespace {

constexpr int kSettleLooks = 25;
constexpr DWORD kSettleLookMs = 10;

// A window the keyboard can go to: shown, enabled, of another thread than
// the dialog's (not the overlay), and not one that refuses activation (not
// the List Channel window).
bool canTakeKeyboard(HWND window, DWORD dialogThread) {
    if (!window || !IsWindow(window) || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return false;
    if (GetWindowThreadProcessId(window, nullptr) == dialogThread) return false;
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE) == 0;
}

// The first such window in z-order that is not a tool window, as the
// system picks one when a window without an owner closes.
HWND nextInLine(DWORD dialogThread) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (canTakeKeyboard(w, dialogThread) &&
            (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0)
            return w;
    return nullptr;
}

}  // namespace

void ForegroundReturn::giveBack(HWND dialog) const {
    const DWORD dialogThread = GetWindowThreadProcessId(dialog, nullptr);
    HWND now = GetForegroundWindow();
    // Another program's window: the user has gone on, leave it. None, or the
    // desktop: nobody has the keyboard, so it goes back all the same.
    const bool nobodys = !now || now == GetDesktopWindow() || now == GetShellWindow();
    if (!nobodys && GetWindowThreadProcessId(now, nullptr) != dialogThread) return;
    // A box the remembered window opened meanwhile is where its keyboard is
    // now; a game that has closed leaves the window beneath it.
    HWND to = previous_ && IsWindow(previous_) ? GetLastActivePopup(previous_) : nullptr;
    if (!canTakeKeyboard(to, dialogThread)) to = nextInLine(dialogThread);
    if (!to || !SetForegroundWindow(to)) return;
    // Another thread takes the foreground when it gets to it; a dialog
    // destroyed before then would still be active and hand the keyboard to
    // the next window in line (the desktop). Briefly, sent messages answered.
    for (int look = 0; look < kSettleLooks && GetForegroundWindow() != to; ++look) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kSettleLookMs, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
