#pragma once
// The display-scale group: the real plugin (64-bit, API 26) started by the
// test acting as host, the real TALVORI.exe it starts, both at the dpi the
// launcher (scale_main.cpp) gave this process's session. No registry
// sandbox: the overlay is another process, so both read and write the real
// HKCU\Software\Talvori, which the launcher keeps aside and puts back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "display_config.h"
#include "host_model.h"
#include "plugin_dll.h"
#include "real_input.h"

namespace scaletest {

inline constexpr uint64 kConnection = 1;
inline constexpr COLORREF kBackground = RGB(255, 255, 255);
inline constexpr COLORREF kSpeaker = RGB(200, 0, 0);
inline constexpr COLORREF kChannel = RGB(0, 0, 200);

// The dpi this run is at: what the launcher asked for.
UINT runDpi();
std::wstring binPath(const wchar_t* file);

// Stored records as a new user's would be, with colours the pixels tell apart.
DisplayConfig overlayRecord();
std::vector<BYTE> listRecordBytes(uint16_t width, uint16_t height, int x, int y);
std::vector<BYTE> storedValue(const wchar_t* name);
void storeValue(const wchar_t* name, const void* data, DWORD size);

// Sleeps while answering this thread's window messages (the List Channel
// window lives on the thread that started the plugin).
inline void pumpFor(DWORD ms) { real_input::pumpWindowMessages(static_cast<int>(ms)); }
// A drag by (dx, dy) with the user's mouse.
inline void drag(POINT from, int dx, int dy) {
    real_input::dragBy(from, dx, dy);
    pumpFor(200);
}

RECT windowRect(HWND window);
inline int widthOf(const RECT& r) { return r.right - r.left; }
inline int heightOf(const RECT& r) { return r.bottom - r.top; }

class ScaleSession : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Stores the records, loads the plugin, inits it: the overlay starts.
    void start();
    void shutdown();
    HWND listWindow() const;

    hostsim::HostModel model;
    hostsim::PluginDll plugin;
    HWND overlay = nullptr;
    HANDLE overlayProcess = nullptr;
    bool started = false;
};

}  // namespace scaletest
