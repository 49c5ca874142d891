// What the library does when it is mapped into and out of the host, and the
// answer to the host's "can you be configured?" question.
#include "lifecycle.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "globals.h"
#include "list_window.h"
#include "resource_ids.h"

namespace {

// A missing string resource must not wipe the built-in text the buffer
// already holds (an empty class name would break the List Channel window).
void loadWideString(UINT id, wchar_t* buffer, int units) {
    wchar_t scratch[50];
    int n = LoadStringW(pluginInstance, id, scratch, units < 50 ? units : 50);
    if (n > 0) wcscpy_s(buffer, units, scratch);
}

void loadAnsiString(UINT id, char* buffer, int bytes) {
    char scratch[10];
    int n = LoadStringA(pluginInstance, id, scratch, bytes < 10 ? bytes : 10);
    if (n > 0) strcpy_s(buffer, bytes, scratch);
}

}  // namespace

void onProcessAttach(HINSTANCE instance) {
    pluginInstance = instance;
    loadWideString(IDS_LIST_CLASS, listClassName, 50);
    loadWideString(IDS_DISCONNECTED_UPPER, disconnectedUpper, 50);
    loadWideString(IDS_DISCONNECTED_LOWER, disconnectedLower, 50);
    loadAnsiString(IDS_UNKNOWN_CLIENT, defaultClientName, sizeof defaultClientName);
    // The class brush takes the background colour of the listConfig that
    // static construction has just loaded.
    registerListWindowClass(instance);
}

void onProcessDetach() {
    // A host that unloads and reloads the plugin must be able to register
    // the class again.
    unregisterListWindowClass(pluginInstance);
}

int offersConfigure() {
    std::printf("TALVORI: offersConfigure\n");
    return 1;  // configure runs on a new thread of the host's
}
