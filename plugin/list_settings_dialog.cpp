#include "list_settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <utility>

#include "globals.h"
#include "library_thread.h"
#include "list_config.h"
#include "list_settings_dialog_ids.h"
#include "localized_resources.h"
#include "list_window.h"
#include "resource_ids.h"

namespace {

constexpr wchar_t kMessageCaption[] = L"TALVORI";
constexpr int kMessageUnits = 100;
constexpr WORD kMinOpacity = 25;
constexpr WORD kMaxOpacity = 255;
// Shutdown's request to cancel, posted to the dialog until its thread ends.
constexpr UINT kEndRequestMessage = WM_APP + 2;
// Another right click while the dialog is open: it comes to the front.
constexpr UINT kComeForwardMessage = WM_APP + 3;
constexpr DWORD kEndRepeatMs = 100;
constexpr DWORD kCloseWaitMs = 3000;

// Shared by both colour buttons and offered again at every opening until
// the plugin is unloaded; never saved.
COLORREF customColours[16];
// One picker request, reused for every call.
CHOOSECOLORW colourRequest;

// The dialog's thread, and whether a new one may start: guarded by
// threadLock (the window's thread opens, shutdown's thread closes).
PluginLock threadLock;
LibraryThread dialogThread;
bool dialogsAllowed = true;
std::atomic<HWND> openDialog{nullptr};

bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

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
    SendDlgItemMessageW(dialog, IDC_LIST_OPACITY, TBM_SETRANGE, TRUE,
                        MAKELPARAM(kMinOpacity, kMaxOpacity));
    SendDlgItemMessageW(dialog, IDC_LIST_OPACITY, TBM_SETPOS, TRUE, d.opacity);
    if (d.border == 1) CheckDlgButton(dialog, IDC_LIST_BORDER, BST_CHECKED);
    CheckDlgButton(dialog, IDC_LIST_TRANSPARENT,
                   d.transparentBackground == 1 ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR onInitDialog(HWND dialog) {
    openDialog = dialog;
    {
        PluginLockGuard guard(listConfigLock);
        listConfigDraft = listConfig;
    }
    showPreview();
    fillControls(dialog);
    return TRUE;
}

// The picked colour, or `current` when the user cancels or the picker fails.
COLORREF pickColour(HWND dialog, COLORREF current) {
    colourRequest.lStructSize = sizeof(CHOOSECOLORW);
    colourRequest.hwndOwner = dialog;
    colourRequest.rgbResult = current;
    colourRequest.lpCustColors = customColours;
    colourRequest.Flags = CC_RGBINIT | CC_FULLOPEN;
    return ChooseColorW(&colourRequest) ? colourRequest.rgbResult : current;
}

void onAwayColour(HWND dialog) {
    const COLORREF picked = pickColour(dialog, copyListConfigDraft().awayColour);
    editDraft([&](ListChannelConfig& d) { d.awayColour = picked; });
    showPreview();
}

void onTextColour(HWND dialog) {
    const COLORREF picked = pickColour(dialog, copyListConfigDraft().textColour);
    editDraft([&](ListChannelConfig& d) { d.textColour = picked; });
    showPreview();
}

void onReset(HWND dialog) {
    wchar_t text[kMessageUnits];
    loadStringInLanguage(pluginInstance, IDS_RESET_QUESTION, uiLanguage(), text,
                         kMessageUnits);
    if (MessageBoxW(dialog, text, kMessageCaption, MB_YESNO) != IDYES) return;
    editDraft([](ListChannelConfig& d) { resetListChannelConfig(d); });
    // The window first: once the controls show the defaults, so does it.
    showPreview();
    fillControls(dialog);
}

// Either box: both are read, whichever was clicked.
void onStyleBox(HWND dialog) {
    const uint8_t border = ticked(dialog, IDC_LIST_BORDER) ? 1 : 0;
    const uint8_t transparent = ticked(dialog, IDC_LIST_TRANSPARENT) ? 1 : 0;
    editDraft([&](ListChannelConfig& d) {
        d.border = border;
        d.transparentBackground = transparent;
    });
    showPreview();
    SetFocus(dialog);
}

// Back to the live record; during configure that means the caption again.
void closeDialog(HWND dialog, int id) {
    {
        PluginLockGuard guard(listConfigLock);
        listConfigDraft = listConfig;
    }
    if (HWND window = listWindow) commandListWindow(window, LIST_RESTYLE);
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
    case IDC_LIST_AWAY_COLOUR: onAwayColour(dialog); break;
    case IDC_LIST_TEXT_COLOUR: onTextColour(dialog); break;
    case IDC_LIST_RESET: onReset(dialog); break;
    case IDC_LIST_BORDER:
    case IDC_LIST_TRANSPARENT: onStyleBox(dialog); break;
    case IDOK: onOk(dialog); break;
    case IDCANCEL: closeDialog(dialog, IDCANCEL); break;
    default: break;
    }
}

// Only dragging the thumb counts: keyboard steps, clicks beside the thumb
// and the end of a drag change nothing.
void onScroll(HWND dialog, WORD code, WORD position, HWND control) {
    if (code != TB_THUMBTRACK || control != GetDlgItem(dialog, IDC_LIST_OPACITY)) return;
    editDraft([&](ListChannelConfig& d) { d.opacity = static_cast<uint8_t>(position); });
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

INT_PTR CALLBACK listSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return FALSE;
    case WM_HSCROLL:
        onScroll(dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return FALSE;
    case kEndRequestMessage:
        onEndRequest(dialog);
        return FALSE;
    case kComeForwardMessage:
        // The click that asked went to this process, which may therefore
        // take the foreground. A colour picker or question open over the
        // dialog is what comes forward then.
        SetForegroundWindow(GetLastActivePopup(dialog));
        return FALSE;
    default:
        return FALSE;
    }
}

void runDialog(void* owner) {
    initDialogControls();
    runDialogInLanguage(pluginInstance, IDD_LIST_SETTINGS, uiLanguage(), static_cast<HWND>(owner),
                        listSettingsDialogProc, 0);
    openDialog = nullptr;
}

}  // namespace

void openListSettingsDialog(HWND owner) {
    PluginLockGuard guard(threadLock);
    if (!dialogsAllowed || dialogThread.start(runDialog, owner)) return;
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
