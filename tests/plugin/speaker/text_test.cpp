#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "fixed_measurer.h"
#include "globals.h"
#include "text_fit.h"
#include "utf8_text.h"

using speakertest::FixedMeasurer;
using speakertest::MeasurerScope;

namespace {

// A buffer with guard bytes after the part the code may use.
template <typename T, size_t N>
struct Guarded {
    T data[N + 8];
    Guarded() { memset(data, 0x5A, sizeof data); }
    bool guardIntact() const {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(data + N);
        for (size_t i = 0; i < 8 * sizeof(T); ++i)
            if (p[i] != 0x5A) return false;
        return true;
    }
};

TEST(CopyUtf8Bounded, ShortTextIsCopiedWhole) {
    Guarded<char, 64> b;
    copyUtf8Bounded(b.data, 64, "Alice \xE2\x82\xAC");
    EXPECT_STREQ(b.data, "Alice \xE2\x82\xAC");
    std::string exact(63, 'q');
    copyUtf8Bounded(b.data, 64, exact.c_str());
    EXPECT_EQ(std::string(b.data), exact);
    EXPECT_TRUE(b.guardIntact());
}

TEST(CopyUtf8Bounded, LongTextIsCutAtACharacterBoundary) {
    struct Case {
        std::string text;
        size_t kept;
    };
    std::string euro = "\xE2\x82\xAC", smile = "\xF0\x9F\x98\x80";
    Case cases[] = {
        {std::string(64, 'a'), 63},
        {std::string(100, 'a'), 63},
        {"a" + [&] { std::string s; for (int i = 0; i < 21; ++i) s += euro; return s; }(), 61},
        {"ab" + [&] { std::string s; for (int i = 0; i < 21; ++i) s += euro; return s; }(), 62},
        {"abc" + [&] { std::string s; for (int i = 0; i < 21; ++i) s += euro; return s; }(), 63},
        {std::string(61, 'a') + smile, 61},
        {std::string(62, 'a') + smile, 62},
        {std::string(59, 'a') + smile + "b", 63},
    };
    for (const Case& c : cases) {
        Guarded<char, 64> b;
        copyUtf8Bounded(b.data, 64, c.text.c_str());
        EXPECT_EQ(std::string(b.data), c.text.substr(0, c.kept)) << c.text.size();
        EXPECT_TRUE(b.guardIntact());
        // What is kept converts strictly: no character was split.
        EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, b.data, -1, nullptr, 0), 0);
    }
}

TEST(CopyUtf8Bounded, ARunOfStrayContinuationBytesIsStillBounded) {
    Guarded<char, 64> b;
    std::string junk(80, '\x80');
    copyUtf8Bounded(b.data, 64, junk.c_str());
    EXPECT_EQ(strlen(b.data), 63u);
    EXPECT_TRUE(b.guardIntact());
}

TEST(Utf8ToWide, ValidTextConvertsAsIs) {
    wchar_t out[64];
    EXPECT_EQ(utf8ToWide("Zo\xC3\xAB \xF0\x9F\x98\x80", out, 64), 6);
    EXPECT_STREQ(out, L"Zo\u00EB \xD83D\xDE00");
    EXPECT_EQ(utf8ToWide("", out, 64), 0);
    EXPECT_STREQ(out, L"");
}

TEST(Utf8ToWide, EachInvalidByteShowsAsAReplacementCharacter) {
    wchar_t out[64];
    struct Case {
        const char* text;
        const wchar_t* shown;
    };
    Case cases[] = {
        {"Bad\xFFName", L"Bad\uFFFDName"},
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                       // overlong '/'
        {"\xED\xA0\x80x", L"\uFFFD\uFFFD\uFFFDx"},          // an encoded surrogate
        {"a\xE2\x82", L"a\uFFFD\uFFFD"},                     // cut short by the end
        {"\xE2\x82" "b\xC3\xA9", L"\uFFFD\uFFFDb\u00E9"},  // cut short, then valid
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        int n = utf8ToWide(c.text, out, 64);
        EXPECT_STREQ(out, c.shown) << c.text;
        EXPECT_EQ(n, static_cast<int>(wcslen(c.shown)));
    }
}

