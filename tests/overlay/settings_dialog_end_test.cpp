// How the dialog ends: a quit ends it as Cancel would, and a click that
// closes it gives the keyboard back to the game that had it.
#include "settings_dialog_fixture.h"
#include "game_process.h"

namespace {

constexpr wchar_t kResetQuestion[] = L"All settings will be reset to their default values";
// A game over the screen's top-left part, under the overlay at (40, 40),
// and the voice client's window a little larger, beneath the game.
constexpr SIZE kGameSize{640, 480};
constexpr SIZE kClientSize{800, 600};

using SettingsDialog = SettingsDialogTest;

// The client closes while the dialog shows RESET's preview at (10, 10),
// with the colour picker open over it: the program ends all the same, and
// nothing of the preview is stored, the user's place (40, 40) least of all.
TEST_F(SettingsDialog, AQuitAfterResetEndsAsCancelAndStoresNothing) {
    ASSERT_TRUE(launch());
    const std::vector<BYTE> before = stored.bytes();
    ASSERT_TRUE(openDialog());
    dialogs::click(dialog, IDC_RESET);
    ASSERT_EQ(dialogs::answer(dialog, IDYES), kResetQuestion);
    ASSERT_TRUE(waitFor([&] { return windowRect().left == 10 && windowRect().top == 10; }));
    dialogs::click(dialog, IDC_SPEAKER_COLOUR);
    ASSERT_TRUE(dialogs::waitForColourPicker(dialog));

    EXPECT_EQ(overlay.stop(), 0);
    EXPECT_EQ(result(), 0) << "the plugin's switch, as Cancel hands it back";
    EXPECT_EQ(stored.bytes(), before);
}

// Opened over the game, closed with a real click on Cancel, then on OK:
// each time the game has the keyboard again, not the overlay. When the game
// has ended meanwhile, the client beneath it gets the keyboard.
TEST_F(SettingsDialog, ClosedWithAClickItGivesTheKeyboardBackToTheGame) {
    GameProcess client(kClientSize);
    ASSERT_TRUE(client.hasForeground());
    GameProcess game(kGameSize);
    ASSERT_TRUE(game.hasForeground());
    ASSERT_TRUE(launch());
    ASSERT_TRUE(game.hasKeyboard());
    auto closeWithAClick = [&](int button) {
        return real_input::settled([&] { return GetForegroundWindow() == dialog; }) &&
               real_input::click(real_input::centreOf(GetDlgItem(dialog, button))) &&
               result() == 0;
    };
    auto foreground = [] { return dialogs::className(GetForegroundWindow()); };

    for (int button : {IDCANCEL, IDOK}) {
        ASSERT_TRUE(openDialog());
        ASSERT_TRUE(closeWithAClick(button)) << "button " << button;
        EXPECT_TRUE(waitFor([&] { return game.hasKeyboard(); }))
            << "button " << button << ": the foreground is " << foreground();
    }

    ASSERT_TRUE(openDialog());
    game.close();
    ASSERT_TRUE(closeWithAClick(IDCANCEL));
    EXPECT_TRUE(waitFor([&] { return client.hasKeyboard(); }))
        << "the game gone: the foreground is " << foreground();
}

}  // namespace
