#include "overlay_link_process.h"

#include <cwchar>

namespace {

constexpr size_t kPathUnits = 512;

}  // namespace

HANDLE launchOverlayProgram(const wchar_t* path) {
    // The program's folder is its working folder, as a start from Explorer
    // would give it; the command line is the quoted path alone.
    wchar_t folder[kPathUnits];
    wchar_t commandLine[kPathUnits + 2];
    if (wcsncpy_s(folder, kPathUnits, path, _TRUNCATE) != 0) return nullptr;
    if (wchar_t* slash = wcsrchr(folder, L'\\')) *slash = L'\0';
    if (swprintf(commandLine, kPathUnits + 2, L"\"%ls\"", path) < 0) return nullptr;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    // A console of its own, as a start from Explorer gives it: one shared
    // with the client (where it has one) makes every notification in a
    // burst cost the client a fifth more.
    if (!CreateProcessW(path, commandLine, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        folder[0] ? folder : nullptr, &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

bool processOwnsWindow(HANDLE process, HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid != 0 && pid == GetProcessId(process);
}

void endStartedProcess(HANDLE process, DWORD waitMs) {
    if (!process) return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        if (waitMs) WaitForSingleObject(process, waitMs);
    }
    CloseHandle(process);
}
