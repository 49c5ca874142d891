#pragma once
// Top-level windows of one process: other test programs running at the
// same time may show windows of the same class.
#include <windows.h>

// The first top-level window of that process and class, or null.
HWND topWindowOf(DWORD processId, const wchar_t* className);
inline HWND ownWindowOfClass(const wchar_t* className) {
    return topWindowOf(GetCurrentProcessId(), className);
}
// This process's List Channel window, or null.
inline HWND ownListWindow() { return ownWindowOfClass(L"ListChannel"); }
