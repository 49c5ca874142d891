// Holds Wine's desktop open for a whole test session.
//
// Wine ends its desktop process when the last program of the prefix ends,
// and the next program that needs a desktop starts it again, handing it its
// own standard output. Started by a test, the desktop process then holds
// the pipe ctest reads from; ctest waits for it, and a test that passed
// times out. The session starts this program first, with its output going
// nowhere, so the desktop is started once and never ends until the session
// does (scripts/session.sh ends the Wine server, and this with it).
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    GetDesktopWindow();  // connects to the desktop, starting it when needed
    Sleep(INFINITE);
    return 0;
}
