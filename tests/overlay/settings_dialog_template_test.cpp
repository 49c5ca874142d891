// What TALVORI.exe carries for the settings dialog in each language: the
// template control by control, and the three message texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "dialog_template.h"
#include "settings_dialog_fixture.h"
#include "settings_dialog_ids.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
constexpr DWORD kStatic = 0xFFFFFFFF;

struct Rect {
    short x, y, cx, cy;
};

struct Expected {
    DWORD id;
    const wchar_t* className;
    DWORD kind;  // the button type, or the style bits other controls must have
    const wchar_t* english;
    const wchar_t* french;
    Rect inEnglish;
    Rect inFrench;
};

constexpr DWORD kCheck = BS_AUTOCHECKBOX;
constexpr DWORD kSpin = UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS;

// In template order, which is the tab order.
const Expected kControls[] = {
    {IDOK, L"Button", BS_DEFPUSHBUTTON, L"OK", L"OK", {137, 151, 50, 14}, {146, 154, 50, 14}},
    {IDCANCEL, L"Button", 0, L"Cancel", L"Annuler", {137, 171, 50, 14}, {146, 176, 50, 14}},
    {IDC_BORDER, L"Button", kCheck, L"Border", L"Bordure", {16, 12, 37, 10}, {10, 17, 37, 10}},
    {IDC_TRANSPARENT, L"Button", kCheck, L"Transparent background", L"Fond Transparent",
     {16, 33, 95, 10}, {10, 40, 73, 10}},
    {IDC_SPEAKER_COLOUR, L"Button", 0, L"Speaker Color", L"Couleur Speaker", {128, 8, 50, 14},
     {133, 13, 58, 14}},
    {IDC_CHANNEL_COLOUR, L"Button", 0, L"Channel Color", L"Couleur Canal", {128, 29, 50, 14},
     {133, 36, 58, 14}},
    {IDC_OPACITY, L"msctls_trackbar32", TBS_BOTH | TBS_NOTICKS, L"", L"", {16, 66, 80, 15},
     {11, 69, 80, 15}},
    {kStatic, L"Static", 0, L"Opacity", L"Opacité :", {29, 56, 26, 8}, {27, 61, 30, 8}},
    {kStatic, L"Button", BS_GROUPBOX, L"Look", L"Apparence", {5, 2, 184, 85}, {6, 5, 190, 90}},
    {kStatic, L"Button", BS_GROUPBOX, L"Channel actvity", L"Mouvements dans les canaux",
     {5, 92, 118, 94}, {6, 100, 110, 90}},
    {IDC_WIDTH, L"Edit", WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, L"", L"", {141, 66, 20, 15},
     {146, 69, 20, 15}},
    {IDC_WIDTH_SPIN, L"msctls_updown32", kSpin, L"", L"", {128, 66, 11, 15}, {133, 69, 11, 15}},
    {kStatic, L"Static", 0, L"Width", L"Largeur :", {128, 56, 20, 8}, {133, 56, 30, 8}},
    {IDC_RESET, L"Button", 0, L"RESET", L"RESET", {145, 132, 28, 14}, {146, 133, 30, 14}},
    {IDC_ACTIVITY_ENABLED, L"Button", kCheck, L"Enable", L"Afficher", {16, 104, 37, 10},
     {10, 112, 41, 10}},
    {IDC_ONLY_MY_CHANNEL, L"Button", kCheck, L"Only channel I am", L"Seulement mon canal",
     {16, 120, 73, 10}, {10, 126, 83, 10}},
    {IDC_TWO_LINES, L"Button", kCheck, L"Two lines display", L"Sur deux lignes", {16, 136, 69, 10},
     {10, 140, 65, 10}},
    {kStatic, L"Static", 0, L"Display duration (second)", L"Durée d'affichage (secondes)",
     {16, 151, 82, 8}, {11, 155, 95, 8}},
    {IDC_DURATION, L"Edit", WS_BORDER | ES_AUTOHSCROLL, L"", L"", {29, 162, 20, 15},
     {28, 168, 20, 15}},
    {IDC_DURATION_SPIN, L"msctls_updown32", kSpin, L"", L"", {16, 162, 11, 15}, {15, 168, 11, 15}},
    {IDC_LIST_CHANNEL, L"Button", kCheck, L"Activate  List Channel Window",
     L"Activer la fenêtre List Channel", {16, 197, 113, 10}, {11, 198, 113, 10}},
};

