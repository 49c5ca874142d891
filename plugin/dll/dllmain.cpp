#include <windows.h>

#include "lifecycle.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        onProcessAttach(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        onProcessDetach();
    }
    return TRUE;
}
