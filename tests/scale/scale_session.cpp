#include "scale_session.h"

#include <cstdlib>
#include <cstring>

#include "capture_stdout.h"
#include "display_channel.h"
#include "own_window.h"
#include "wine_path.h"
#include "unique_handle.h"

namespace scaletest {

namespace {

constexpr wchar_t kKey[] = L"Software\\Talvori";

}  // namespace

UINT runDpi() {
    const char* asked = std::getenv("TALVORI_SCALE_DPI");
    return asked ? static_cast<UINT>(std::atoi(asked)) : 96;
}

std::wstring binPath(const wchar_t* file) {
    return wideWinePath(TALVORI_TEST_BIN_DIR) + L"\\" + file;
}

DisplayConfig overlayRecord() {
    DisplayConfig c{};
    resetDisplayConfig(c);
    c.opacity = 255;
    c.transparentBackground = 0;
    c.border = 0;
    c.onlyMyChannel = 0;
    c.twoLines = 1;
    c.activityEnabled = 1;
    c.backgroundColour = kBackground;
    c.speakerColour = kSpeaker;
    c.channelColour = kChannel;
    c.displayDuration = 0;  // the newest activity line stands, no ageing
    c.width = 240;
    c.lineHeight = 20;
    c.x = 60;
    c.y = 60;
    return c;
}

std::vector<BYTE> listRecordBytes(uint16_t width, uint16_t height, int x, int y) {
    // opacity, transparent, border, enabled; background, text; size; place; away
    std::vector<BYTE> b(28, 0);
    b[0] = 255;
    b[3] = 1;
    const DWORD background = RGB(255, 255, 255), text = RGB(0, 120, 0);
    std::memcpy(&b[4], &background, 4);
    std::memcpy(&b[8], &text, 4);
    std::memcpy(&b[12], &width, 2);
    std::memcpy(&b[14], &height, 2);
    std::memcpy(&b[16], &x, 4);
    std::memcpy(&b[20], &y, 4);
    std::memcpy(&b[24], &text, 4);
    return b;
}

std::vector<BYTE> storedValue(const wchar_t* name) {
    UniqueRegKey key;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return {};
    key.reset(raw);
    DWORD size = 0;
    if (RegQueryValueExW(raw, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
    std::vector<BYTE> bytes(size);
    if (RegQueryValueExW(raw, name, nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS)
        return {};
    bytes.resize(size);
    return bytes;
}

void storeValue(const wchar_t* name, const void* data, DWORD size) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &raw,
                              nullptr),
              ERROR_SUCCESS);
    UniqueRegKey key(raw);
    ASSERT_EQ(RegSetValueExW(raw, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void ScaleSession::SetUp() {
    ASSERT_EQ(FindWindowW(channel::kWindowClass, channel::kWindowTitle), nullptr)
        << "an overlay is already running";
    model.install();
    model.addConnection(kConnection, "Alpha", 1);
    model.addChannel(kConnection, 1, "Lobby");
    model.addClient(kConnection, 1, "Me", 1);
    model.activeConnection = kConnection;
    model.pluginPath = winePath(TALVORI_TEST_BIN_DIR);
}

void ScaleSession::start() {
    ASSERT_TRUE(plugin.load(binPath(L"TALVOR_plugin_win64.dll"), 26)) << plugin.loadError();
    ASSERT_TRUE(plugin.complete());
    plugin.setHostTable();
    {
        StdoutCapture quiet;
        ASSERT_EQ(plugin.init(), 0);
    }
    started = true;
    overlay = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
    ASSERT_NE(overlay, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(overlay, &pid);
    overlayProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_VM_OPERATION |
                                     PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, pid);
    ASSERT_NE(overlayProcess, nullptr);
    pumpFor(300);
}

void ScaleSession::shutdown() {
    if (!started) return;
    {
        StdoutCapture quiet;
        plugin.shutdown();
    }
    started = false;
    if (overlayProcess) {
        EXPECT_EQ(WaitForSingleObject(overlayProcess, 10000), WAIT_OBJECT_0);
    }
}

void ScaleSession::TearDown() {
    shutdown();
    if (overlayProcess) {
        if (WaitForSingleObject(overlayProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(overlayProcess, 1);
        CloseHandle(overlayProcess);
    }
    plugin.unload();
}

HWND ScaleSession::listWindow() const { return ownListWindow(); }

}  // namespace scaletest
