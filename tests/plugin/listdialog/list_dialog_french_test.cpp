// The dialog on a French system. The build runs this program under a French
// locale.
#include "list_dialog_fixture.h"

namespace {

TEST_F(ListDialogTest, OnAFrenchSystemTheFrenchDialogAndQuestionShow) {
    ASSERT_EQ(PRIMARYLANGID(GetThreadUILanguage()), LANG_FRENCH)
        << "this program must run with a French UI language";
    openWindow();
    ASSERT_TRUE(openDialog());
    saveShot(dialog, L"list_fr");
    EXPECT_EQ(dialogs::text(dialog), L"List Channel Config");
    EXPECT_EQ(dialogs::itemText(dialog, IDCANCEL), L"Annuler");
    EXPECT_EQ(dialogs::itemText(dialog, IDC_LIST_AWAY_COLOUR), L"Couleur absent");

    dialogs::click(dialog, IDC_LIST_RESET);
    saveShot(dialogs::waitForMessageBox(dialog), L"list_reset_fr");
    EXPECT_EQ(dialogs::answer(dialog, IDNO),
              L"Tous les paramètres seront remis à la valeur par défaut");
    EXPECT_TRUE(closeWith(IDCANCEL));
}

}  // namespace
