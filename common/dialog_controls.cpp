#include "dialog_controls.h"

#include <commctrl.h>
#include <commdlg.h>

#include "localized_resources.h"

namespace {

constexpr wchar_t kMessageCaption[] = L"TALVORI";
constexpr int kMessageUnits = 100;
constexpr WORD kMinOpacity = 25;
constexpr WORD kMaxOpacity = 255;

}  // namespace

bool isTicked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void setTicked(HWND dialog, int id, bool ticked) {
    CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED);
}

void tickWhenOne(HWND dialog, int id, uint8_t field) {
    if (field == 1) CheckDlgButton(dialog, id, BST_CHECKED);
}

void fillOpacityThumb(HWND dialog, int id, uint8_t opacity) {
    SendDlgItemMessageW(dialog, id, TBM_SETRANGE, TRUE, MAKELPARAM(kMinOpacity, kMaxOpacity));
    SendDlgItemMessageW(dialog, id, TBM_SETPOS, TRUE, opacity);
}

bool draggedOpacity(HWND dialog, int id, WPARAM wParam, LPARAM lParam, uint8_t* opacity) {
    if (LOWORD(wParam) != TB_THUMBTRACK) return false;
    if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, id)) return false;
    const WORD position = HIWORD(wParam);
    if (position < kMinOpacity || position > kMaxOpacity) return false;
    *opacity = static_cast<uint8_t>(position);
    return true;
}

COLORREF ColourPicker::pick(HWND owner, COLORREF current) {
    CHOOSECOLORW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = current;
    request.lpCustColors = custom_;
    request.Flags = CC_RGBINIT | CC_FULLOPEN;
    return ChooseColorW(&request) ? request.rgbResult : current;
}

int showDialogMessage(HWND dialog, HINSTANCE module, UINT stringId, LANGID language, UINT type) {
    wchar_t text[kMessageUnits];
    loadStringInLanguage(module, stringId, language, text, kMessageUnits);
    return MessageBoxW(dialog, text, kMessageCaption, type);
}

bool confirmReset(HWND dialog, HINSTANCE module, LANGID language) {
    return showDialogMessage(dialog, module, kResetQuestionString, language, MB_YESNO) == IDYES;
}
