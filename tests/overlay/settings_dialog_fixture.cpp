#include "wine_path.h"
#include "settings_dialog_fixture.h"

#include "png_writer.h"

namespace {

constexpr wchar_t kTrackbarClass[] = L"msctls_trackbar32";

}  // namespace

std::wstring talvoriExecutable() { return wideWinePath(TALVORI_EXE); }

HWND SettingsDialogTest::launchSeeThrough() {
    stored.store(config);
    window = nullptr;
    if (overlay.start(talvoriExecutable(), true)) window = overlay.waitForWindow(10000);
    return window;
}

void SettingsDialogTest::TearDown() {
    // Ending the program also ends a send still waiting on an open dialog.
    OverlayTest::TearDown();
    joinSender();
}

void SettingsDialogTest::joinSender() {
    if (sender_.joinable()) sender_.join();
}

HWND SettingsDialogTest::openDialog(int listSwitch) {
    joinSender();
    returned_ = false;
    result_ = -1;
    const HWND target = window;
    sender_ = std::thread([this, target, listSwitch] {
        result_ = SendMessageW(target, DISPLAY_MESSAGE, DISPLAY_OPEN_SETTINGS, listSwitch);
        returned_ = true;
    });
    dialog = dialogs::waitForDialogWith(overlay.id(), IDC_OPACITY, kTrackbarClass);
    if (!dialog) return nullptr;
    // The window exists before it is filled. It is ready once shown with
    // the focus handed to the width box, unless a warning came first.
    const bool ready = dialogs::waitUntil([&] {
        if (dialogs::hasMessageBox(dialog)) return true;
        return IsWindowVisible(dialog) &&
               dialogs::focusOf(dialog) == GetDlgItem(dialog, IDC_WIDTH);
    });
    return ready ? dialog : nullptr;
}

LRESULT SettingsDialogTest::result(DWORD timeoutMs) {
    if (!dialogs::waitUntil([&] { return returned_.load(); }, timeoutMs)) return -1;
    joinSender();
    return result_;
}

LRESULT SettingsDialogTest::closeWith(int buttonId) {
    dialogs::click(dialog, buttonId);
    return result();
}

DisplayConfig SettingsDialogTest::storedConfig() const {
    DisplayConfig c{};
    const std::vector<BYTE> bytes = stored.bytes();
    if (bytes.size() == sizeof c) memcpy(&c, bytes.data(), sizeof c);
    return c;
}

RECT SettingsDialogTest::windowRect() const {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

SettingsDialogTest::Layered SettingsDialogTest::layered() const {
    Layered l;
    GetLayeredWindowAttributes(window, &l.key, &l.alpha, &l.flags);
    return l;
}

bool SettingsDialogTest::waitForWidth(int width) {
    return waitFor([&] {
        const RECT r = windowRect();
        return r.right - r.left == width;
    });
}

void SettingsDialogTest::saveShot(HWND target, const wchar_t* name) {
    wchar_t dir[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"TALVORI_DIALOG_SHOTS", dir, MAX_PATH) || !target) return;
    CreateDirectoryW(dir, nullptr);
    // Give the dialog a moment to finish painting.
    Sleep(300);
    screenshot::Image image;
    if (!screenshot::captureWindow(target, image)) return;
    const std::wstring path = std::wstring(dir) + L"\\" + name + L".png";
    screenshot::writePng(path.c_str(), image);
}
