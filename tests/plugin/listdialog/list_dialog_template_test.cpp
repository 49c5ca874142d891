// What the plugin carries for its settings dialog in each language.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "dialog_template.h"
#include "list_settings_dialog_ids.h"
#include "resource_ids.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);

struct Rect {
    short x, y, cx, cy;
};

struct Expected {
    DWORD id;
    const wchar_t* className;
    DWORD buttonType;
    const wchar_t* english;
    const wchar_t* french;
    Rect inEnglish;
    Rect inFrench;
};

// In template order.
const Expected kControls[] = {
    {IDCANCEL, L"Button", BS_PUSHBUTTON, L"CANCEL", L"Annuler", {102, 83, 50, 14}, {102, 83, 54, 14}},
    {IDOK, L"Button", BS_DEFPUSHBUTTON, L"OK", L"OK", {102, 64, 50, 14}, {102, 64, 54, 14}},
    {IDC_LIST_TEXT_COLOUR, L"Button", BS_PUSHBUTTON, L"Text Color", L"Couleur text",
     {102, 7, 50, 14}, {102, 7, 54, 14}},
    {IDC_LIST_BORDER, L"Button", BS_AUTOCHECKBOX, L"Border", L"Bordure", {10, 11, 37, 10},
     {10, 11, 37, 10}},
    {IDC_LIST_TRANSPARENT, L"Button", BS_AUTOCHECKBOX, L"Transparent background",
     L"Fond Transparent", {10, 30, 92, 10}, {10, 30, 75, 10}},
    {0xFFFFFFFF, L"Static", 0, L"Opacity", L"Opacité :", {37, 55, 26, 8}, {33, 55, 30, 8}},
    {IDC_LIST_OPACITY, L"msctls_trackbar32", 0, L"", L"", {10, 63, 80, 15}, {5, 63, 80, 15}},
    {IDC_LIST_AWAY_COLOUR, L"Button", BS_PUSHBUTTON, L"Away Color", L"Couleur absent",
     {102, 26, 50, 14}, {102, 26, 54, 14}},
    {IDC_LIST_RESET, L"Button", BS_PUSHBUTTON, L"RESET", L"RESET", {102, 45, 26, 14},
     {102, 45, 26, 14}},
};

void checkTemplate(LANGID language) {
    const bool french = language == kFrench;
    dialogs::DialogTemplate t;
    ASSERT_TRUE(dialogs::loadTemplate(GetModuleHandleW(nullptr), IDD_LIST_SETTINGS, language, t));
    EXPECT_EQ(t.title, french ? L"List Channel Config" : L"List Channel settings");
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                          DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS | DS_3DLOOK |
                                          DS_CENTER));
    EXPECT_EQ(t.cx, french ? 165 : 161);
    EXPECT_EQ(t.cy, french ? 102 : 103);
    EXPECT_EQ(t.font, L"Ms Shell Dlg 2");
    EXPECT_EQ(t.pointSize, 8);

    ASSERT_EQ(t.items.size(), std::size(kControls));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const dialogs::TemplateItem& got = t.items[i];
        const Expected& want = kControls[i];
        const Rect& r = french ? want.inFrench : want.inEnglish;
        SCOPED_TRACE(testing::Message() << "control " << i << " (id " << want.id << ")");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(_wcsicmp(got.className.c_str(), want.className), 0) << got.className;
        EXPECT_EQ(got.text, french ? want.french : want.english);
        if (got.className == L"Button") {
            EXPECT_EQ(got.style & BS_TYPEMASK, want.buttonType);
        }
        EXPECT_EQ(got.x, r.x);
        EXPECT_EQ(got.y, r.y);
        EXPECT_EQ(got.cx, r.cx);
        EXPECT_EQ(got.cy, r.cy);
    }
    const DWORD trackbar = t.item(IDC_LIST_OPACITY)->style;
    EXPECT_EQ(trackbar & (TBS_BOTH | TBS_NOTICKS | TBS_VERT),
              static_cast<DWORD>(TBS_BOTH | TBS_NOTICKS));
}

TEST(ListDialogResources, TheEnglishTemplateHasEveryControlInPlace) { checkTemplate(kEnglish); }

TEST(ListDialogResources, TheFrenchTemplateHasEveryControlInPlace) { checkTemplate(kFrench); }

TEST(ListDialogResources, TheResetQuestionExistsInBothLanguages) {
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(dialogs::loadString(self, IDS_RESET_QUESTION, kEnglish),
              L"All settings will be reset to their default values");
    EXPECT_EQ(dialogs::loadString(self, IDS_RESET_QUESTION, kFrench),
              L"Tous les paramètres seront remis à la valeur par défaut");
}

}  // namespace
