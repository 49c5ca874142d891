#include "dialog_template.h"

#include <cstring>

namespace dialogs {

namespace {

class Reader {
public:
    Reader(const void* data, size_t size)
        : base_(static_cast<const BYTE*>(data)), size_(size) {}
    bool ok() const { return ok_; }

    template <typename T>
    T take() {
        T value{};
        if (at_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        memcpy(&value, base_ + at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    std::wstring string() {
        std::wstring s;
        for (WORD c = take<WORD>(); ok_ && c; c = take<WORD>()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    // A name or an ordinal; ordinals of the predefined classes become names.
    std::wstring nameOrOrdinal() {
        WORD first = take<WORD>();
        if (first == 0) return L"";
        if (first != 0xFFFF) {
            at_ -= sizeof(WORD);
            return string();
        }
        const WORD ordinal = take<WORD>();
        static const wchar_t* const classes[] = {L"Button", L"Edit", L"Static",
                                                 L"ListBox", L"ScrollBar", L"ComboBox"};
        if (ordinal >= 0x80 && ordinal <= 0x85) return classes[ordinal - 0x80];
        return L"#" + std::to_wstring(ordinal);
    }
    void alignToDword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }
    void skip(size_t n) {
        if (at_ + n > size_) ok_ = false;
        else at_ += n;
    }

private:
    const BYTE* base_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace

const TemplateItem* DialogTemplate::item(DWORD id) const {
    for (const TemplateItem& i : items)
        if (i.id == id) return &i;
    return nullptr;
}

bool parseTemplate(const void* data, size_t size, DialogTemplate& out) {
    Reader r(data, size);
    if (r.take<WORD>() != 1 || r.take<WORD>() != 0xFFFF) return false;
    r.take<DWORD>();  // help id
    out.exStyle = r.take<DWORD>();
    out.style = r.take<DWORD>();
    const WORD count = r.take<WORD>();
    r.take<short>();
    r.take<short>();
    out.cx = r.take<short>();
    out.cy = r.take<short>();
    r.nameOrOrdinal();  // menu
    r.nameOrOrdinal();  // class
    out.title = r.string();
    if (out.style & DS_SETFONT) {
        out.pointSize = r.take<WORD>();
        r.take<WORD>();  // weight
        r.take<BYTE>();  // italic
        r.take<BYTE>();  // charset
        out.font = r.string();
    }
    out.items.clear();
    for (WORD n = 0; n < count && r.ok(); ++n) {
        r.alignToDword();
        TemplateItem item;
        r.take<DWORD>();  // help id
        item.exStyle = r.take<DWORD>();
        item.style = r.take<DWORD>();
        item.x = r.take<short>();
        item.y = r.take<short>();
        item.cx = r.take<short>();
        item.cy = r.take<short>();
        item.id = r.take<DWORD>();
        item.className = r.nameOrOrdinal();
        item.text = r.nameOrOrdinal();
        r.skip(r.take<WORD>());  // creation data
        out.items.push_back(item);
    }
    return r.ok();
}

bool loadTemplate(HMODULE module, int id, LANGID language, DialogTemplate& out) {
    HRSRC found = FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id), language);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data && parseTemplate(data, SizeofResource(module, found), out);
}

std::wstring loadString(HMODULE module, UINT id, LANGID language) {
    HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) return L"";
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return L"";
    Reader r(data, SizeofResource(module, found));
    for (UINT i = 0; i < id % 16; ++i) r.skip(r.take<WORD>() * sizeof(WORD));
    std::wstring s;
    for (WORD length = r.take<WORD>(); r.ok() && length; --length)
        s.push_back(static_cast<wchar_t>(r.take<WORD>()));
    return r.ok() ? s : L"";
}

}  // namespace dialogs
