// Placeholder until this module is written.
#include "list_window.h"
void registerListWindowClass(HINSTANCE) {}
void unregisterListWindowClass(HINSTANCE) {}
HWND createListWindow(HINSTANCE, bool) { return nullptr; }
void applyListWindowStyle(const ListChannelConfig&, HWND, bool) {}
void refreshListWindow() {}
