#pragma once
// The real plugin DLL in this process as the host would run it: a
// sandboxed registry (in place before the DLL loads, since its load-time
// set-up reads the settings), the simulated host behind the function table,
// and a window standing in for the overlay program.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host_model.h"
#include "own_window.h"
#include "plugin_dll.h"
#include "registry_sandbox.h"
#include "stand_in_overlay.h"

namespace robust {

inline constexpr uint64 kConnection = 1;
inline constexpr anyID kOwnClient = 1;
inline constexpr uint64 kLobby = 10;

// The DLL under test, as a Windows path.
std::wstring pluginDllPath();
// A DLL that does nothing, built like the plugin.
std::wstring baselineDllPath();
// The folder of the DLLs and TALVORI.exe, as a Windows path.
std::string binFolder();

// A ListChannel record with the window switched on or off, default otherwise.
std::vector<BYTE> listRecord(bool windowEnabled);


class PluginHost {
public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // One server tab with the user's client in the lobby.
    void addWorld();
    // LoadLibrary and the function table; false with a reason on failure.
    bool load(std::string* why);
    // init and the plugin command id; init's result.
    int start();
    void stop();  // shutdown
    void unload();

    // Dispatches this thread's messages for `ms` milliseconds (the List
    // Channel window lives on the thread that ran init).
    static void pump(DWORD ms);

    RegistrySandbox sandbox;
    hostsim::HostModel model;
    hostsim::PluginDll dll;
    std::unique_ptr<StandInOverlay> overlay;
    bool running = false;
};

}  // namespace robust
