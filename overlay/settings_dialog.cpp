#include "settings_dialog.h"

#include <commctrl.h>

#include <cstdint>

#include "dialog_controls.h"
#include "foreground_return.h"
#include "localized_resources.h"
#include "overlay_window.h"
#include "settings_dialog_ids.h"

static_assert(IDS_RESET_QUESTION == kResetQuestionString, "one RESET question");

namespace {

constexpr uint16_t kMinWidth = 100;
constexpr uint16_t kMaxWidth = 500;
constexpr int kMaxArrowDuration = 99;

ColourPicker colourPicker;

struct SettingsDialog {
    HWND dialog;
    HWND overlay;
    OverlayState& state;
    LANGID language;
    // Whether the previews may use the colour key. A width change with the
    // border off withdraws it (and says so), because the key then lets the
    // desktop show through the resized window's edge.
    bool colourKeyAllowed;
    ForegroundReturn foreground;
    // Set once the dialog has ended. A quit can end it while a box is open
    // over it; the code that opened the box goes on afterwards and must
    // preview nothing.
    bool ended;
};

// The dialog running now, for a quit that arrives meanwhile; one at a time,
// on the overlay's thread.
SettingsDialog* openDialog = nullptr;

SettingsDialog* dialogOf(HWND dialog) {
    return reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

int showMessage(const SettingsDialog& d, UINT id, UINT type) {
    return showDialogMessage(d.dialog, GetModuleHandleW(nullptr), id, d.language, type);
}

void showPreview(const SettingsDialog& d, bool colourKeyAllowed) {
    if (d.ended) return;
    applyWindowStyle(d.overlay, d.state.previewConfig, colourKeyAllowed);
    repaintOverlay(d.overlay);
}

// Setting the width text raises the box's change notification, so every
// fill also runs the width handling.
void fillSettingsDialog(SettingsDialog& d) {
    const DisplayConfig& p = d.state.previewConfig;
    HWND dlg = d.dialog;
    d.colourKeyAllowed = true;

    fillOpacityThumb(dlg, IDC_OPACITY, p.opacity);
    tickWhenOne(dlg, IDC_BORDER, p.border);
    setTicked(dlg, IDC_TRANSPARENT, p.transparentBackground == 1);
    tickWhenOne(dlg, IDC_ONLY_MY_CHANNEL, p.onlyMyChannel);
    tickWhenOne(dlg, IDC_TWO_LINES, p.twoLines);
    tickWhenOne(dlg, IDC_ACTIVITY_ENABLED, p.activityEnabled);

    SendDlgItemMessageW(dlg, IDC_WIDTH_SPIN, UDM_SETRANGE32, kMinWidth, kMaxWidth);
    SetDlgItemInt(dlg, IDC_WIDTH, p.width, FALSE);
    SendDlgItemMessageW(dlg, IDC_DURATION_SPIN, UDM_SETRANGE32, 0, kMaxArrowDuration);
    SetDlgItemInt(dlg, IDC_DURATION, p.displayDuration, FALSE);

    if (d.state.listChannelSwitch != 0) setTicked(dlg, IDC_LIST_CHANNEL, true);
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
    if (id == IDC_ACTIVITY_ENABLED && !isTicked(dlg, IDC_ACTIVITY_ENABLED))
        setTicked(dlg, IDC_TWO_LINES, false);
    DisplayConfig& p = d.state.previewConfig;
    p.border = isTicked(dlg, IDC_BORDER);
    p.transparentBackground = isTicked(dlg, IDC_TRANSPARENT);
    d.colourKeyAllowed = p.transparentBackground != 0;
    p.twoLines = isTicked(dlg, IDC_TWO_LINES);
    showPreview(d, d.colourKeyAllowed);
    SetFocus(dlg);
}

void onScroll(SettingsDialog& d, WPARAM wParam, LPARAM lParam) {
    if (!draggedOpacity(d.dialog, IDC_OPACITY, wParam, lParam, &d.state.previewConfig.opacity))
        return;
    showPreview(d, true);
}

// The paint shows the new colour; the window's style is not touched.
void onColour(SettingsDialog& d, uint32_t& colour) {
    const COLORREF picked = colourPicker.pick(d.dialog, colour);
    if (d.ended) return;
    colour = picked;
    repaintOverlay(d.overlay);
}

// The List Channel box and the switch are left as they are.
void onReset(SettingsDialog& d) {
    if (!confirmReset(d.dialog, GetModuleHandleW(nullptr), d.language)) return;
    resetDisplayConfig(d.state.previewConfig);
    fillSettingsDialog(d);
    showPreview(d, true);
}

// Back to the live look and place, then the keyboard to where it was.
void closeDialog(SettingsDialog& d, int id) {
    OverlayState& s = d.state;
    s.previewConfig = s.liveConfig;
    applyWindowStyle(d.overlay, s.liveConfig, true);
    repaintOverlay(d.overlay);
    d.foreground.giveBack(d.dialog);
    EndDialog(d.dialog, id);
    d.ended = true;
}

void onOk(SettingsDialog& d) {
    OverlayState& s = d.state;
    HWND dlg = d.dialog;
    s.liveConfig = s.previewConfig;
    s.liveConfig.onlyMyChannel = isTicked(dlg, IDC_ONLY_MY_CHANNEL);
    s.liveConfig.activityEnabled = isTicked(dlg, IDC_ACTIVITY_ENABLED);
    // Any typed number is taken, beyond the arrows' 99; text that is not a
    // number gives 0, which turns the queue off.
    s.liveConfig.displayDuration =
        static_cast<uint16_t>(GetDlgItemInt(dlg, IDC_DURATION, nullptr, FALSE));
    const bool listChannel = isTicked(dlg, IDC_LIST_CHANNEL);
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
        onColour(d, d.state.previewConfig.speakerColour);
        return TRUE;
    case IDC_CHANNEL_COLOUR:
        onColour(d, d.state.previewConfig.channelColour);
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
        onScroll(*d, wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void runSettingsDialog(HWND owner) {
    initDialogControls();
    SettingsDialog d{nullptr, owner, overlayStateOf(owner), uiLanguage(), true, {}, false};
    d.foreground.remember();
    openDialog = &d;
    // A dialog that cannot be created changes nothing: the plugin gets its
    // own switch back.
    runDialogInLanguage(GetModuleHandleW(nullptr), IDD_DISPLAY_SETTINGS, d.language, owner,
                        settingsDialogProc, reinterpret_cast<LPARAM>(&d));
    openDialog = nullptr;
}

void cancelSettingsDialog() {
    SettingsDialog* d = openDialog;
    if (!d || !d->dialog || d->ended) return;
    closeDialog(*d, IDCANCEL);
}
