#include "overlay_harness.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\Talvori";

// The build hands us a Unix path; Wine shows the Unix root as drive Z:.
std::wstring overlayExecutable() {
    std::string unixPath = TALVORI_EXE;
    std::wstring path(unixPath.begin(), unixPath.end());
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

}  // namespace

StoredConfig::StoredConfig() {
    saved_ = bytes();
    hadValue_ = !saved_.empty();
}

StoredConfig::~StoredConfig() {
    if (hadValue_) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, kDisplayConfigValue, 0, REG_BINARY, saved_.data(),
                           static_cast<DWORD>(saved_.size()));
            RegCloseKey(key);
        }
    } else {
        erase();
    }
}

void StoredConfig::store(const DisplayConfig& config) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, kDisplayConfigValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&config),
                   sizeof config);
    RegCloseKey(key);
}

void StoredConfig::erase() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, kDisplayConfigValue);
    RegCloseKey(key);
}

std::vector<BYTE> StoredConfig::bytes() const {
    std::vector<BYTE> out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    DWORD size = 0;
    if (RegQueryValueExW(key, kDisplayConfigValue, nullptr, nullptr, nullptr, &size) ==
        ERROR_SUCCESS) {
        out.resize(size);
        RegQueryValueExW(key, kDisplayConfigValue, nullptr, nullptr, out.data(), &size);
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

int OverlayTest::quit() {
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
