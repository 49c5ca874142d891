#pragma once
// The List Channel window: the clients of the user's own channel.
#include <windows.h>

#include "list_config.h"

void registerListWindowClass(HINSTANCE instance);
void unregisterListWindowClass(HINSTANCE instance);  // at process detach
HWND createListWindow(HINSTANCE instance, bool captionMode);
void applyListWindowStyle(const ListChannelConfig& config, HWND window, bool captionMode);
void refreshListWindow();
