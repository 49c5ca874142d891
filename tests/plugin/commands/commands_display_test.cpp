// "back", "channel" and "erase": the overlay and the List Channel window.
#include "commands_fixture.h"
#include "display_link.h"
#include "list_window.h"
#include "speaker_line.h"

namespace commandtest {
namespace {

// Stands in for the overlay window and keeps the codes it is sent.
std::vector<WPARAM> displayCodes;

LRESULT CALLBACK fakeOverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == DISPLAY_MESSAGE) {
        displayCodes.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class DisplayCommandsTest : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = fakeOverlayProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CommandsTestOverlay";
        RegisterClassW(&wc);  // fails harmlessly after the first test
        overlay = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
        ASSERT_NE(overlay, nullptr);
        displayWindow = overlay;
        displayCodes.clear();
        savedConfig = listConfig;
        placingListWindow = false;
    }

    void TearDown() override {
        if (listWindow) DestroyWindow(listWindow);
        listWindow = nullptr;
        listConfig = savedConfig;
        placingListWindow = false;
        displayWindow = nullptr;
        DestroyWindow(overlay);
        CommandsTest::TearDown();
    }

    HWND overlay = nullptr;
    ListChannelConfig savedConfig{};
};

TEST_F(DisplayCommandsTest, BackRepostsTheActivityLineForTheCurrentTabOnly) {
    EXPECT_EQ(run("back"), 0);
    EXPECT_EQ(run("back", kOtherTab), 0);
    EXPECT_EQ(displayCodes, std::vector<WPARAM>({DISPLAY_ACTIVITY_POSTED}));

    displayWindow = nullptr;
    EXPECT_EQ(run("back"), 0);
    EXPECT_EQ(displayCodes.size(), 1u);
}

TEST_F(DisplayCommandsTest, EraseClearsSlotsAndSpeakerAreaFromAnyTab) {
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        channel::kSpeakerBytes, nullptr);
    ASSERT_NE(mapping, nullptr);
    displayChannel.speakerMapping.reset(mapping);
    displayChannel.speakerView.reset(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, channel::kSpeakerBytes));
    ASSERT_NE(displayChannel.speakerView.get(), nullptr);
    wchar_t* area = static_cast<wchar_t*>(displayChannel.speakerView.get());
    wcscpy_s(area, channel::kSpeakerUnits, L"Alice Bob ");
    speakerSlots.slot[0] = 6;
    speakerSlots.slot[1] = 7;
    speakerSlots.slot[19] = 9;

    EXPECT_EQ(run("erase", kOtherTab), 0);

    for (anyID slot : speakerSlots.slot) EXPECT_EQ(slot, 0);
    EXPECT_EQ(area[0], L'\0');
    EXPECT_EQ(displayCodes, std::vector<WPARAM>({DISPLAY_SPEAKERS_CHANGED}));
    displayChannel.speakerView.reset();
    displayChannel.speakerMapping.reset();
}

TEST_F(DisplayCommandsTest, ChannelFromAnotherTabDoesNothing) {
    for (const char* command : {"channel on", "channel", "channel bogus"})
        EXPECT_EQ(run(command, kOtherTab), 0) << command;
    EXPECT_EQ(listWindow, nullptr);
    EXPECT_TRUE(tab().empty());

    run("channel on");
    ASSERT_NE(listWindow, nullptr);
    HWND window = listWindow;
    EXPECT_EQ(run("channel off", kOtherTab), 0);
    EXPECT_EQ(run("channel hide", kOtherTab), 0);
    EXPECT_EQ(listWindow, window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(tab().empty());
}

TEST_F(DisplayCommandsTest, ChannelUsageTexts) {
    const std::string usage = "Commande channel parameters : on, off,show,hide,toggle";
    EXPECT_EQ(run("channel"), 0);
    for (const char* command : {"channel off", "channel hide", "channel show", "channel toggle",
                                "channel bogus", "channel ON"})
        EXPECT_EQ(run(command), 0) << command;
    std::vector<std::string> expected(6, usage);
    expected.insert(expected.begin(),
                    "Commande channel missing parameters : on, off,show,hide,toggle");
    EXPECT_EQ(tab(), expected);
    EXPECT_EQ(listWindow, nullptr);
}

TEST_F(DisplayCommandsTest, ChannelSwitchesTheListWindow) {
    listConfig.windowEnabled = 0;
    EXPECT_EQ(run("channel on"), 0);
    HWND window = listWindow;
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(listConfig.windowEnabled, 1);
    EXPECT_TRUE(tab().empty());

    // A second "on" keeps the window and says how to use the command.
    EXPECT_EQ(run("channel on"), 0);
    EXPECT_EQ(listWindow, window);
    EXPECT_EQ(tab(), std::vector<std::string>(
                         {"Commande channel parameters : on, off,show,hide,toggle"}));

    run("channel toggle");
    EXPECT_FALSE(IsWindowVisible(window));
    run("channel toggle");
    EXPECT_TRUE(IsWindowVisible(window));
    run("channel hide");
    EXPECT_FALSE(IsWindowVisible(window));
    run("channel hide");
    EXPECT_FALSE(IsWindowVisible(window));
    run("channel show");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(tab().size(), 1u);

    EXPECT_EQ(run("channel off"), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(listWindow, nullptr);
    EXPECT_EQ(listConfig.windowEnabled, 1);  // "off" leaves the stored switch
}

TEST_F(DisplayCommandsTest, ChannelOnWhileConfiguringOpensWithCaption) {
    placingListWindow = true;
    run("channel on");
    ASSERT_NE(listWindow, nullptr);
    EXPECT_EQ(GetWindowLongW(listWindow, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    DestroyWindow(listWindow);
    listWindow = nullptr;
    placingListWindow = false;
    run("channel on");
    ASSERT_NE(listWindow, nullptr);
    EXPECT_NE(GetWindowLongW(listWindow, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
}

TEST_F(DisplayCommandsTest, ChannelOnThatCannotCreateRecordsTheWindowAsOff) {
    unregisterListWindowClass(pluginInstance);
    listConfig.windowEnabled = 1;
    EXPECT_EQ(run("channel on"), 0);
    registerListWindowClass(pluginInstance);
    EXPECT_EQ(listWindow, nullptr);
    EXPECT_EQ(listConfig.windowEnabled, 0);
}

}  // namespace
}  // namespace commandtest
