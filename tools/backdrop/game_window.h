#pragma once
// The game: a borderless window over the whole screen that takes the
// foreground when it starts and reports on standard output, one line each,
// every click it receives and every change of the foreground.
#include <windows.h>

namespace backdrop {

inline constexpr wchar_t kGameClass[] = L"TalvoriBackdrop";

// How the game stacks its window. Topmost: as many games do in borderless
// full-screen mode, the window is topmost and puts itself on top of every
// other topmost window each time it is activated.
enum class Stacking { normal, topmost };

// Runs until the window is closed; returns the process exit code. An empty
// size means the whole primary screen.
int runGame(SIZE size, Stacking stacking);

}  // namespace backdrop
