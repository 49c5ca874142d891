// talvori_feeder: plays the plugin's side of the display channel from the
// command line, so the overlay can be shown and photographed without the
// voice client. Commands run in order, in one process, because the shared
// areas live only as long as someone holds them.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "display_config.h"
#include "overlay_process.h"
#include "plugin_channel.h"
#include "png_writer.h"
#include "screenshot.h"

namespace {

constexpr DWORD kWindowWaitMs = 81 * 100;  // as long as the plugin waits
// Wine puts a finished paint on the screen a moment after the paint ends.
constexpr DWORD kPaintSettleMs = 200;

void usage() {
    std::fwprintf(stderr,
                  L"usage: talvori_feeder COMMAND [ARGS] [COMMAND [ARGS]]...\n"
                  L"  start [EXE]        start the overlay unless its window exists\n"
                  L"  speakers TEXT      write the speaker line (code 1)\n"
                  L"  activity TEXT      post an activity line (code 2)\n"
                  L"  clear              drop the queued activity lines (code 3)\n"
                  L"  settings FLAG      open the settings (code 4), print the answer\n"
                  L"  quit               tell the overlay to end (code 0)\n"
                  L"  wait MS            pause\n"
                  L"  screenshot FILE    save the overlay window as a PNG\n"
                  L"  demo [DIR]         play a short session, pictures into DIR (out)\n");
}

class Feeder {
public:
    int run(int argc, wchar_t** argv);

private:
    bool start(const std::wstring& exe);
    bool screenshot(const std::wstring& file);
    bool quit();
    bool demo(const std::wstring& dir);
    bool needWindow();
    void postActivity(const wchar_t* text);

    PluginChannel channel_;
    OverlayProcess overlay_;
    bool startedHere_ = false;
};

bool Feeder::needWindow() {
    if (channel_.window()) return true;
    std::fwprintf(stderr, L"no overlay window titled TALVORI\n");
    return false;
}

// The area holds one line: the overlay must have copied this one before the
// next is written, or it would copy the next one twice.
void Feeder::postActivity(const wchar_t* text) {
    channel_.postActivity(text);
    channel_.settle();
}

bool Feeder::start(const std::wstring& exe) {
    if (channel_.window()) return true;
    if (!overlay_.start(exe, false)) {
        std::fwprintf(stderr, L"cannot start %ls (%lu)\n", exe.c_str(), GetLastError());
        return false;
    }
    startedHere_ = true;
    if (!overlay_.waitForWindow(kWindowWaitMs)) {
        std::fwprintf(stderr, L"the overlay showed no window\n");
        return false;
    }
    return channel_.waitForWindow(kWindowWaitMs) != nullptr;
}

bool Feeder::screenshot(const std::wstring& file) {
    if (!needWindow()) return false;
    channel_.settle();
    Sleep(kPaintSettleMs);
    screenshot::Image image;
    if (!screenshot::captureWindow(channel_.window(), image) ||
        !screenshot::writePng(file.c_str(), image)) {
        std::fwprintf(stderr, L"cannot save %ls\n", file.c_str());
        return false;
    }
    std::wprintf(L"%ls\n", file.c_str());
    return true;
}

bool Feeder::quit() {
    if (!needWindow()) return false;
    channel_.send(DISPLAY_QUIT, 0);
    if (startedHere_) overlay_.waitForExit(5000);
    return true;
}

bool Feeder::demo(const std::wstring& dir) {
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring at = dir + L"\\";
    DisplayConfig config;
    loadDisplayConfig(config);
    bool ok = start(executableDirectory() + L"TALVORI.exe");
    ok = ok && screenshot(at + L"01-started.png");
    channel_.postSpeakers(L"Alice  Bob");
    ok = ok && screenshot(at + L"02-speakers.png");
    postActivity(L"Carol -> Lobby");
    postActivity(L"Dave disconnected");
    ok = ok && screenshot(at + L"03-activity.png");
    if (config.displayDuration != 0) {
        // The first line leaves after its period; the second takes its place.
        Sleep(config.displayDuration * 1000u + 500);
        ok = ok && screenshot(at + L"04-next-activity.png");
    }
    channel_.postSpeakers(L"Erin");
    channel_.notify(DISPLAY_ACTIVITY_CLEAR);
    ok = ok && screenshot(at + L"05-cleared.png");
    return quit() && ok;
}

int Feeder::run(int argc, wchar_t** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    if (!channel_.ready()) {
        std::fwprintf(stderr, L"cannot create the display channel (%lu)\n", GetLastError());
        return 1;
    }
    for (int i = 1; i < argc; ++i) {
        const std::wstring command = argv[i];
        const bool hasArg = i + 1 < argc;
        bool ok = true;
        if (command == L"start") {
            std::wstring exe = executableDirectory() + L"TALVORI.exe";
            if (hasArg && wcsstr(argv[i + 1], L".exe")) exe = argv[++i];
            ok = start(exe);
        } else if (command == L"speakers" && hasArg) {
            channel_.postSpeakers(argv[++i]);
        } else if (command == L"activity" && hasArg) {
            postActivity(argv[++i]);
        } else if (command == L"clear") {
            ok = channel_.notify(DISPLAY_ACTIVITY_CLEAR);
        } else if (command == L"settings" && hasArg) {
            ok = needWindow();
            if (ok)
                std::wprintf(L"%ld\n", static_cast<long>(channel_.send(
                                           DISPLAY_OPEN_SETTINGS, _wtoi(argv[++i]))));
        } else if (command == L"quit") {
            ok = quit();
        } else if (command == L"wait" && hasArg) {
            Sleep(static_cast<DWORD>(_wtoi(argv[++i])));
        } else if (command == L"screenshot" && hasArg) {
            ok = screenshot(argv[++i]);
        } else if (command == L"demo") {
            ok = demo(hasArg ? argv[++i] : L"out");
        } else {
            usage();
            return 2;
        }
        if (!ok) return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Feeder feeder;
    return feeder.run(argc, argv);
}
