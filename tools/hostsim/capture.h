#pragma once
// Pictures for scenarios: the overlay and the plugin's windows, or the
// whole screen, saved as PNG.
#include <string>

namespace hostsim {

// Saves the area around every visible window of the overlay program and of
// this process (the List Channel window), or the whole screen when
// `wholeScreen` or when no such window shows. False with a message on error.
bool saveScreenshot(const std::wstring& file, bool wholeScreen, std::string* error);

}  // namespace hostsim
