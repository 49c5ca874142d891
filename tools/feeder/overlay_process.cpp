#include "overlay_process.h"

#include <vector>

#include "display_channel.h"

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[16] = L"";
    GetWindowTextW(window, title, 16);
    if (owner == search->processId && lstrcmpW(title, channel::kWindowTitle) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool OverlayProcess::start(const std::wstring& exePath, bool captureOutput) {
    stop();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    UniqueKernelHandle outputWrite;
    if (captureOutput) {
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        HANDLE read = nullptr, write = nullptr;
        if (!CreatePipe(&read, &write, &sa, 1 << 16)) return false;
        outputRead_.reset(read);
        outputWrite.reset(write);
        // Only the write end goes to the child.
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = write;
        si.hStdError = write;
    }
    std::wstring commandLine = L"\"" + exePath + L"\"";
    PROCESS_INFORMATION pi{};
    // A loaded Wine now and then fails a start with an internal error; the
    // same start tried again a moment later works.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started = CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr,
                                 captureOutput, 0, nullptr, nullptr, &si, &pi);
        if (!started && GetLastError() != ERROR_INTERNAL_ERROR) return false;
        if (!started) Sleep(100);
    }
    if (!started) return false;
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    id_ = pi.dwProcessId;
    window_ = nullptr;
    return true;
}

bool OverlayProcess::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

HWND OverlayProcess::waitForWindow(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search{id_, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return window_ = search.found;
        if (!running() || GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(20);
    }
}

int OverlayProcess::waitForExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<int>(code);
}

int OverlayProcess::stop(DWORD graceMs) {
    if (!process_) return -1;
    int code = -1;
    if (running()) {
        HWND w = window_ ? window_ : waitForWindow(0);
        DWORD_PTR ignored = 0;
        if (w)
            SendMessageTimeoutW(w, DISPLAY_MESSAGE, DISPLAY_QUIT, 0, SMTO_ABORTIFHUNG, graceMs,
                                &ignored);
        code = waitForExit(graceMs);
        if (code < 0) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), graceMs);
        }
    } else {
        code = waitForExit(0);
    }
    process_.reset();
    window_ = nullptr;
    return code;
}

std::string OverlayProcess::output() {
    std::string text;
    if (!outputRead_ || running()) return text;
    char buffer[4096];
    DWORD got = 0;
    DWORD available = 0;
    // The program is gone, but its write end may live on in a process it
    // started; read only what is there instead of waiting for the end.
    while (PeekNamedPipe(outputRead_.get(), nullptr, 0, nullptr, &available, nullptr) &&
           available > 0 && ReadFile(outputRead_.get(), buffer, sizeof buffer, &got, nullptr) &&
           got > 0)
        text.append(buffer, got);
    std::string clean;
    for (char c : text)
        if (c != '\r') clean += c;
    return clean;
}

std::wstring executableDirectory() {
    wchar_t path[MAX_PATH] = L"";
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n < MAX_PATH ? n : 0);
    const size_t slash = dir.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1);
}
