#pragma once
// Clicks from a script, the way a user's mouse does: through the system's
// input queue, so that the window under the pointer (not a chosen one)
// receives it.
#include <windows.h>

namespace backdrop {

// Moves the pointer to the screen point and presses and releases the left
// (or right) button there. False when the input was not taken.
bool clickAt(POINT screen, bool right = false);

// The centre of the first visible window of the class, false when none shows.
bool windowCentre(const wchar_t* className, POINT* centre);

}  // namespace backdrop
