#pragma once
// Pictures for scenarios: the overlay and the plugin's windows, or the
// whole screen, saved as PNG.
#include <string>

namespace hostsim {

enum class CaptureArea {
    Windows,  // every visible window of the overlay program and of this process
    Dialogs,  // only their dialog boxes (the settings dialogs)
    Screen,   // the whole screen
};

// Saves the area around the windows `what` names (the List Channel window
// is this process's), or the whole screen when no such window shows. False
// with a message on error.
bool saveScreenshot(const std::wstring& file, CaptureArea what, std::string* error);

}  // namespace hostsim
