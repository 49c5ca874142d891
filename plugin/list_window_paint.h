#pragma once
// What the List Channel window draws: the test pattern while configuring,
// otherwise one line per client of the user's own channel.
#include <windows.h>

#include "list_config.h"

// Taken when the window is created and used by every paint.
struct ListWindowLook {
    HFONT font = nullptr;
    int lineHeight = 0;
};

// Draws into a DC that BeginPaint (or a test) prepared; the caller ends the
// paint. Colours come from `colours`, the clients from currentConnection.
void paintListContent(HDC dc, const ListWindowLook& look, const ListChannelConfig& colours);

// Lines of the test pattern after the alphabet: 1 to this number.
inline constexpr int kTestPatternNumbers = 64;
