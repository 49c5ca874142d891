#include "dialog_driver.h"

#include <colordlg.h>
#include <commctrl.h>

namespace dialogs {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
// The text of a message box sits in a static control with this id.
constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kSendTimeoutMs = 5000;

struct Search {
    DWORD processId;
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK visitTopLevel(HWND window, LPARAM param) {
    Search& s = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s.processId || className(window) != kDialogClass) return TRUE;
    if (!(*s.match)(window)) return TRUE;
    s.found = window;
    return FALSE;
}

bool ownedBy(HWND window, HWND owner) { return GetWindow(window, GW_OWNER) == owner; }

bool isMessageBox(HWND window) {
    HWND textItem = GetDlgItem(window, kMessageTextId);
    return textItem && className(textItem) == L"Static";
}

DWORD processOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(15);
    }
}

HWND waitForDialog(DWORD processId, const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            Search s{processId, &match, nullptr};
            EnumWindows(visitTopLevel, reinterpret_cast<LPARAM>(&s));
            found = s.found;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND waitForDialogWith(DWORD processId, int controlId, const wchar_t* controlClass,
                       DWORD timeoutMs) {
    return waitForDialog(
        processId,
        [&](HWND d) {
            HWND item = GetDlgItem(d, controlId);
            return item && className(item) == controlClass;
        },
        timeoutMs);
}

namespace {

// Shown and holding the focus: a click now lands on a settled window, not
// one still being activated.
// A box or picker is ready once its modal loop has given it the focus. Under
// a loaded machine another top-level window may take the focus back for a
// moment (an activation arriving late from the X server); a window that has
// stayed visible for a second has finished its set-up all the same.
HWND whenReady(HWND window, DWORD timeoutMs) {
    if (!window) return nullptr;
    DWORD visibleSince = 0;
    const bool ready = waitUntil(
        [&] {
            if (!IsWindowVisible(window)) {
                visibleSince = 0;
                return false;
            }
            if (!visibleSince) visibleSince = GetTickCount();
            HWND focus = focusOf(window);
            return focus == window || IsChild(window, focus) ||
                   GetTickCount() - visibleSince >= 1000;
        },
        timeoutMs);
    return ready ? window : nullptr;
}

HWND findMessageBox(HWND owner, DWORD timeoutMs) {
    return waitForDialog(
        processOf(owner), [&](HWND d) { return ownedBy(d, owner) && isMessageBox(d); }, timeoutMs);
}

}  // namespace

HWND waitForMessageBox(HWND owner, DWORD timeoutMs) {
    return whenReady(findMessageBox(owner, timeoutMs), timeoutMs);
}

std::wstring answer(HWND owner, int button, std::wstring* caption) {
    HWND box = waitForMessageBox(owner);
    if (!box) return L"(no message box)";
    const std::wstring said = messageText(box);
    if (caption) *caption = text(box);
    click(box, button);
    if (!waitClosed(box)) return L"(message box did not close)";
    return said;
}

bool hasMessageBox(HWND owner) { return findMessageBox(owner, 0) != nullptr; }

HWND waitForColourPicker(HWND owner, DWORD timeoutMs) {
    return whenReady(waitForDialog(
                         processOf(owner),
                         [&](HWND d) { return ownedBy(d, owner) && GetDlgItem(d, COLOR_RED); },
                         timeoutMs),
                     timeoutMs);
}

std::wstring className(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring text(HWND window) {
    wchar_t buffer[512] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer),
                             SMTO_NORMAL, kSendTimeoutMs, &copied))
        return L"";
    buffer[511] = L'\0';
    return buffer;
}

std::wstring itemText(HWND dialog, int id) { return text(GetDlgItem(dialog, id)); }

std::wstring messageText(HWND box) { return itemText(box, kMessageTextId); }

void setItemText(HWND dialog, int id, const std::wstring& value, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(value.c_str()), SMTO_NORMAL, timeoutMs, &result);
}

void click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool checked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs,
                        &state);
    return state == BST_CHECKED;
}

void thumbTrack(HWND dialog, int trackbarId, int position) {
    scrollNotify(dialog, trackbarId, TB_THUMBTRACK, position);
}

void scrollNotify(HWND dialog, int trackbarId, WORD code, int position) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(dialog, WM_HSCROLL, MAKEWPARAM(code, position),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, trackbarId)), SMTO_NORMAL,
                        kSendTimeoutMs, &result);
}

void setPickerColour(HWND picker, COLORREF colour) {
    setItemText(picker, COLOR_RED, std::to_wstring(GetRValue(colour)));
    setItemText(picker, COLOR_GREEN, std::to_wstring(GetGValue(colour)));
    setItemText(picker, COLOR_BLUE, std::to_wstring(GetBValue(colour)));
}

bool waitClosed(HWND window, DWORD timeoutMs) {
    return waitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

}  // namespace dialogs
