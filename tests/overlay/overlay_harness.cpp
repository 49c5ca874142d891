#include "overlay_harness.h"

#include "wine_path.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\Talvori";

std::wstring overlayExecutable() { return wideWinePath(TALVORI_EXE); }

}  // namespace

StoredConfig::StoredConfig(const wchar_t* name) : name_(name) {
    saved_ = bytes();
    hadValue_ = !saved_.empty();
}

StoredConfig::~StoredConfig() {
    if (hadValue_) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, name_, 0, REG_BINARY, saved_.data(),
                           static_cast<DWORD>(saved_.size()));
            RegCloseKey(key);
        }
    } else {
        erase();
    }
}

void StoredConfig::store(const DisplayConfig& config) { storeBytes(&config, sizeof config); }

void StoredConfig::store(const PlayConfig& config) { storeBytes(&config, sizeof config); }

void StoredConfig::storeBytes(const void* record, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name_, 0, REG_BINARY, static_cast<const BYTE*>(record), size);
    RegCloseKey(key);
}

void StoredConfig::erase() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, name_);
    RegCloseKey(key);
}

std::vector<BYTE> StoredConfig::bytes() const {
    std::vector<BYTE> out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    DWORD size = 0;
    if (RegQueryValueExW(key, name_, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        out.resize(size);
        RegQueryValueExW(key, name_, nullptr, nullptr, out.data(), &size);
        out.resize(size);
    }
    RegCloseKey(key);
    return out;
}

std::vector<BYTE> bytesOf(const DisplayConfig& config) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&config);
    return std::vector<BYTE>(p, p + sizeof config);
}

int countColour(const screenshot::Image& image, COLORREF colour, Band band) {
    int n = 0;
    for (int y = band.top < 0 ? 0 : band.top; y < band.bottom && y < image.height; ++y)
        for (int x = band.left < 0 ? 0 : band.left; x < band.right && x < image.width; ++x)
            if (image.colourAt(x, y) == colour) ++n;
    return n;
}

OverlayTest::OverlayTest() {
    resetDisplayConfig(config);
    config.backgroundColour = kBackground;
    config.speakerColour = kSpeaker;
    config.channelColour = kChannel;
    config.x = 40;
    config.y = 40;
}

void OverlayTest::TearDown() {
    // Also after a failed assertion: the next test needs the title free.
    overlay.stop();
    if (likePlugin_ && quit() < 0) crash();
}

HWND OverlayTest::launch(bool storeConfig) {
    if (storeConfig) stored.store(config);
    window = nullptr;
    if (!overlay.start(overlayExecutable(), true)) {
        ADD_FAILURE() << "cannot start the overlay (" << GetLastError() << ")";
        return nullptr;
    }
    window = overlay.waitForWindow(10000);
    if (!window) {
        ADD_FAILURE() << "the overlay showed no window";
        return nullptr;
    }
    // Painted once the bottom-right corner shows the background.
    const bool painted = waitFor([&] {
        screenshot::Image image = capture();
        return image.width > 2 && image.height > 2 &&
               image.colourAt(image.width - 2, image.height - 2) == config.backgroundColour;
    });
    if (!painted) ADD_FAILURE() << "the overlay window never painted";
    return window;
}

HWND OverlayTest::launchLikeThePlugin() {
    stored.store(config);
    window = nullptr;
    const std::wstring exe = overlayExecutable();
    std::wstring commandLine = L"\"" + exe + L"\"";
    // Its trace lines would only clutter the test's own output.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueKernelHandle nowhere(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                                           OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.wShowWindow = SW_SHOWNORMAL;
    si.hStdOutput = si.hStdError = nowhere.get();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &si, &pi)) {
        ADD_FAILURE() << "cannot start the overlay (" << GetLastError() << ")";
        return nullptr;
    }
    CloseHandle(pi.hThread);
    likePlugin_.reset(pi.hProcess);
    waitFor([&] {
        window = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
        return window != nullptr;
    }, 10000);
    // An answer comes only once the start, show included, is over.
    DWORD_PTR ignored = 0;
    if (!window || !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored)) {
        ADD_FAILURE() << "the overlay showed no window";
        return nullptr;
    }
    return window;
}

void OverlayTest::crash() {
    if (!likePlugin_) return;
    TerminateProcess(likePlugin_.get(), 1);
    WaitForSingleObject(likePlugin_.get(), 5000);
    likePlugin_.reset();
    window = nullptr;
}

void OverlayTest::changePlay(const PlayConfig& play) {
    storedPlay.store(play);
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(window && SendMessageTimeoutW(window, DISPLAY_MESSAGE, DISPLAY_PLAY_CHANGED, 0,
                                              SMTO_NORMAL, 5000, &ignored));
}

int OverlayTest::quit() {
    if (likePlugin_) {
        DWORD_PTR ignored = 0;
        if (window)
            SendMessageTimeoutW(window, DISPLAY_MESSAGE, DISPLAY_QUIT, 0, SMTO_ABORTIFHUNG, 5000,
                                &ignored);
        DWORD code = 0;
        if (WaitForSingleObject(likePlugin_.get(), 5000) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(likePlugin_.get(), &code))
            return -1;
        likePlugin_.reset();
        return static_cast<int>(code);
    }
    if (plugin_ && plugin_->window() == window) {
        plugin_->send(DISPLAY_QUIT, 0);
        return overlay.waitForExit(5000);
    }
    return overlay.stop();
}

PluginChannel& OverlayTest::plugin() {
    if (!plugin_) {
        plugin_ = std::make_unique<PluginChannel>();
        EXPECT_TRUE(plugin_->ready());
    }
    return *plugin_;
}

screenshot::Image OverlayTest::capture() {
    screenshot::Image image;
    if (window) screenshot::captureClient(window, image);
    return image;
}

int OverlayTest::ink(COLORREF colour, Band band) { return countColour(capture(), colour, band); }

bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(15);
    }
}

bool OverlayTest::waitForInk(COLORREF colour, Band band, bool present, DWORD timeoutMs) {
    return waitFor([&] { return (ink(colour, band) > 0) == present; }, timeoutMs);
}
