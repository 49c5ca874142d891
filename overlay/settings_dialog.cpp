#include "settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdint>

#include "overlay_window.h"
#include "settings_dialog_ids.h"
#include "localized_resources.h"

namespace {

constexpr wchar_t kMessageCaption[] = L"TALVORI";
constexpr int kMessageUnits = 100;
constexpr WORD kMinOpacity = 25;
constexpr WORD kMaxOpacity = 255;
constexpr uint16_t kMinWidth = 100;
constexpr uint16_t kMaxWidth = 500;
constexpr int kMaxArrowDuration = 99;

// Offered again at every opening for the life of the program; never stored.
COLORREF customColours[16];

struct SettingsDialog {
    HWND dialog;
    HWND overlay;
    OverlayState& state;
    LANGID language;
    // Whether the previews may use the colour key. A width change with the
    // border off withdraws it (and says so), because the key then lets the
    // desktop show through the resized window's edge.
    bool colourKeyAllowed;
};

SettingsDialog* dialogOf(HWND dialog) {
    return reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// Only a stored 1 ticks: any other value leaves the box as it is.
void tickWhenOne(HWND dialog, int id, uint8_t field) {
    if (field == 1) CheckDlgButton(dialog, id, BST_CHECKED);
}

int showMessage(const SettingsDialog& d, UINT id, UINT type) {
    wchar_t text[kMessageUnits];
    loadStringInLanguage(GetModuleHandleW(nullptr), id, d.language, text, kMessageUnits);
    return MessageBoxW(d.dialog, text, kMessageCaption, type);
}

void showPreview(const SettingsDialog& d, bool colourKeyAllowed) {
    applyWindowStyle(d.overlay, d.state.previewConfig, colourKeyAllowed);
    repaintOverlay(d.overlay);
}

// Setting the width text raises the box's change notification, so every
// fill also runs the width handling.
void fillSettingsDialog(SettingsDialog& d) {
    const DisplayConfig& p = d.state.previewConfig;
    HWND dlg = d.dialog;
    d.colourKeyAllowed = true;

    SendDlgItemMessageW(dlg, IDC_OPACITY, TBM_SETRANGE, TRUE, MAKELPARAM(kMinOpacity, kMaxOpacity));
    SendDlgItemMessageW(dlg, IDC_OPACITY, TBM_SETPOS, TRUE, p.opacity);

    tickWhenOne(dlg, IDC_BORDER, p.border);
    CheckDlgButton(dlg, IDC_TRANSPARENT, p.transparentBackground == 1 ? BST_CHECKED : BST_UNCHECKED);
    tickWhenOne(dlg, IDC_ONLY_MY_CHANNEL, p.onlyMyChannel);
    tickWhenOne(dlg, IDC_TWO_LINES, p.twoLines);
    tickWhenOne(dlg, IDC_ACTIVITY_ENABLED, p.activityEnabled);

    SendDlgItemMessageW(dlg, IDC_WIDTH_SPIN, UDM_SETRANGE32, kMinWidth, kMaxWidth);
    SetDlgItemInt(dlg, IDC_WIDTH, p.width, FALSE);
    SendDlgItemMessageW(dlg, IDC_DURATION_SPIN, UDM_SETRANGE32, 0, kMaxArrowDuration);
    SetDlgItemInt(dlg, IDC_DURATION, p.displayDuration, FALSE);

    if (d.state.listChannelSwitch != 0) CheckDlgButton(dlg, IDC_LIST_CHANNEL, BST_CHECKED);
}

INT_PTR onInitDialog(HWND dialog, SettingsDialog* d) {
    // Stored first: the fill's width text already comes back as a change.
    d->dialog = dialog;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    d->state.previewConfig = d->state.liveConfig;
    fillSettingsDialog(*d);
    return TRUE;  // the first control that takes the focus gets it
}

void onWidthChanged(SettingsDialog& d) {
    DisplayConfig& p = d.state.previewConfig;
    p.width = static_cast<uint16_t>(GetDlgItemInt(d.dialog, IDC_WIDTH, nullptr, FALSE));
    if (d.colourKeyAllowed && p.border == 0) {
        showMessage(d, IDS_COLOUR_KEY_OFF, MB_OK);
        d.colourKeyAllowed = false;
    }
    // The box keeps the text as typed; only the preview is clamped.
    if (p.width >= kMaxWidth)
        p.width = kMaxWidth;
    else if (p.width <= kMinWidth)
        p.width = kMinWidth;
    showPreview(d, d.colourKeyAllowed);

    // The resize takes the focus away; hand it back to the box once the
    // pending messages are through, with the caret and no selection.
    SetFocus(d.dialog);
    HWND box = GetDlgItem(d.dialog, IDC_WIDTH);
    PostMessageW(d.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    PostMessageW(box, EM_SCROLLCARET, 0, 0);
    PostMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
}

void onStyleBox(SettingsDialog& d, int id) {
    HWND dlg = d.dialog;
    // Without the activity line there is no second line to show.
    if (id == IDC_ACTIVITY_ENABLED && !ticked(dlg, IDC_ACTIVITY_ENABLED))
        CheckDlgButton(dlg, IDC_TWO_LINES, BST_UNCHECKED);
    DisplayConfig& p = d.state.previewConfig;
    p.border = ticked(dlg, IDC_BORDER);
    p.transparentBackground = ticked(dlg, IDC_TRANSPARENT);
    d.colourKeyAllowed = p.transparentBackground != 0;
    p.twoLines = ticked(dlg, IDC_TWO_LINES);
    showPreview(d, d.colourKeyAllowed);
    SetFocus(dlg);
}

// Only dragging the thumb counts: keyboard steps and page clicks move the
// thumb without changing the opacity.
void onOpacityScroll(SettingsDialog& d, WORD code, WORD position, HWND control) {
    if (code != TB_THUMBTRACK || control != GetDlgItem(d.dialog, IDC_OPACITY)) return;
    d.state.previewConfig.opacity = static_cast<uint8_t>(position);
    showPreview(d, true);
}

// The picked colour, or `current` when the user cancels or the picker fails.
COLORREF pickColour(const SettingsDialog& d, COLORREF current) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = d.dialog;
    cc.rgbResult = current;
    cc.lpCustColors = customColours;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    return ChooseColorW(&cc) ? cc.rgbResult : current;
}

void onSpeakerColour(SettingsDialog& d) {
    DisplayConfig& p = d.state.previewConfig;
    p.speakerColour = pickColour(d, p.speakerColour);
    repaintOverlay(d.overlay);
}

void onChannelColour(SettingsDialog& d) {
    DisplayConfig& p = d.state.previewConfig;
    p.channelColour = pickColour(d, p.channelColour);
    repaintOverlay(d.overlay);
}

// The List Channel box and the switch are left as they are.
void onReset(SettingsDialog& d) {
    if (showMessage(d, IDS_RESET_QUESTION, MB_YESNO) != IDYES) return;
    resetDisplayConfig(d.state.previewConfig);
    fillSettingsDialog(d);
    showPreview(d, true);
}

void closeDialog(SettingsDialog& d, int id) {
    OverlayState& s = d.state;
    s.previewConfig = s.liveConfig;
    applyWindowStyle(d.overlay, s.liveConfig, true);
    repaintOverlay(d.overlay);
    EndDialog(d.dialog, id);
}

void onOk(SettingsDialog& d) {
    OverlayState& s = d.state;
    HWND dlg = d.dialog;
    s.liveConfig = s.previewConfig;
    s.liveConfig.onlyMyChannel = ticked(dlg, IDC_ONLY_MY_CHANNEL);
    s.liveConfig.activityEnabled = ticked(dlg, IDC_ACTIVITY_ENABLED);
    // Any typed number is taken, beyond the arrows' 99; text that is not a
    // number gives 0, which turns the queue off.
    s.liveConfig.displayDuration =
        static_cast<uint16_t>(GetDlgItemInt(dlg, IDC_DURATION, nullptr, FALSE));
    const bool listChannel = ticked(dlg, IDC_LIST_CHANNEL);
    // The plugin creates the window only at its start.
    if (s.listChannelSwitch == 0 && listChannel)
        showMessage(d, IDS_LIST_CHANNEL_RESTART, MB_OK | MB_ICONINFORMATION);
    s.listChannelSwitch = listChannel ? 1 : 0;
    saveDisplayConfig(s.liveConfig);
    closeDialog(d, IDOK);
}

INT_PTR onCommand(SettingsDialog& d, int id, int notification) {
    switch (id) {
    case IDC_WIDTH:
        if (notification == EN_CHANGE) onWidthChanged(d);
        return TRUE;
    case IDC_BORDER:
    case IDC_TRANSPARENT:
    case IDC_TWO_LINES:
    case IDC_ACTIVITY_ENABLED:
        onStyleBox(d, id);
        return TRUE;
    case IDC_SPEAKER_COLOUR:
        onSpeakerColour(d);
        return TRUE;
    case IDC_CHANNEL_COLOUR:
        onChannelColour(d);
        return TRUE;
    case IDC_RESET:
        onReset(d);
        return TRUE;
    case IDOK:
        onOk(d);
        return TRUE;
    case IDCANCEL:
        closeDialog(d, IDCANCEL);
        return TRUE;
    default:
        // Read on OK, nothing to do meanwhile.
        return FALSE;
    }
}

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return onInitDialog(dialog, reinterpret_cast<SettingsDialog*>(lParam));
    // Controls may report before WM_INITDIALOG; nothing is set up to act on.
    SettingsDialog* d = dialogOf(dialog);
    if (!d) return FALSE;
    switch (message) {
    case WM_COMMAND:
        return onCommand(*d, LOWORD(wParam), HIWORD(wParam));
    case WM_HSCROLL:
        onOpacityScroll(*d, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void runSettingsDialog(HWND owner) {
    initDialogControls();
    SettingsDialog d{nullptr, owner, overlayStateOf(owner), uiLanguage(), true};
    // A dialog that cannot be created changes nothing: the plugin gets its
    // own switch back.
    runDialogInLanguage(GetModuleHandleW(nullptr), IDD_DISPLAY_SETTINGS, d.language, owner,
                        settingsDialogProc, reinterpret_cast<LPARAM>(&d));
}
