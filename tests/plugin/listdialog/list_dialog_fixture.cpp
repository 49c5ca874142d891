#include "list_dialog_fixture.h"

#include <commctrl.h>

#include <atomic>

#include "globals.h"
#include "lifecycle.h"
#include "list_settings_dialog.h"
#include "list_window.h"
#include "png_writer.h"
#include "real_input.h"

namespace {

constexpr wchar_t kListValue[] = L"ListChannel";

// Loads the strings and registers the window class, as process attach does.
class PluginAttach : public testing::Environment {
public:
    void SetUp() override { onProcessAttach(GetModuleHandleW(nullptr)); }
    void TearDown() override { onProcessDetach(); }
};
testing::Environment* const attach = testing::AddGlobalTestEnvironment(new PluginAttach);

}  // namespace

std::vector<BYTE> bytesOf(const ListChannelConfig& config) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&config);
    return std::vector<BYTE>(p, p + sizeof config);
}

ListChannelConfig customRecord() {
    ListChannelConfig c;
    resetListChannelConfig(c);
    c.opacity = 180;
    c.transparentBackground = 0;
    c.border = 0;
    c.windowEnabled = 1;
    c.textColour = RGB(0, 0, 160);
    c.awayColour = RGB(160, 0, 160);
    c.x = 300;
    c.y = 200;
    c.width = 200;
    c.height = 150;
    return c;
}

void ListDialogTest::SetUp() {
    placingListWindow = false;
    currentConnection = 0;  // nothing to ask the host while painting
    listConfig = customRecord();
    listConfigDraft = listConfig;
}

void ListDialogTest::TearDown() {
    if (windowThread_.joinable()) {
        // Ends a dialog left open by a failed test (it runs on a thread of
        // its own), then the window's loop.
        closeListSettingsDialog();
        allowListSettingsDialog();
        PostThreadMessageW(windowThreadId_, WM_QUIT, 0, 0);
        windowThread_.join();
    }
    placingListWindow = false;
}

void ListDialogTest::runWindowThread(bool captionMode) {
    listWindow = createListWindow(GetModuleHandleW(nullptr),
                                  captionMode ? ListFrame::caption : ListFrame::plain);
    MSG msg{};
    while (listWindow && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (listWindow) DestroyWindow(listWindow);
    listWindow = nullptr;
}

void ListDialogTest::openWindow(bool captionMode) {
    std::atomic<DWORD> id{0};
    windowThread_ = std::thread([this, captionMode, &id] {
        id = GetCurrentThreadId();
        runWindowThread(captionMode);
    });
    ASSERT_TRUE(dialogs::waitUntil([&] { return id != 0 && listWindow != nullptr; }));
    windowThreadId_ = id;
}

HWND ListDialogTest::openDialog() {
    PostMessageW(listWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(listWindow.load()),
                 MAKELPARAM(-1, -1));
    return waitForShownDialog();
}

HWND ListDialogTest::openDialogWithRealClick() {
    if (!rightClickWindow() || !waitForShownDialog()) return nullptr;
    if (!real_input::settled([&] { return GetForegroundWindow() == dialog; })) return nullptr;
    return dialog;
}

bool ListDialogTest::rightClickWindow() const {
    return real_input::click(real_input::centreOf(listWindow), true);
}

HWND ListDialogTest::waitForShownDialog() {
    dialog = dialogs::waitForDialogWith(GetCurrentProcessId(), IDC_LIST_OPACITY,
                                        L"msctls_trackbar32");
    if (dialog && !dialogs::waitUntil([&] { return IsWindowVisible(dialog) != FALSE; }))
        dialog = nullptr;
    return dialog;
}

bool ListDialogTest::closeWith(int buttonId) {
    dialogs::click(dialog, buttonId);
    return dialogs::waitClosed(dialog);
}

ListDialogTest::Layered ListDialogTest::layered() const {
    Layered l;
    GetLayeredWindowAttributes(listWindow, &l.key, &l.alpha, &l.flags);
    return l;
}

RECT ListDialogTest::windowRect() const {
    RECT r{};
    GetWindowRect(listWindow, &r);
    return r;
}

LRESULT ListDialogTest::opacityPosition() const {
    return SendDlgItemMessageW(dialog, IDC_LIST_OPACITY, TBM_GETPOS, 0, 0);
}

std::vector<BYTE> ListDialogTest::storedRecord() const { return sandbox.getValue(kListValue); }

void ListDialogTest::storeRecord(const ListChannelConfig& config) {
    sandbox.putBinary(kListValue, bytesOf(config));
}

void ListDialogTest::saveShot(HWND window, const wchar_t* name) {
    wchar_t dir[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"TALVORI_DIALOG_SHOTS", dir, MAX_PATH) || !window) return;
    CreateDirectoryW(dir, nullptr);
    // Give the window a moment to finish painting.
    Sleep(300);
    screenshot::Image image;
    if (!screenshot::captureWindow(window, image)) return;
    const std::wstring path = std::wstring(dir) + L"\\" + name + L".png";
    screenshot::writePng(path.c_str(), image);
}
