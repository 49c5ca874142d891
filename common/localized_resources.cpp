#include "localized_resources.h"

#include "display_scale.h"
#include "module_context.h"

#include <commctrl.h>

namespace {

constexpr int kStringsPerBlock = 16;

const void* lockResource(HINSTANCE module, const wchar_t* type, const wchar_t* name,
                         LANGID language, DWORD* size) {
    HRSRC found = FindResourceExW(module, type, name, language);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return nullptr;
    *size = SizeofResource(module, found);
    return LockResource(loaded);
}

// A string block holds 16 counted strings, one after another; `index` picks
// one. Every length is checked against the block, so a damaged block yields
// nothing rather than a read past its end.
int copyFromBlock(const wchar_t* block, DWORD blockUnits, int index, wchar_t* buffer, int units) {
    DWORD at = 0;
    for (int i = 0; i < index; ++i) {
        if (at >= blockUnits) return -1;
        at += 1 + block[at];
    }
    if (at >= blockUnits) return -1;
    const DWORD length = block[at];
    if (at + 1 + length > blockUnits) return -1;
    if (length == 0) return -1;
    const int copied = static_cast<int>(length) < units - 1 ? static_cast<int>(length) : units - 1;
    for (int i = 0; i < copied; ++i) buffer[i] = block[at + 1 + i];
    buffer[copied] = L'\0';
    return copied;
}

}  // namespace

LANGID uiLanguage() {
    return PRIMARYLANGID(GetThreadUILanguage()) == LANG_FRENCH
               ? MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)
               : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

INT_PTR runDialogInLanguage(HINSTANCE module, int id, LANGID language, HWND owner, DLGPROC proc,
                            LPARAM param) {
    // Per-monitor aware (a V2 dialog scales itself on a move to another
    // monitor) and themed by the module's own manifest, whatever the
    // program hosting the module runs with.
    ScaleAwarenessScope aware;
    ModuleContextScope themed(module);
    DWORD size = 0;
    const void* tmpl = lockResource(module, RT_DIALOG, MAKEINTRESOURCEW(id), language, &size);
    if (!tmpl) return DialogBoxParamW(module, MAKEINTRESOURCEW(id), owner, proc, param);
    return DialogBoxIndirectParamW(module, static_cast<const DLGTEMPLATE*>(tmpl), owner, proc,
                                   param);
}

int loadStringInLanguage(HINSTANCE module, UINT id, LANGID language, wchar_t* buffer, int units) {
    if (!buffer || units <= 0) return 0;
    buffer[0] = L'\0';
    DWORD size = 0;
    const void* block = lockResource(module, RT_STRING, MAKEINTRESOURCEW(id / kStringsPerBlock + 1),
                                     language, &size);
    if (block) {
        const int copied = copyFromBlock(static_cast<const wchar_t*>(block), size / sizeof(wchar_t),
                                         static_cast<int>(id % kStringsPerBlock), buffer, units);
        if (copied >= 0) return copied;
    }
    return LoadStringW(module, id, buffer, units);
}

// At each dialog: the call is cheap and repeats harmlessly, where a
// once-only static would cost the plugin a block the C++ runtime never
// frees, at every load.
void initDialogControls() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
}
