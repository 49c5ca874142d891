#include "list_settings_dialog.h"

#include <atomic>
#include <utility>

#include "dialog_controls.h"
#include "foreground_return.h"
#include "globals.h"
#include "library_thread.h"
#include "list_config.h"
#include "list_settings_dialog_ids.h"
#include "localized_resources.h"
#include "list_window.h"
#include "resource_ids.h"

static_assert(IDS_RESET_QUESTION == kResetQuestionString, "one RESET question");

namespace {

// Shutdown's request to cancel, posted to the dialog until its thread ends.
constexpr UINT kEndRequestMessage = WM_APP + 2;
// Another right click while the dialog is open: it comes to the front.
constexpr UINT kComeForwardMessage = WM_APP + 3;
constexpr DWORD kEndRepeatMs = 100;
constexpr DWORD kCloseWaitMs = 3000;

// Both colour buttons share its custom colours until the plugin is unloaded.
ColourPicker colourPicker;

// The dialog's thread, and whether a new one may start: guarded by
// threadLock (the window's thread opens, shutdown's thread closes).
PluginLock threadLock;
LibraryThread dialogThread;
bool dialogsAllowed = true;
std::atomic<HWND> openDialog{nullptr};
// Only the dialog's thread uses it.
ForegroundReturn foreground;

template <typename Edit>
void editDraft(Edit edit) {
    PluginLockGuard guard(listConfigLock);
    edit(listConfigDraft);
}

// The window belongs to another thread: everything asked of it goes
// there. The draft's look, without a caption even during configure, and
// painted with the draft's colours.
void showPreview() {
    if (HWND window = listWindow) commandListWindow(window, LIST_PREVIEW);
}

void fillControls(HWND dialog) {
    const ListChannelConfig d = copyListConfigDraft();
    fillOpacityThumb(dialog, IDC_LIST_OPACITY, d.opacity);
    tickWhenOne(dialog, IDC_LIST_BORDER, d.border);
    setTicked(dialog, IDC_LIST_TRANSPARENT, d.transparentBackground == 1);
}

INT_PTR onInitDialog(HWND dialog) {
    openDialog = dialog;
    // Owned by no window (see runDialog), yet never beneath the List
    // Channel window it previews on, which stays in front of everything.
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    {
        PluginLockGuard guard(listConfigLock);
        listConfigDraft = listConfig;
    }
    showPreview();
    fillControls(dialog);
    return TRUE;
}

void onColour(HWND dialog, uint32_t ListChannelConfig::*field) {
    const COLORREF picked = colourPicker.pick(dialog, copyListConfigDraft().*field);
    editDraft([&](ListChannelConfig& d) { d.*field = picked; });
    showPreview();
}

void onReset(HWND dialog) {
    if (!confirmReset(dialog, pluginInstance, uiLanguage())) return;
    editDraft([](ListChannelConfig& d) { resetListChannelConfig(d); });
    // The window first: once the controls show the defaults, so does it.
    showPreview();
    fillControls(dialog);
}

// Either box: both are read, whichever was clicked.
void onStyleBox(HWND dialog) {
    const uint8_t border = isTicked(dialog, IDC_LIST_BORDER) ? 1 : 0;
    const uint8_t transparent = isTicked(dialog, IDC_LIST_TRANSPARENT) ? 1 : 0;
    editDraft([&](ListChannelConfig& d) {
        d.border = border;
        d.transparentBackground = transparent;
    });
    showPreview();
    SetFocus(dialog);
}

// Back to the live record (during configure that means the caption again),
// then the keyboard to where it was.
void closeDialog(HWND dialog, int id) {
    {
        PluginLockGuard guard(listConfigLock);
        listConfigDraft = listConfig;
    }
    if (HWND window = listWindow) commandListWindow(window, LIST_RESTYLE);
    foreground.giveBack(dialog);
    EndDialog(dialog, id);
}

void onOk(HWND dialog) {
    ListChannelConfig kept;
    {
        PluginLockGuard guard(listConfigLock);
        listConfig = listConfigDraft;
        kept = listConfig;
    }
    saveListChannelConfig(kept);
    closeDialog(dialog, IDOK);
}

void onCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_LIST_AWAY_COLOUR: onColour(dialog, &ListChannelConfig::awayColour); break;
    case IDC_LIST_TEXT_COLOUR: onColour(dialog, &ListChannelConfig::textColour); break;
    case IDC_LIST_RESET: onReset(dialog); break;
    case IDC_LIST_BORDER:
    case IDC_LIST_TRANSPARENT: onStyleBox(dialog); break;
    case IDOK: onOk(dialog); break;
    case IDCANCEL: closeDialog(dialog, IDCANCEL); break;
    default: break;
    }
}

