// The display settings dialog as the user meets it: previews on the real
// overlay window, the warnings, RESET, OK and Cancel, and what is stored.
#include "settings_dialog_fixture.h"

#include <commctrl.h>

namespace {

using dialogs::checked;
using dialogs::click;
using dialogs::itemText;
using dialogs::setItemText;
using dialogs::waitForMessageBox;

constexpr wchar_t kColourKeyOff[] = L"Background transparency temporarily disabled";
constexpr wchar_t kResetQuestion[] = L"All settings will be reset to their default values";
constexpr wchar_t kListChannelRestart[] =
    L"List Channel will  displayed after restarting TeamSpeak";

// Answers the box `owner` shows; every box of the dialog says "TALVORI".
std::wstring answer(HWND owner, int button) {
    std::wstring caption;
    const std::wstring said = dialogs::answer(owner, button, &caption);
    EXPECT_EQ(caption, L"TALVORI");
    return said;
}

// The box shows up within a moment, or it does not come at all.
bool messageAppears(HWND owner) { return waitForMessageBox(owner, 700) != nullptr; }

using SettingsDialog = SettingsDialogTest;

TEST_F(SettingsDialog, WithTheBorderOffTheWidthWarningComesAtOnceAndTakesTheColourKey) {
    config.border = 0;
    config.transparentBackground = 1;
    ASSERT_TRUE(launchSeeThrough());
    ASSERT_TRUE(waitFor([&] { return layered().flags == (LWA_COLORKEY | LWA_ALPHA); }));
    ASSERT_TRUE(openDialog());
    saveShot(waitForMessageBox(dialog), L"display_warning_en");
    EXPECT_EQ(answer(dialog, IDOK), kColourKeyOff);
    // The preview runs without the key until something gives it back.
    EXPECT_TRUE(waitFor([&] { return layered().flags == LWA_ALPHA; }));

    // Once said, a further width change stays quiet.
    setItemText(dialog, IDC_WIDTH, L"300");
    EXPECT_FALSE(messageAppears(dialog));
    EXPECT_TRUE(waitForWidth(300));

    // A drag of the opacity brings the key back for its preview...
    dialogs::thumbTrack(dialog, IDC_OPACITY, 200);
    EXPECT_TRUE(waitFor([&] { return layered().flags == (LWA_COLORKEY | LWA_ALPHA); }));
    EXPECT_EQ(layered().alpha, 200);

    // ...and ticking Transparent background arms the warning again.
    // The box shows its tick before the dialog has handled the click; the
    // preview each click applies is what says the handling is done.
    click(dialog, IDC_TRANSPARENT);  // unticks
    EXPECT_TRUE(waitFor([&] { return layered().flags == LWA_ALPHA; }));
    click(dialog, IDC_TRANSPARENT);  // ticks again
    EXPECT_TRUE(waitFor([&] {
        return checked(dialog, IDC_TRANSPARENT) &&
               layered().flags == (LWA_COLORKEY | LWA_ALPHA);
    }));
    setItemText(dialog, IDC_WIDTH, L"320");
    EXPECT_EQ(answer(dialog, IDOK), kColourKeyOff);

    // Cancel: the key and the stored look are back.
    EXPECT_EQ(closeWith(IDCANCEL), 0);
    EXPECT_EQ(layered().flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
    EXPECT_EQ(layered().alpha, 255);
    EXPECT_TRUE(waitForWidth(240));
}

TEST_F(SettingsDialog, WidthIsClampedOnScreenAndInTheRecordWhileTheBoxKeepsTheText) {
    ASSERT_TRUE(launch());
    // Ready means, among other things, that the fill's width handling has
    // handed the focus to the width box.
    ASSERT_TRUE(openDialog());
    saveShot(dialog, L"display_en");

    setItemText(dialog, IDC_WIDTH, L"");
    EXPECT_TRUE(waitForWidth(100));
    setItemText(dialog, IDC_WIDTH, L"350");
    EXPECT_TRUE(waitForWidth(350));
    setItemText(dialog, IDC_WIDTH, L"1000");
    EXPECT_TRUE(waitForWidth(500));
    EXPECT_EQ(itemText(dialog, IDC_WIDTH), L"1000");

    // Typed key by key: after each change the box gets the focus back with
    // nothing selected, so the next key adds to the text.
    setItemText(dialog, IDC_WIDTH, L"");
    HWND box = GetDlgItem(dialog, IDC_WIDTH);
    for (wchar_t key : std::wstring(L"420")) PostMessageW(box, WM_CHAR, key, 0);
    waitFor([&] { return itemText(dialog, IDC_WIDTH) == L"420"; });
    EXPECT_EQ(itemText(dialog, IDC_WIDTH), L"420");
    EXPECT_TRUE(waitForWidth(420));
    setItemText(dialog, IDC_WIDTH, L"1000");
    EXPECT_TRUE(waitForWidth(500));
    // With the border on, no width change ever warns.
    EXPECT_FALSE(dialogs::hasMessageBox(dialog));

    EXPECT_EQ(closeWith(IDOK), 0);
    EXPECT_EQ(storedConfig().width, 500);
    EXPECT_TRUE(waitForWidth(500));
}

TEST_F(SettingsDialog, ADurationThatIsNotANumberSavesZeroAndTheQueueIsClearedAfterwards) {
    config.displayDuration = 60;
    PluginChannel& channel = plugin();
    ASSERT_TRUE(launch());
    channel.postActivity(L"Alice -> Lobby");
    ASSERT_TRUE(waitForInk(kChannel, kActivityRow, true));
    // The area itself goes blank; only the queue still holds the line.
    channel.writeActivity(L"");

    ASSERT_TRUE(openDialog());
    setItemText(dialog, IDC_DURATION, L"soon");
    EXPECT_EQ(closeWith(IDOK), 0);
    EXPECT_EQ(storedConfig().displayDuration, 0);

    // Back to a queue: had the clear not come, Alice would show again.
    ASSERT_TRUE(openDialog());
    setItemText(dialog, IDC_DURATION, L"60");
    EXPECT_EQ(closeWith(IDOK), 0);
    EXPECT_EQ(storedConfig().displayDuration, 60);
    ASSERT_TRUE(channel.settle());
    EXPECT_EQ(ink(kChannel, kActivityRow), 0);
}

TEST_F(SettingsDialog, TypedDurationsAreTakenUncheckedKeepingTheLowSixteenBits) {
    ASSERT_TRUE(launch());
    ASSERT_TRUE(openDialog());
    setItemText(dialog, IDC_DURATION, L"70000");
    EXPECT_EQ(closeWith(IDOK), 0);
    EXPECT_EQ(storedConfig().displayDuration, 70000 & 0xFFFF);
}

TEST_F(SettingsDialog, ResetAsksFirstAndOnlyOkKeepsTheDefaults) {
    config.opacity = 180;
    config.width = 300;
    config.twoLines = 0;
    config.speakerColour = RGB(0, 120, 0);
    ASSERT_TRUE(launch());
    const std::vector<BYTE> before = stored.bytes();

    // No: nothing changes.
    ASSERT_TRUE(openDialog());
    click(dialog, IDC_RESET);
    saveShot(waitForMessageBox(dialog), L"display_reset_en");
    EXPECT_EQ(answer(dialog, IDNO), kResetQuestion);
    EXPECT_EQ(itemText(dialog, IDC_WIDTH), L"300");
    EXPECT_EQ(windowRect().left, 40);

    // Yes: the defaults show at once, the window at (10, 10)...
    click(dialog, IDC_RESET);
    EXPECT_EQ(answer(dialog, IDYES), kResetQuestion);
    EXPECT_TRUE(waitFor([&] {
        const RECT r = windowRect();
        return r.left == 10 && r.top == 10 && r.right - r.left == 240 && r.bottom - r.top == 40;
    }));
    EXPECT_EQ(layered().alpha, 255);
    EXPECT_EQ(itemText(dialog, IDC_WIDTH), L"240");
    EXPECT_EQ(itemText(dialog, IDC_DURATION), L"5");
    EXPECT_TRUE(checked(dialog, IDC_TWO_LINES));
    // ...and Cancel leaves nothing of them.
    EXPECT_EQ(closeWith(IDCANCEL), 0);
    EXPECT_TRUE(waitFor([&] {
        const RECT r = windowRect();
        return r.left == 40 && r.top == 40 && r.right - r.left == 300 && r.bottom - r.top == 20;
    }));
    EXPECT_EQ(layered().alpha, 180);
    EXPECT_EQ(stored.bytes(), before);

    // Yes then OK: the defaults are stored, position included.
    ASSERT_TRUE(openDialog());
    click(dialog, IDC_RESET);
    EXPECT_EQ(answer(dialog, IDYES), kResetQuestion);
    EXPECT_EQ(closeWith(IDOK), 0);
    DisplayConfig defaults;
    resetDisplayConfig(defaults);
    EXPECT_EQ(stored.bytes(), bytesOf(defaults));
}

TEST_F(SettingsDialog, TheListChannelSwitchComesBackAsTheUserLeftIt) {
    ASSERT_TRUE(launch());

    // Ticked at opening, OK untouched: 1, and nothing to say.
    ASSERT_TRUE(openDialog(1));
    EXPECT_TRUE(checked(dialog, IDC_LIST_CHANNEL));
    EXPECT_EQ(closeWith(IDOK), 1);

    // Unticked and OK: 0.
    ASSERT_TRUE(openDialog(1));
    click(dialog, IDC_LIST_CHANNEL);
    EXPECT_TRUE(dialogs::waitUntil([&] { return !checked(dialog, IDC_LIST_CHANNEL); }));
    EXPECT_EQ(closeWith(IDOK), 0);

    // Off at opening, ticked and OK: the restart note, then 1.
    ASSERT_TRUE(openDialog(0));
    EXPECT_FALSE(checked(dialog, IDC_LIST_CHANNEL));
    click(dialog, IDC_LIST_CHANNEL);
    EXPECT_TRUE(dialogs::waitUntil([&] { return checked(dialog, IDC_LIST_CHANNEL); }));
    click(dialog, IDOK);
    saveShot(waitForMessageBox(dialog), L"display_restart_en");
    EXPECT_EQ(answer(dialog, IDOK), kListChannelRestart);
    EXPECT_EQ(result(), 1);

    // Cancel hands back the switch it was given, whatever the box says.
    ASSERT_TRUE(openDialog(0));
    click(dialog, IDC_LIST_CHANNEL);
    EXPECT_TRUE(dialogs::waitUntil([&] { return checked(dialog, IDC_LIST_CHANNEL); }));
    EXPECT_EQ(closeWith(IDCANCEL), 0);
}

TEST_F(SettingsDialog, OnlyDraggingTheThumbChangesTheOpacity) {
    config.opacity = 200;
    ASSERT_TRUE(launch());
    ASSERT_TRUE(openDialog());
    HWND trackbar = GetDlgItem(dialog, IDC_OPACITY);
    ASSERT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 200);

    // The keyboard moves the thumb; its notifications change nothing.
    SendMessageW(trackbar, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(trackbar, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), 25);
    dialogs::scrollNotify(dialog, IDC_OPACITY, TB_PAGEDOWN, 0);
    dialogs::scrollNotify(dialog, IDC_OPACITY, TB_ENDTRACK, 0);
    dialogs::scrollNotify(dialog, IDC_OPACITY, TB_THUMBPOSITION, 60);
    // A thumb-track that does not come from the opacity trackbar neither.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 60),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_WIDTH_SPIN)), SMTO_NORMAL,
                        5000, &ignored);
    EXPECT_EQ(layered().alpha, 200);

