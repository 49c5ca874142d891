// The settings dialog on a French system: the French template and texts.
// The build runs this program under a French locale.
#include "settings_dialog_fixture.h"

namespace {

using dialogs::answer;
using dialogs::click;
using dialogs::itemText;

using FrenchSettingsDialog = SettingsDialogTest;

TEST_F(FrenchSettingsDialog, TheFrenchTemplateAndMessagesShow) {
    ASSERT_EQ(PRIMARYLANGID(GetThreadUILanguage()), LANG_FRENCH)
        << "this program must run with a French UI language";
    config.border = 0;
    ASSERT_TRUE(launch());
    ASSERT_TRUE(openDialog());
    saveShot(dialogs::waitForMessageBox(dialog), L"display_warning_fr");
    EXPECT_EQ(answer(dialog, IDOK), L"Transparence du fond temporairement désactivée");

    saveShot(dialog, L"display_fr");
    EXPECT_EQ(itemText(dialog, IDCANCEL), L"Annuler");
    EXPECT_EQ(itemText(dialog, IDC_BORDER), L"Bordure");
    EXPECT_EQ(itemText(dialog, IDC_LIST_CHANNEL), L"Activer la fenêtre List Channel");

    click(dialog, IDC_RESET);
    EXPECT_EQ(answer(dialog, IDNO), L"Tous les paramètres seront remis à la valeur par défaut");

    click(dialog, IDC_LIST_CHANNEL);
    EXPECT_TRUE(dialogs::waitUntil([&] { return dialogs::checked(dialog, IDC_LIST_CHANNEL); }));
    click(dialog, IDOK);
    EXPECT_EQ(answer(dialog, IDOK),
              L"La fenêtre List Channel sera visible après redémarrage de TeamSpeak");
    EXPECT_EQ(result(), 1);
}

}  // namespace
