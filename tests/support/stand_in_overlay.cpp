#include "stand_in_overlay.h"

#include <string>

#include "display_channel.h"

namespace {
// The overlay's own class: the plugin looks the window up by class and title.
constexpr const wchar_t* kStandInClass = channel::kWindowClass;
constexpr DWORD kHoldLimitMs = 20000;  // a broken test must not hang forever
constexpr UINT kHangMessage = WM_APP + 7;

// An open dialog's loop: every message is answered while it waits.
void waitAnswering(HANDLE event, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return;
        if (MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - elapsed, QS_ALLINPUT) !=
            WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}
}

StandInOverlay::StandInOverlay(LRESULT settingsAnswer)
    : answer_(settingsAnswer), release_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { run(ready); });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
}

StandInOverlay::~StandInOverlay() {
    SetEvent(release_);
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (thread_.joinable()) thread_.join();
    CloseHandle(release_);
}

void StandInOverlay::run(HANDLE ready) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kStandInClass;
    RegisterClassExW(&wc);  // may already exist from an earlier stand-in
    window_ = CreateWindowExW(0, kStandInClass, channel::kWindowTitle, WS_POPUP, 0, 0, 10, 10,
                              nullptr, nullptr, wc.hInstance, this);
    SetEvent(ready);
    if (!window_) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

LRESULT CALLBACK StandInOverlay::proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<StandInOverlay*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    switch (m) {
    case DISPLAY_MESSAGE: return self ? self->onDisplayMessage(wp, lp) : 0;
    case kHangMessage:
        if (self) WaitForSingleObject(self->release_, kHoldLimitMs);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(w, m, wp, lp);
    }
}

LRESULT StandInOverlay::onDisplayMessage(WPARAM code, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        codes_.push_back(code);
    }
    if (code != DISPLAY_OPEN_SETTINGS) return 0;
    settingsParam_ = lParam;
    if (held_) waitAnswering(release_, kHoldLimitMs);
    return answer_;
}

void StandInOverlay::hang() {
    ResetEvent(release_);
    PostMessageW(window_, kHangMessage, 0, 0);
}

std::vector<WPARAM> StandInOverlay::codes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return codes_;
}

bool StandInOverlay::waitForCode(WPARAM code, DWORD timeoutMs, size_t count) const {
    DWORD start = GetTickCount();
    for (;;) {
        size_t seen = 0;
        for (WPARAM c : codes())
            if (c == code) ++seen;
        if (seen >= count) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        // The caller's thread may own a window of the plugin's that another
        // thread is talking to: keep it answering while waiting.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {
// Only a box of this process: another test program may show one of its own.
HWND ownBox() {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", channel::kWindowTitle));) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId()) return w;
    }
    return nullptr;
}
}  // namespace

MessageBoxWatcher::MessageBoxWatcher(DWORD timeoutMs) {
    thread_ = std::thread([this, timeoutMs] {
        DWORD start = GetTickCount();
        while (!stop_ && GetTickCount() - start < timeoutMs) {
            HWND box = ownBox();
            if (box) {
                char text[128] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's message
                text_ = text;
                found_ = true;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool MessageBoxWatcher::dismissed() {
    if (thread_.joinable()) thread_.join();
    return found_;
}
