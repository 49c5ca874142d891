#include "utf8_text.h"

#include <windows.h>

#include <cstring>

namespace {

inline bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Bytes a lead byte announces; 1 for anything that cannot start a sequence.
int sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

// Decodes one well-formed sequence at s (shortest form, no surrogates, at
// most U+10FFFF). Returns its length in bytes, or 0 when s does not start
// one; the text's terminator ends any sequence early.
int decodeOne(const unsigned char* s, char32_t* cp) {
    unsigned char lead = s[0];
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    }
    int length = sequenceLength(lead);
    if (length == 1) return 0;
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (!isContinuation(s[i])) return 0;
        value = (value << 6) | (s[i] & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF) return 0;
    if (value >= 0xD800 && value <= 0xDFFF) return 0;
    *cp = value;
    return length;
}

// The lenient path: every byte that does not belong to a well-formed
// sequence becomes one U+FFFD; stops before a character that would not fit
// whole.
int decodeLenient(const unsigned char* s, wchar_t* out, int outUnits) {
    int n = 0;
    const int room = outUnits - 1;
    while (*s) {
        char32_t cp = 0;
        int bytes = decodeOne(s, &cp);
        if (bytes == 0) {
            cp = 0xFFFD;
            bytes = 1;
        }
        if (cp >= 0x10000) {
            if (n + 2 > room) break;
            cp -= 0x10000;
            out[n++] = static_cast<wchar_t>(0xD800 + (cp >> 10));
            out[n++] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            if (n + 1 > room) break;
            out[n++] = static_cast<wchar_t>(cp);
        }
        s += bytes;
    }
    out[n] = L'\0';
    return n;
}

}  // namespace

void copyUtf8Bounded(char* buffer, unsigned bytes, const char* text) {
    if (!buffer || bytes == 0) return;
    if (!text) {
        buffer[0] = '\0';
        return;
    }
    size_t length = strnlen(text, bytes);
    if (length < bytes) {
        memcpy(buffer, text, length + 1);
        return;
    }
    // Too long: keep bytes - 1 bytes, less a character the cut would split.
    size_t cut = bytes - 1;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t start = cut;
    for (int back = 0; back < 3 && start > 0 && isContinuation(s[start]); ++back) --start;
    if (start < cut && start + sequenceLength(s[start]) > cut) cut = start;
    memcpy(buffer, text, cut);
    buffer[cut] = '\0';
}

int utf8ToWide(const char* utf8, wchar_t* out, int outUnits) {
    if (!out || outUnits <= 0) return 0;
    if (!utf8) {
        out[0] = L'\0';
        return 0;
    }
    int converted = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out, outUnits);
    if (converted > 0) {
        out[converted - 1] = L'\0';
        return converted - 1;
    }
    // Invalid bytes, or more than fits: show what can be shown.
    return decodeLenient(reinterpret_cast<const unsigned char*>(utf8), out, outUnits);
}
