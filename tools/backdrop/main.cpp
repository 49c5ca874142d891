// backdrop [--topmost] [--size W H]
//                        the game: over the whole screen (or W x H at its top
//                        left corner), in the foreground, reporting on
//                        standard output what reaches it; --topmost: its
//                        window is topmost and goes on top of all others
//                        each time it is activated, as many games do
// backdrop --close       ends the running game (it prints its summary) and
//                        waits up to 5 s for it to end
// backdrop --click X Y   a left click at the screen point X, Y
// backdrop --click-over CLASS
//                        a left click at the centre of the first visible
//                        window of that class (TALVORI_CLASS: the overlay)
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "click.h"
#include "game_window.h"
#include "unique_handle.h"

namespace {

int usage() {
    std::fputs("usage: backdrop [--topmost] [--size W H] | --close | --click X Y | "
               "--click-over CLASS\n",
               stderr);
    return 2;
}

int closeGame() {
    HWND window = FindWindowW(backdrop::kGameClass, nullptr);
    if (!window) {
        std::puts("backdrop: not running");
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process && WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) {
        std::puts("backdrop: the game did not end within 5 s");
        return 1;
    }
    return 0;
}

int click(POINT at) {
    if (!backdrop::clickAt(at)) {
        std::printf("mouse: the click at %ld, %ld was not taken (error %lu)\n", at.x, at.y,
                    GetLastError());
        return 1;
    }
    std::printf("mouse: left click at %ld, %ld\n", at.x, at.y);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int first = 1;
    auto stacking = backdrop::Stacking::normal;
    if (argc > 1 && std::wcscmp(argv[1], L"--topmost") == 0) {
        stacking = backdrop::Stacking::topmost;
        ++first;
    }
    const int rest = argc - first;
    if (rest == 0) return backdrop::runGame(SIZE{}, stacking);
    if (rest == 3 && std::wcscmp(argv[first], L"--size") == 0)
        return backdrop::runGame(SIZE{std::wcstol(argv[first + 1], nullptr, 10),
                                      std::wcstol(argv[first + 2], nullptr, 10)},
                                 stacking);
    if (first != 1) return usage();
    if (argc == 2 && std::wcscmp(argv[1], L"--close") == 0) return closeGame();
    if (argc == 4 && std::wcscmp(argv[1], L"--click") == 0)
        return click(POINT{std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10)});
    if (argc == 3 && std::wcscmp(argv[1], L"--click-over") == 0) {
        POINT centre;
        if (!backdrop::windowCentre(argv[2], &centre)) {
            std::printf("mouse: no visible window of class %ls to click\n", argv[2]);
            return 1;
        }
        return click(centre);
    }
    return usage();
}
