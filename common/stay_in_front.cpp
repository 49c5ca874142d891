#include "stay_in_front.h"

namespace {

// The new foreground window may stack itself on top only once it has
// handled its activation, after the hook's call has reached us: games do so
// on WM_ACTIVATE or later, and Wine stacks an activated window on screen
// late, without changing the window order. For a short while after each
// change the window goes on top again at each look: covered for a look's
// interval at most, and idle again soon.
constexpr UINT kLookIntervalMs = 40;
constexpr int kLooks = 25;  // a second
// A WM_TIMER id of the window's own, clear of the windows' other timers.
constexpr UINT_PTR kLookTimer = 0x7D02;

// Few windows per process ever stay in front: the overlay, the List Channel
// window. The entries are shared between threads under the lock; each
// window's hook calls come on the thread that set the hook, the window's
// own, and only that thread touches the window.
struct Entry {
    HWINEVENTHOOK hook;
    HWND window;
    int looksLeft;
};
constexpr int kEntries = 4;
Entry entries[kEntries]{};
SRWLOCK entriesLock = SRWLOCK_INIT;

// Calls `change` under the lock on the first entry `match` accepts; false
// when none does.
template <typename Match, typename Change>
bool changeEntry(Match match, Change change) {
    AcquireSRWLockExclusive(&entriesLock);
    Entry* found = nullptr;
    for (Entry& e : entries)
        if (!found && match(e)) found = &e;
    if (found) change(*found);
    ReleaseSRWLockExclusive(&entriesLock);
    return found != nullptr;
}

auto byHook(HWINEVENTHOOK hook) {
    return [hook](const Entry& e) { return e.hook && e.hook == hook; };
}
auto byWindow(HWND window) {
    return [window](const Entry& e) { return e.hook && e.window == window; };
}
bool isFree(const Entry& e) { return !e.hook; }

// Asked afresh each time: a function's static with a run-time value costs
// the DLL a lock the C++ runtime allocates once and never frees, so every
// load and unload of the plugin would leave a block behind.
bool runningOnWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

void CALLBACK onLook(HWND window, UINT, UINT_PTR id, DWORD) {
    int looksLeft = 0;
    changeEntry(byWindow(window),
                [&](Entry& e) { looksLeft = e.looksLeft > 0 ? --e.looksLeft : 0; });
    if (looksLeft == 0) KillTimer(window, id);
    bringToFront(window);
}

// Puts the window on top now and at each look for a while.
void lookForAWhile(HWND window) {
    bringToFront(window);
    SetTimer(window, kLookTimer, kLookIntervalMs, onLook);
}

void CALLBACK onForegroundChanged(HWINEVENTHOOK hook, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    HWND window = nullptr;
    changeEntry(byHook(hook), [&](Entry& e) {
        window = e.window;
        e.looksLeft = kLooks;
    });
    if (window && IsWindow(window)) lookForAWhile(window);
}

}  // namespace

bool stayInFront(HWND window) {
    if (changeEntry(byWindow(window), [](Entry&) {})) return true;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND,
                                         nullptr, onForegroundChanged, 0, 0,
                                         WINEVENT_OUTOFCONTEXT);
    if (!hook) return false;
    // A window that starts while a game is still being activated (and, on
    // Wine, stacked on screen late) is covered with no change to come.
    if (changeEntry(isFree, [&](Entry& e) { e = Entry{hook, window, kLooks}; })) {
        lookForAWhile(window);
        return true;
    }
    UnhookWinEvent(hook);
    return false;
}

void stopStayingInFront(HWND window) {
    HWINEVENTHOOK hook = nullptr;
    changeEntry(byWindow(window), [&](Entry& e) {
        hook = e.hook;
        e = Entry{};
    });
    if (hook) UnhookWinEvent(hook);
    KillTimer(window, kLookTimer);
}

void bringToFront(HWND window) {
    if (!IsWindowVisible(window)) return;
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    // Wine may show the window it activated last above one that stays first
    // in the window order, and stacks a window on screen only when its
    // place in the order changes: there a window already first leaves the
    // topmost ones for a moment, which is never drawn. (On Windows the
    // screen shows the order, and a topmost game could show in that moment.)
    if (runningOnWine() && GetWindow(window, GW_HWNDFIRST) == window)
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kOrderOnly);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kOrderOnly);
}
