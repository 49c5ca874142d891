#include "game_process.h"

#include <string>

#include "click.h"
#include "game_window.h"
#include "own_window.h"
#include "wine_path.h"

namespace {

constexpr wchar_t kElsewhereClass[] = L"TalvoriTestElsewhere";
// Long enough for the X server to answer a focus change on a loaded machine.
constexpr int kFocusNewsMs = 300;

std::wstring gameExecutable() { return wideWinePath(TALVORI_BACKDROP_EXE); }

// A small ordinary window of this thread, to hold the foreground meanwhile.
HWND createElsewhere() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kElsewhereClass;
    RegisterClassW(&wc);
    const int right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    return CreateWindowExW(0, kElsewhereClass, L"Elsewhere", WS_POPUP | WS_VISIBLE, right - 40,
                           bottom - 40, 30, 30, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace

GameProcess::GameProcess(SIZE area, GameStacking stacking) {
    const std::wstring exe = gameExecutable();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (stacking == GameStacking::topmost) commandLine += L" --topmost";
    commandLine += L" --size " + std::to_wstring(area.cx) + L" " + std::to_wstring(area.cy);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return;
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    WaitForInputIdle(pi.hProcess, 10000);
    for (int waited = 0; waited < 10000 && !hasForeground(); waited += 20) {
        window_ = topWindowOf(pi.dwProcessId, backdrop::kGameClass);
        Sleep(20);
    }
    // Until the game has handled its activation, stacking itself on top.
    WaitForInputIdle(pi.hProcess, 10000);
}

void GameProcess::close() {
    if (process_) {
        if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_.get(), 1);
        process_.reset();
    }
    window_ = nullptr;
    if (elsewhere_) DestroyWindow(elsewhere_);
    elsewhere_ = nullptr;
}

bool GameProcess::hasKeyboard() const {
    if (!hasForeground()) return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info) &&
           info.hwndActive == window_ && info.hwndFocus == window_;
}

DWORD GameProcess::activateAgain(POINT at) {
    if (!elsewhere_) elsewhere_ = createElsewhere();
    // The window lives on this thread, which answers its activation and,
    // after the click, its deactivation: a foreground window whose thread
    // does not, Wine may replace with its desktop on a busy machine.
    SetForegroundWindow(elsewhere_);
    for (int waited = 0; waited < 3000 && GetForegroundWindow() != elsewhere_; waited += 20)
        real_input::pumpWindowMessages(20);
    // Wine moves the X input focus after the foreground, and this thread
    // hears of it only while it waits for messages. Heard after the click,
    // that old focus news makes this window the foreground again and, as
    // the focus is the game's by then, Wine hands the foreground to its
    // desktop. So the switch is heard out before the click.
    real_input::pumpWindowMessages(kFocusNewsMs);
    if (GetForegroundWindow() != elsewhere_) return 0;
    const DWORD now = GetTickCount();
    return backdrop::clickAt(at) ? (now ? now : 1) : 0;
}

bool isAbove(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

BackInFront awaitBackInFront(DWORD since, const std::function<bool()>& inFront,
                             const std::function<void(int ms)>& idle, DWORD holdMs,
                             DWORD limitMs) {
    BackInFront result;
    bool staying = false;
    int missed = 0;  // samples out of front in a row
    DWORD stayStart = 0;
    for (;;) {
        const DWORD now = GetTickCount();
        if (inFront()) {
            if (!staying) stayStart = now;
            staying = true;
            missed = 0;
        } else if (++missed > 1) {
            staying = false;
        }
        if (staying && missed == 0 && now - stayStart >= holdMs) {
            result.held = true;
            result.afterMs = stayStart - since;
            return result;
        }
        if (now - since >= limitMs + holdMs) return result;
        idle(5);
    }
}
