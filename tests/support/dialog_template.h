#pragma once
// Reads dialog templates and string tables straight from a module's
// resources, in one exact language, so a test can check what each language
// really carries.
#include <windows.h>

#include <string>
#include <vector>

namespace dialogs {

struct TemplateItem {
    DWORD id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring className;  // predefined classes by name: "Button", "Edit", "Static"...
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<TemplateItem> items;  // in template (tab) order

    const TemplateItem* item(DWORD id) const;
};

// Parses an extended template (DLGTEMPLATEEX); false when it is not one or
// it is cut short.
bool parseTemplate(const void* data, size_t size, DialogTemplate& out);
// Template `id` in exactly `language` (no fallback).
bool loadTemplate(HMODULE module, int id, LANGID language, DialogTemplate& out);
// String `id` in exactly `language`; empty when missing.
std::wstring loadString(HMODULE module, UINT id, LANGID language);

}  // namespace dialogs
