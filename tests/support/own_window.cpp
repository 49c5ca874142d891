#include "own_window.h"

#include <cwchar>

namespace {

struct Search {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK noteWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (pid != search->processId || wcscmp(name, search->className) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND topWindowOf(DWORD processId, const wchar_t* className) {
    Search search{processId, className, nullptr};
    EnumWindows(noteWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
