#pragma once
// Drives dialogs the way a user would, from another thread or another
// process: finds them, types into their boxes, clicks their buttons and
// answers their message boxes. Everything goes through window messages, so
// it works across processes.
#include <windows.h>

#include <functional>
#include <string>

namespace dialogs {

// Polls until `condition` holds; false after `timeoutMs`.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The first top-level dialog (class #32770) of process `processId` for
// which `match` holds, visible or not; null after `timeoutMs`.
HWND waitForDialog(DWORD processId, const std::function<bool(HWND)>& match,
                   DWORD timeoutMs = 10000);
// A dialog of that process that has a control `controlId` of class
// `controlClass`.
HWND waitForDialogWith(DWORD processId, int controlId, const wchar_t* controlClass,
                       DWORD timeoutMs = 10000);
// The message box owned by `owner`; null after `timeoutMs`.
HWND waitForMessageBox(HWND owner, DWORD timeoutMs = 10000);
// Reads what the message box owned by `owner` says (and its caption into
// `caption`), presses `button` and waits until the box has closed.
// "(no message box)" when none comes.
std::wstring answer(HWND owner, int button, std::wstring* caption = nullptr);
// True when `owner` owns a message box right now.
bool hasMessageBox(HWND owner);
// The colour picker owned by `owner`; null after `timeoutMs`.
HWND waitForColourPicker(HWND owner, DWORD timeoutMs = 10000);

std::wstring className(HWND window);
// WM_GETTEXT, marshalled when the window lives in another process.
std::wstring text(HWND window);
std::wstring itemText(HWND dialog, int id);
// What a message box says.
std::wstring messageText(HWND box);

// WM_SETTEXT; returns once handled, or after `timeoutMs` when the handling
// opens something modal (the text is copied at once, so this is safe).
void setItemText(HWND dialog, int id, const std::wstring& value, DWORD timeoutMs = 1000);
// Posts a click, so a click that opens a modal window does not block us.
void click(HWND dialog, int id);
bool checked(HWND dialog, int id);

// The thumb-drag notification a trackbar sends its parent.
void thumbTrack(HWND dialog, int trackbarId, int position);
// Any other scroll notification from that trackbar.
void scrollNotify(HWND dialog, int trackbarId, WORD code, int position = 0);

// Sets the picker's red, green and blue boxes.
void setPickerColour(HWND picker, COLORREF colour);

bool waitClosed(HWND window, DWORD timeoutMs = 10000);

// The window holding the keyboard focus on `window`'s thread.
HWND focusOf(HWND window);

}  // namespace dialogs
