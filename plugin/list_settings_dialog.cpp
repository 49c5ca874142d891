#include "list_settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include "globals.h"
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

// Shared by both colour buttons and offered again at every opening until
// the plugin is unloaded; never saved.
COLORREF customColours[16];
// One picker request, reused for every call.
CHOOSECOLORW colourRequest;

bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// Repaints whatever `configuring` says: the dialog's changes must show.
void repaintListWindow() {
    if (!listWindow) return;
    InvalidateRect(listWindow, nullptr, TRUE);
    UpdateWindow(listWindow);
}

// The draft's look on the window, without a caption even during configure.
void showPreview() {
    if (listWindow) applyListWindowStyle(listConfigDraft, listWindow, false);
    repaintListWindow();
}

void fillControls(HWND dialog) {
    const ListChannelConfig& d = listConfigDraft;
    SendDlgItemMessageW(dialog, IDC_LIST_OPACITY, TBM_SETRANGE, TRUE,
                        MAKELPARAM(kMinOpacity, kMaxOpacity));
    SendDlgItemMessageW(dialog, IDC_LIST_OPACITY, TBM_SETPOS, TRUE, d.opacity);
    if (d.border == 1) CheckDlgButton(dialog, IDC_LIST_BORDER, BST_CHECKED);
    CheckDlgButton(dialog, IDC_LIST_TRANSPARENT,
                   d.transparentBackground == 1 ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR onInitDialog(HWND dialog) {
    listConfigDraft = listConfig;
    if (listWindow) applyListWindowStyle(listConfigDraft, listWindow, false);
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
    listConfigDraft.awayColour = pickColour(dialog, listConfigDraft.awayColour);
    repaintListWindow();
}

void onTextColour(HWND dialog) {
    listConfigDraft.textColour = pickColour(dialog, listConfigDraft.textColour);
    repaintListWindow();
}

void onReset(HWND dialog) {
    wchar_t text[kMessageUnits];
    loadStringInLanguage(pluginInstance, IDS_RESET_QUESTION, uiLanguage(), text,
                         kMessageUnits);
    if (MessageBoxW(dialog, text, kMessageCaption, MB_YESNO) != IDYES) return;
    resetListChannelConfig(listConfigDraft);
    fillControls(dialog);
    showPreview();
}

// Either box: both are read, whichever was clicked.
void onStyleBox(HWND dialog) {
    listConfigDraft.border = ticked(dialog, IDC_LIST_BORDER) ? 1 : 0;
    listConfigDraft.transparentBackground = ticked(dialog, IDC_LIST_TRANSPARENT) ? 1 : 0;
    showPreview();
    SetFocus(dialog);
}

// Back to the live record; during configure that means the caption again.
void closeDialog(HWND dialog, int id) {
    listConfigDraft = listConfig;
    if (listWindow) applyListWindowStyle(listConfig, listWindow, configuring != 0);
    repaintListWindow();
    EndDialog(dialog, id);
}

void onOk(HWND dialog) {
    listConfig = listConfigDraft;
    saveListChannelConfig(listConfig);
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
    listConfigDraft.opacity = static_cast<uint8_t>(position);
    showPreview();
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
    default:
        return FALSE;
    }
}

}  // namespace

void openListSettingsDialog(HWND owner) {
    initDialogControls();
    runDialogInLanguage(pluginInstance, IDD_LIST_SETTINGS, uiLanguage(), owner,
                        listSettingsDialogProc, 0);
}