void onScroll(HWND dialog, WPARAM wParam, LPARAM lParam) {
    uint8_t opacity = 0;
    if (!draggedOpacity(dialog, IDC_LIST_OPACITY, wParam, lParam, &opacity)) return;
    editDraft([&](ListChannelConfig& d) { d.opacity = opacity; });
    showPreview();
}

// A colour picker or the RESET question open over the dialog: each is a
// modal loop of its own, ended first. Only our dialogs live on this thread.
BOOL CALLBACK endNestedBox(HWND window, LPARAM param) {
    auto* nested = reinterpret_cast<std::pair<HWND, bool>*>(param);
    wchar_t cls[16] = L"";
    GetClassNameW(window, cls, 16);
    if (window != nested->first && lstrcmpW(cls, L"#32770") == 0) {
        EndDialog(window, IDCANCEL);
        nested->second = true;
    }
    return TRUE;
}

// Shutdown: CANCEL, once no box is left over the dialog (the request comes
// again until the thread has ended).
void onEndRequest(HWND dialog) {
    std::pair<HWND, bool> nested{dialog, false};
    EnumThreadWindows(GetCurrentThreadId(), endNestedBox, reinterpret_cast<LPARAM>(&nested));
    if (!nested.second) closeDialog(dialog, IDCANCEL);
}

// Another right click on the List Channel window. The click went to this
// process, which may therefore take the foreground; a colour picker or
// question open over the dialog is what comes forward then.
void onComeForward(HWND dialog) { SetForegroundWindow(GetLastActivePopup(dialog)); }

INT_PTR CALLBACK listSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return FALSE;
    case WM_HSCROLL:
        onScroll(dialog, wParam, lParam);
        return FALSE;
    case kEndRequestMessage:
        onEndRequest(dialog);
        return FALSE;
    case kComeForwardMessage:
        onComeForward(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

// Owned by no window: DialogBox disables its owner, and a disabled List
// Channel window would take no further right click; and an owner on the
// client's GUI thread would tie this thread's input to that one, so the
// dialog would stall whenever the client is busy.
void runDialog(void*) {
    initDialogControls();
    foreground.remember();
    runDialogInLanguage(pluginInstance, IDD_LIST_SETTINGS, uiLanguage(), nullptr,
                        listSettingsDialogProc, 0);
    openDialog = nullptr;
}

}  // namespace

void openListSettingsDialog(HWND) {
    PluginLockGuard guard(threadLock);
    if (!dialogsAllowed || dialogThread.start(runDialog, nullptr)) return;
    // One is open already.
    if (HWND open = openDialog) PostMessageW(open, kComeForwardMessage, 0, 0);
}

void closeListSettingsDialog() {
    HANDLE thread = nullptr;
    {
        PluginLockGuard guard(threadLock);
        dialogsAllowed = false;
        thread = dialogThread.take();
    }
    if (!thread) return;
    // The dialog's closing asks things of the List Channel window, which
    // may belong to this thread: answer what is sent meanwhile (and only
    // that: posted messages wait for the thread's own loop).
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND dialog = openDialog) PostMessageW(dialog, kEndRequestMessage, 0, 0);
        const DWORD waited =
            MsgWaitForMultipleObjects(1, &thread, FALSE, kEndRepeatMs, QS_SENDMESSAGE);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_FAILED) break;
        if (waited == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        if (GetTickCount() - start >= kCloseWaitMs) break;
    }
    CloseHandle(thread);
}

void allowListSettingsDialog() {
    PluginLockGuard guard(threadLock);
    dialogsAllowed = true;
}