// Every check box, push button, trackbar and edit box, and nothing else.
bool takesTab(const Expected& e) {
    if (e.id == kStatic) return false;
    return std::wstring(e.className) != L"msctls_updown32";
}

class SettingsResources : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(talvoriExecutable().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module) << GetLastError();
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }

    void checkTemplate(LANGID language) {
        const bool french = language == kFrench;
        dialogs::DialogTemplate t;
        ASSERT_TRUE(dialogs::loadTemplate(module, IDD_DISPLAY_SETTINGS, language, t));
        EXPECT_EQ(t.title, L"TALVORI");
        EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                              DS_MODALFRAME | DS_CENTER | DS_SETFONT |
                                              DS_FIXEDSYS | DS_3DLOOK));
        EXPECT_EQ(t.exStyle, french ? static_cast<DWORD>(WS_EX_WINDOWEDGE) : 0u);
        EXPECT_EQ(t.cx, french ? 205 : 197);
        EXPECT_EQ(t.cy, 215);
        EXPECT_EQ(t.font, L"Ms Shell Dlg 2");
        EXPECT_EQ(t.pointSize, 8);

        ASSERT_EQ(t.items.size(), std::size(kControls));
        for (size_t i = 0; i < t.items.size(); ++i) {
            const dialogs::TemplateItem& got = t.items[i];
            const Expected& want = kControls[i];
            const Rect& r = french ? want.inFrench : want.inEnglish;
            SCOPED_TRACE(testing::Message() << "control " << i << " (id " << want.id << ")");
            EXPECT_EQ(got.id, want.id);
            // Resource compilers may store custom class names upper-cased;
            // class lookup ignores case.
            EXPECT_EQ(_wcsicmp(got.className.c_str(), want.className), 0) << got.className;
            EXPECT_EQ(got.text, french ? want.french : want.english);
            if (got.className == L"Button")
                EXPECT_EQ(got.style & BS_TYPEMASK, want.kind);
            else
                EXPECT_EQ(got.style & want.kind, want.kind);
            EXPECT_EQ((got.style & WS_TABSTOP) != 0, takesTab(want));
            EXPECT_EQ(got.x, r.x);
            EXPECT_EQ(got.y, r.y);
            EXPECT_EQ(got.cx, r.cx);
            EXPECT_EQ(got.cy, r.cy);
        }
        // Only the width box is limited to digits: any duration text can be typed.
        EXPECT_EQ(t.item(IDC_DURATION)->style & ES_NUMBER, 0u);
    }

    HMODULE module = nullptr;
};

TEST_F(SettingsResources, TheEnglishTemplateHasEveryControlInPlace) { checkTemplate(kEnglish); }

TEST_F(SettingsResources, TheFrenchTemplateHasEveryControlInPlace) { checkTemplate(kFrench); }

TEST_F(SettingsResources, MessagesExistInBothLanguages) {
    using dialogs::loadString;
    EXPECT_EQ(loadString(module, IDS_COLOUR_KEY_OFF, kEnglish),
              L"Background transparency temporarily disabled");
    EXPECT_EQ(loadString(module, IDS_RESET_QUESTION, kEnglish),
              L"All settings will be reset to their default values");
    EXPECT_EQ(loadString(module, IDS_LIST_CHANNEL_RESTART, kEnglish),
              L"List Channel will  displayed after restarting TeamSpeak");
    EXPECT_EQ(loadString(module, IDS_COLOUR_KEY_OFF, kFrench),
              L"Transparence du fond temporairement désactivée");
    EXPECT_EQ(loadString(module, IDS_RESET_QUESTION, kFrench),
              L"Tous les paramètres seront remis à la valeur par défaut");
    EXPECT_EQ(loadString(module, IDS_LIST_CHANNEL_RESTART, kFrench),
              L"La fenêtre List Channel sera visible après redémarrage de TeamSpeak");
    // The window's names stay the same in both.
    EXPECT_EQ(loadString(module, 40001, kFrench), L"TALVORI");
    EXPECT_EQ(loadString(module, 40001, kEnglish), L"TALVORI");
}

}  // namespace
