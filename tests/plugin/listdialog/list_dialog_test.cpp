// The List Channel settings dialog: every change shows on the window at
// once, CANCEL takes it back, OK keeps and stores it, RESET asks first.
#include "list_dialog_fixture.h"

#include <colordlg.h>
#include <commctrl.h>

#include "globals.h"
#include "game_process.h"

namespace {

using dialogs::answer;
using dialogs::checked;
using dialogs::click;

constexpr wchar_t kResetQuestion[] = L"All settings will be reset to their default values";
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool sameRect(const RECT& r, int x, int y, int width, int height) {
    return r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height;
}

TEST_F(ListDialogTest, OnlyDraggingTheOpacityThumbChangesTheWindowAndCancelTakesItBack) {
    openWindow();
    ASSERT_TRUE(openDialog());
    saveShot(dialog, L"list_en");
    EXPECT_EQ(opacityPosition(), 180);
    ASSERT_EQ(layered().alpha, 180);

    HWND trackbar = GetDlgItem(dialog, IDC_LIST_OPACITY);
    SendMessageW(trackbar, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(trackbar, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(opacityPosition(), 25);
    dialogs::scrollNotify(dialog, IDC_LIST_OPACITY, TB_THUMBPOSITION, 40);
    dialogs::scrollNotify(dialog, IDC_LIST_OPACITY, TB_ENDTRACK);
    EXPECT_EQ(layered().alpha, 180);

    dialogs::thumbTrack(dialog, IDC_LIST_OPACITY, 25);
    EXPECT_EQ(layered().alpha, 25);
    EXPECT_EQ(listConfig.opacity, 180);

    ASSERT_TRUE(closeWith(IDCANCEL));
    EXPECT_EQ(layered().alpha, 180);
    EXPECT_EQ(listConfigDraft.opacity, 180);
    EXPECT_TRUE(storedRecord().empty());
}

TEST_F(ListDialogTest, TransparentBackgroundShowsAtOnceAndCancelRestoresTheStoredLook) {
    openWindow();
    ASSERT_EQ(layered().flags, static_cast<DWORD>(LWA_ALPHA));
    ASSERT_TRUE(openDialog());
    EXPECT_FALSE(checked(dialog, IDC_LIST_TRANSPARENT));
    EXPECT_FALSE(checked(dialog, IDC_LIST_BORDER));

    click(dialog, IDC_LIST_TRANSPARENT);
    EXPECT_TRUE(dialogs::waitUntil([&] { return layered().flags == (LWA_COLORKEY | LWA_ALPHA); }));
    EXPECT_EQ(layered().key, kWhite);
    click(dialog, IDC_LIST_BORDER);
    EXPECT_TRUE(dialogs::waitUntil(
        [&] { return (GetWindowLongW(listWindow, GWL_STYLE) & WS_BORDER) != 0; }));

    ASSERT_TRUE(closeWith(IDCANCEL));
    EXPECT_EQ(layered().flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(GetWindowLongW(listWindow, GWL_STYLE) & WS_BORDER, 0);
    EXPECT_EQ(listConfig.transparentBackground, 0);
    EXPECT_EQ(listConfig.border, 0);
}

TEST_F(ListDialogTest, ResetAsksAndCancelAfterItKeepsOnlyTheDefaultGeometry) {
    openWindow();
    ASSERT_TRUE(sameRect(windowRect(), 300, 200, 200, 150));
    ASSERT_TRUE(openDialog());

    click(dialog, IDC_LIST_RESET);
    saveShot(dialogs::waitForMessageBox(dialog), L"list_reset_en");
    std::wstring caption;
    EXPECT_EQ(answer(dialog, IDNO, &caption), kResetQuestion);
    EXPECT_EQ(caption, L"TALVORI");
    EXPECT_TRUE(sameRect(windowRect(), 300, 200, 200, 150));
    EXPECT_EQ(opacityPosition(), 180);
    EXPECT_EQ(listConfigDraft.textColour, RGB(0, 0, 160));

    // Yes: the defaults show at once, the window moved and sized with them.
    click(dialog, IDC_LIST_RESET);
    EXPECT_EQ(answer(dialog, IDYES), kResetQuestion);
    EXPECT_TRUE(dialogs::waitUntil([&] { return opacityPosition() == 255; }));
    EXPECT_TRUE(checked(dialog, IDC_LIST_BORDER));
    EXPECT_TRUE(checked(dialog, IDC_LIST_TRANSPARENT));
    EXPECT_TRUE(sameRect(windowRect(), 10, 60, 240, 300));
    EXPECT_EQ(layered().flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));

    // CANCEL: the look comes back, the place does not, since the preview's
    // move went into the live record.
    ASSERT_TRUE(closeWith(IDCANCEL));
    EXPECT_EQ(layered().alpha, 180);
    EXPECT_EQ(layered().flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(listConfig.textColour, RGB(0, 0, 160));
    EXPECT_EQ(listConfig.windowEnabled, 1);
    EXPECT_TRUE(sameRect(windowRect(), 10, 60, 240, 300));
    EXPECT_EQ(listConfig.x, 10);
    EXPECT_EQ(listConfig.height, 300);
    EXPECT_TRUE(storedRecord().empty());
}

TEST_F(ListDialogTest, ResetThenOkStoresTheDefaultsWithTheWindowSwitchedOff) {
    storeRecord(listConfig);
    openWindow();
    ASSERT_TRUE(openDialog());
    click(dialog, IDC_LIST_RESET);
    EXPECT_EQ(answer(dialog, IDYES), kResetQuestion);
    ASSERT_TRUE(closeWith(IDOK));

    ListChannelConfig defaults;
    resetListChannelConfig(defaults);
    EXPECT_EQ(storedRecord(), bytesOf(defaults));
    EXPECT_EQ(listConfig.windowEnabled, 0);
    EXPECT_EQ(layered().flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
}

// A game over the screen's top-left part, under the List Channel window
// (at 300, 200) and the dialog (at the screen's centre); a point of the
// game that neither covers.
constexpr SIZE kGameSize{640, 480};
constexpr POINT kInTheGame{10, 470};

bool anotherDialogOpens() {
    return dialogs::waitForDialogWith(GetCurrentProcessId(), IDC_LIST_OPACITY,
                                      L"msctls_trackbar32", 500) != nullptr;
}

// Opened over the game by a real right click, closed with a real click on
// CANCEL, then on OK: each time the game has the keyboard again, not the
// List Channel window.
TEST_F(ListDialogTest, ClosedWithAClickItGivesTheKeyboardBackToTheGame) {
    GameProcess game(kGameSize);
    ASSERT_TRUE(game.hasForeground());
    openWindow();
    ASSERT_TRUE(game.hasKeyboard());

    for (int button : {IDCANCEL, IDOK}) {
        ASSERT_TRUE(openDialogWithRealClick()) << "button " << button;
        ASSERT_TRUE(real_input::click(real_input::centreOf(GetDlgItem(dialog, button))));
        ASSERT_TRUE(dialogs::waitClosed(dialog));
        EXPECT_TRUE(dialogs::waitUntil([&] { return game.hasKeyboard(); }, 3000))
            << "button " << button << ": the foreground is "
            << dialogs::className(GetForegroundWindow());
    }
}

// The user went back to the game meanwhile; another real right click on the
// window brings the open dialog forward and opens no second one.
TEST_F(ListDialogTest, ARealRightClickWhileItIsOpenBringsTheSameDialogForward) {
    GameProcess game(kGameSize);
    ASSERT_TRUE(game.hasForeground());
    openWindow();
    ASSERT_TRUE(openDialogWithRealClick());
    const HWND first = dialog;
    ASSERT_TRUE(real_input::click(kInTheGame));
    ASSERT_TRUE(real_input::settled([&] { return game.hasKeyboard(); }));

    ASSERT_TRUE(rightClickWindow());
    EXPECT_TRUE(dialogs::waitUntil([&] { return GetForegroundWindow() == first; }, 3000))
        << "the foreground is " << dialogs::className(GetForegroundWindow());
    EXPECT_TRUE(IsWindow(first));
    ASSERT_TRUE(closeWith(IDCANCEL));
    EXPECT_FALSE(anotherDialogOpens());
}

TEST_F(ListDialogTest, CloseDuringConfigureBringsTheCaptionBack) {
    placingListWindow = true;
    openWindow(true);
    ASSERT_NE(GetWindowLongW(listWindow, GWL_STYLE) & WS_CAPTION, 0);
    // The dialog shows the window as it will look outside configure.
    ASSERT_TRUE(openDialog());
    EXPECT_EQ(GetWindowLongW(listWindow, GWL_STYLE) & WS_CAPTION, 0);
    ASSERT_TRUE(closeWith(IDOK));
    EXPECT_EQ(GetWindowLongW(listWindow, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
}

// Sets `colour` in the picker `button` opens, optionally keeps it among the
// custom colours, then presses `pickerButton` there.
void pick(HWND dialog, int button, COLORREF colour, bool keep, int pickerButton) {
    click(dialog, button);
    HWND picker = dialogs::waitForColourPicker(dialog);
    ASSERT_TRUE(picker);
    dialogs::setPickerColour(picker, colour);
    if (keep) click(picker, COLOR_ADD);
    click(picker, pickerButton);
    ASSERT_TRUE(dialogs::waitClosed(picker));
}

// Takes the first custom colour in the picker `button` opens.
void pickFirstCustomColour(HWND dialog, int button) {
    click(dialog, button);
    HWND picker = dialogs::waitForColourPicker(dialog);
    ASSERT_TRUE(picker);
    RECT cells{};
    GetWindowRect(GetDlgItem(picker, COLOR_CUSTOM1), &cells);
    POINT first{cells.left + 4, cells.top + 4};
    ScreenToClient(picker, &first);
    SendMessageW(picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.x, first.y));
    SendMessageW(picker, WM_LBUTTONUP, 0, MAKELPARAM(first.x, first.y));
    click(picker, IDOK);
    ASSERT_TRUE(dialogs::waitClosed(picker));
}

TEST_F(ListDialogTest, ColoursPreviewAndCustomColoursOutliveTheDialog) {
    constexpr COLORREF kKept = RGB(10, 200, 30);
    openWindow();
    ASSERT_TRUE(openDialog());
    // Kept among the custom colours, but the picker is cancelled.
    pick(dialog, IDC_LIST_TEXT_COLOUR, kKept, true, IDCANCEL);
    EXPECT_EQ(listConfigDraft.textColour, RGB(0, 0, 160));
    pick(dialog, IDC_LIST_TEXT_COLOUR, RGB(1, 2, 3), false, IDOK);
    EXPECT_EQ(listConfigDraft.textColour, RGB(1, 2, 3));
    ASSERT_TRUE(closeWith(IDCANCEL));
    EXPECT_EQ(listConfig.textColour, RGB(0, 0, 160));

    // A new opening, the other button: the colour kept before is offered.
    ASSERT_TRUE(openDialog());
    pickFirstCustomColour(dialog, IDC_LIST_AWAY_COLOUR);
    EXPECT_EQ(listConfigDraft.awayColour, kKept);
    ASSERT_TRUE(closeWith(IDOK));
    EXPECT_EQ(listConfig.awayColour, kKept);
}

}  // namespace