    dialogs::thumbTrack(dialog, IDC_OPACITY, 25);
    EXPECT_EQ(layered().alpha, 25);
    EXPECT_EQ(closeWith(IDOK), 0);
    EXPECT_EQ(storedConfig().opacity, 25);
}

TEST_F(SettingsDialog, UntickingEnableUnticksTwoLinesAndShrinksTheWindow) {
    ASSERT_TRUE(launch());
    ASSERT_EQ(windowRect().bottom - windowRect().top, 40);
    ASSERT_TRUE(openDialog());

    click(dialog, IDC_ACTIVITY_ENABLED);
    EXPECT_TRUE(waitFor([&] { return windowRect().bottom - windowRect().top == 20; }));
    EXPECT_FALSE(checked(dialog, IDC_ACTIVITY_ENABLED));
    EXPECT_FALSE(checked(dialog, IDC_TWO_LINES));

    // Enable again leaves two lines off; two lines can come back alone.
    click(dialog, IDC_ACTIVITY_ENABLED);
    EXPECT_TRUE(dialogs::waitUntil([&] { return checked(dialog, IDC_ACTIVITY_ENABLED); }));
    EXPECT_FALSE(checked(dialog, IDC_TWO_LINES));
    click(dialog, IDC_ACTIVITY_ENABLED);
    click(dialog, IDC_TWO_LINES);
    EXPECT_TRUE(waitFor([&] { return windowRect().bottom - windowRect().top == 40; }));
    EXPECT_FALSE(checked(dialog, IDC_ACTIVITY_ENABLED));

    EXPECT_EQ(closeWith(IDOK), 0);
    const DisplayConfig saved = storedConfig();
    EXPECT_EQ(saved.activityEnabled, 0);
    EXPECT_EQ(saved.twoLines, 1);
}