TEST(Utf8ToWide, OutputIsBoundedAndNeverEndsInHalfAPair) {
    Guarded<wchar_t, 6> b;
    // Five units of room: "abcd" then the pair would need two.
    EXPECT_EQ(utf8ToWide("abcd\xF0\x9F\x98\x80z", b.data, 6), 4 + 0);
    EXPECT_STREQ(b.data, L"abcd");
    EXPECT_TRUE(b.guardIntact());

    Guarded<wchar_t, 6> c;
    EXPECT_EQ(utf8ToWide("abc\xF0\x9F\x98\x80z", c.data, 6), 5);
    EXPECT_STREQ(c.data, L"abc\xD83D\xDE00");
    EXPECT_TRUE(c.guardIntact());

    Guarded<wchar_t, 4> d;
    EXPECT_EQ(utf8ToWide("\xFF\xFF\xFF\xFF\xFF", d.data, 4), 3);
    EXPECT_STREQ(d.data, L"\uFFFD\uFFFD\uFFFD");
    EXPECT_TRUE(d.guardIntact());
}

TEST(AppendWithBlank, EachPieceIsFollowedByExactlyOneBlank) {
    wchar_t line[kLineUnits] = L"";
    appendWithBlank(line, L"Alice", 99);
    appendWithBlank(line, L"Bob ", 99);
    appendWithBlank(line, L"Carlotta", 5);
    appendWithBlank(line, L"", 5);
    EXPECT_STREQ(line, L"Alice Bob Carlo ");

    wchar_t empty[kLineUnits] = L"";
    appendWithBlank(empty, L"", 0);
    EXPECT_STREQ(empty, L" ");
}

TEST(AppendWithBlank, AFullLineTakesNoMoreAndNothingPassesItsEnd) {
    Guarded<wchar_t, kLineUnits> b;
    b.data[0] = L'\0';
    std::wstring piece(60, L'n');
    for (int i = 0; i < 6; ++i) appendWithBlank(b.data, piece.c_str(), piece.size());
    EXPECT_EQ(wcslen(b.data), kLineUnits - 1);
    std::wstring expected;
    for (int i = 0; i < 5; ++i) expected += piece + L" ";
    expected = expected.substr(0, kLineUnits - 1);
    EXPECT_EQ(std::wstring(b.data), expected);
    EXPECT_TRUE(b.guardIntact());
}

TEST(AppendWithBlank, APieceCutInsideASurrogatePairLeavesThePairOut) {
    wchar_t line[kLineUnits] = L"";
    appendWithBlank(line, L"ab\xD83D\xDE00z", 3);
    EXPECT_STREQ(line, L"ab ");
}

TEST(TextFit, MeasurementGoesThroughTheInstalledMeasurer) {
    FixedMeasurer m;
    m.widths[L'W'] = 30;
    MeasurerScope scope(&m);
    EXPECT_EQ(textWidth(L"aWa"), 50);
    int fit = -1;
    fitCount(L"aWaaa", 39, fit);
    EXPECT_EQ(fit, 1);
    fitCount(L"aWaaa", 50, fit);
    EXPECT_EQ(fit, 3);

    m.failFit = true;
    fit = 77;
    fitCount(L"aWaaa", 50, fit);
    EXPECT_EQ(fit, 77);
}

TEST(TextFit, TheDefaultMeasuresWithGdiOnTheMeasuringDc) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HDC saved = measureDC;
    measureDC = dc;
    SIZE ab{};
    GetTextExtentPoint32W(dc, L"Ab", 2, &ab);
    int whole = textWidth(L"Abcdef");
    EXPECT_GT(whole, ab.cx);
    int fit = -1;
    fitCount(L"Abcdef", ab.cx, fit);
    EXPECT_EQ(fit, 2);
    fitCount(L"Abcdef", whole, fit);
    EXPECT_EQ(fit, 6);
    measureDC = saved;
    DeleteDC(dc);
}

}  // namespace
