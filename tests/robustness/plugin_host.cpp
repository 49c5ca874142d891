#include "plugin_host.h"

#include "wine_path.h"

namespace robust {

std::wstring pluginDllPath() { return wideWinePath(TALVORI_TEST_PLUGIN_DLL); }

std::wstring baselineDllPath() { return wideWinePath(TALVORI_TEST_BASELINE_DLL); }

std::string binFolder() { return winePath(TALVORI_TEST_BIN_DIR); }

std::vector<BYTE> listRecord(bool windowEnabled) {
    // opacity, transparent, border, enabled; white; black; 240 x 300; 10, 60; red
    return {255, 1, 1, static_cast<BYTE>(windowEnabled ? 1 : 0), 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0,
            240, 0, 44, 1, 10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0};
}

PluginHost::PluginHost() { model.install(); }

PluginHost::~PluginHost() {
    if (running) stop();
    unload();
}

void PluginHost::addWorld() {
    model.addConnection(kConnection, "Robust Server", kOwnClient);
    model.addChannel(kConnection, kLobby, "Lobby");
    model.addClient(kConnection, kOwnClient, "Me", kLobby);
    model.activeConnection = kConnection;
    // No TALVORI.exe there: the stand-in window is found first anyway.
    model.pluginPath = "C:\\windows\\temp";
}

bool PluginHost::load(std::string* why) {
    if (!dll.load(pluginDllPath(), TALVORI_TEST_PLUGIN_API)) {
        *why = "LoadLibrary error " + std::to_string(dll.loadError());
        return false;
    }
    if (!dll.complete()) {
        *why = "the DLL lacks exports";
        return false;
    }
    dll.setHostTable();
    return true;
}

int PluginHost::start() {
    const int result = dll.init();
    running = result == 0;
    if (running) dll.registerId("TALVOR_plugin");
    return result;
}

void PluginHost::stop() {
    if (!running) return;
    dll.shutdown();
    running = false;
}

void PluginHost::unload() { dll.unload(); }

void PluginHost::pump(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

}  // namespace robust
