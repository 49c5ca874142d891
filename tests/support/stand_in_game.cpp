#include "stand_in_game.h"

#include <string>

#include "click.h"
#include "dialog_driver.h"

namespace {

constexpr wchar_t kGameClass[] = L"TalvoriBackdrop";

std::wstring backdropCommandLine(SIZE size) {
    const std::string unixPath = TALVORI_BACKDROP_EXE;
    std::wstring path(unixPath.begin(), unixPath.end());
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return L"\"" + path + L"\" --size " + std::to_wstring(size.cx) + L" " +
           std::to_wstring(size.cy);
}

}  // namespace

bool StandInGame::start(SIZE size) {
    std::wstring command = backdropCommandLine(size);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    dialogs::waitUntil([&] {
        HWND found = FindWindowW(kGameClass, nullptr);
        DWORD owner = 0;
        if (found) GetWindowThreadProcessId(found, &owner);
        if (owner == info.dwProcessId) window_ = found;
        return window_ != nullptr;
    });
    return window_ && dialogs::waitUntil([&] { return GetForegroundWindow() == window_; });
}

StandInGame::~StandInGame() { close(); }

void StandInGame::close() {
    if (!process_) return;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
    process_ = nullptr;
    window_ = nullptr;
}

bool StandInGame::hasKeyboard() const {
    if (!window_ || GetForegroundWindow() != window_) return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info) &&
           info.hwndActive == window_ && info.hwndFocus == window_;
}

namespace real_input {

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

}  // namespace real_input