TEST_F(SettingsDialog, AColourShowsAtOnceAndCancelPaintsTheOldOneAgain) {
    constexpr COLORREF kPicked = RGB(0, 160, 0);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(waitForInk(kSpeaker, kSpeakerRow, true));  // the banner
    ASSERT_TRUE(openDialog());

    // A cancelled picker keeps the colour.
    click(dialog, IDC_SPEAKER_COLOUR);
    HWND picker = dialogs::waitForColourPicker(dialog);
    ASSERT_TRUE(picker);
    click(picker, IDCANCEL);
    ASSERT_TRUE(dialogs::waitClosed(picker));
    EXPECT_GT(ink(kSpeaker, kSpeakerRow), 0);

    click(dialog, IDC_SPEAKER_COLOUR);
    picker = dialogs::waitForColourPicker(dialog);
    ASSERT_TRUE(picker);
    dialogs::setPickerColour(picker, kPicked);
    click(picker, IDOK);
    ASSERT_TRUE(dialogs::waitClosed(picker));
    EXPECT_TRUE(waitForInk(kPicked, kSpeakerRow, true));
    EXPECT_EQ(ink(kSpeaker, kSpeakerRow), 0);

    EXPECT_EQ(closeWith(IDCANCEL), 0);
    EXPECT_TRUE(waitForInk(kSpeaker, kSpeakerRow, true));
    EXPECT_EQ(ink(kPicked, kSpeakerRow), 0);
    EXPECT_EQ(storedConfig().speakerColour, kSpeaker);
}

}  // namespace
