#include "name_text.h"

#include "text_fit.h"
#include "utf8_text.h"

namespace {

constexpr wchar_t kReplacement = 0xFFFD;
constexpr wchar_t kLeftToRightMark = 0x200E;

inline bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Characters that draw as a box, or break the line where they stand.
bool isUndrawable(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           (c >= 0xD800 && c <= 0xDFFF);
}

// Direction controls other than the left-to-right mark.
bool isLeftOut(wchar_t c) {
    return c == 0x061C || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x206F);
}

// Right-to-left letters and Arabic digits, with the marks and signs of
// their blocks (a few too many costs only a zero-width mark).
bool canReorderNeighbours(wchar_t c) {
    return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
           (c >= 0xFE70 && c <= 0xFEFC) ||
           // High halves of U+10800-10FFF and U+1E800-1EFFF.
           c == 0xD802 || c == 0xD803 || c == 0xD83A || c == 0xD83B;
}

}  // namespace

int nameToWide(const char* utf8, wchar_t* out, int outUnits) {
    if (!out || outUnits <= 0) return 0;
    const int length = utf8ToWide(utf8, out, outUnits);
    int n = 0;
    for (int i = 0; i < length; ++i) {
        const wchar_t c = out[i];
        if (isHighSurrogate(c) && i + 1 < length && isLowSurrogate(out[i + 1])) {
            out[n++] = c;
            out[n++] = out[++i];
            continue;
        }
        if (isLeftOut(c)) continue;
        out[n++] = isUndrawable(c) ? kReplacement : c;
    }
    out[n] = L'\0';
    return n;
}

size_t confineName(const wchar_t* name, size_t maxCount, wchar_t* out, size_t room,
                   bool* endsWithBlank) {
    size_t n = 0;
    bool mark = false;
    bool blank = false;
    for (size_t i = 0; name && i < maxCount && name[i] != L'\0';) {
        const wchar_t c = name[i];
        size_t units = 1;
        if (isHighSurrogate(c)) {
            if (!isLowSurrogate(name[i + 1])) {  // half a pair: nothing to draw
                ++i;
                continue;
            }
            if (i + 2 > maxCount) break;  // the cut would split the pair
            units = 2;
        }
        const bool markAfter = mark || canReorderNeighbours(c);
        // Keep room for the mark this unit makes necessary.
        if (n + units + (markAfter ? 1 : 0) > room) break;
        for (size_t u = 0; u < units; ++u) out[n++] = name[i++];
        mark = markAfter;
        blank = c == L' ';
    }
    if (mark) out[n++] = kLeftToRightMark;
    out[n] = L'\0';
    if (endsWithBlank) *endsWithBlank = blank;
    return n;
}

void appendName(wchar_t* line, const wchar_t* name, size_t maxCount) {
    const size_t last = kLineUnits - 1;  // index the terminator must keep
    size_t length = 0;
    while (length < last && line[length] != L'\0') ++length;

    bool blank = false;
    const size_t written = confineName(name, maxCount, line + length, last - length, &blank);
    if (written == 0) blank = length > 0 && line[length - 1] == L' ';
    length += written;
    if (length < last && !blank) line[length++] = L' ';
    line[length] = L'\0';
}
