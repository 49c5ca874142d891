#pragma once
// Top-level windows of this process only: other test programs running at
// the same time may show windows of the same class.
#include <windows.h>

// The first top-level window of this process of the class, or null.
HWND ownWindowOfClass(const wchar_t* className);
// This process's List Channel window, or null.
inline HWND ownListWindow() { return ownWindowOfClass(L"ListChannel"); }
