#pragma once
// The game: a borderless window over the whole screen that takes the
// foreground when it starts and reports on standard output, one line each,
// every click it receives and every change of the foreground.
#include <windows.h>

namespace backdrop {

inline constexpr wchar_t kGameClass[] = L"TalvoriBackdrop";

// Runs until the window is closed; returns the process exit code. An empty
// size means the whole primary screen.
int runGame(SIZE size);

}  // namespace backdrop
