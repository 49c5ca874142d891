// A DLL that does nothing, built and linked like the plugin (the same
// static C and C++ runtime). Loading and unloading it again and again shows
// what the platform itself keeps per cycle; the load-cycle test judges the
// plugin's growth against it.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) int baselineLength(const char* text) {
    return static_cast<int>(std::string(text ? text : "").size());
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
