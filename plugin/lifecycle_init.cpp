// Start and stop of the plugin: the display channel, the overlay program
// and the List Channel window. What shutdown waits for, in which order and
// how long: docs/architecture.md (the bounds: wait_limits.h).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display_link.h"
#include "globals.h"
#include "host.h"
#include "lifecycle.h"
#include "lifecycle_gate.h"
#include "list_settings_dialog.h"
#include "list_window.h"
#include "live_display_config.h"
#include "message_pump.h"
#include "name_cache.h"
#include "overlay_link.h"
#include "play_switches.h"
#include "speaker_line.h"
#include "text_fit.h"
#include "wait_limits.h"

namespace {

constexpr size_t kPathBytes = 512;
constexpr char kOverlayFile[] = "\\TALVORI.exe";
constexpr char kCreateMappingFailed[] = "Could not create file mapping object";
constexpr char kMapViewFailed[] = "Could not map view of file ";
constexpr char kMissingOverlay[] = "Missing file plugins\\TALVORI.exe";
void logError(const char* text) {
    host::logMessage(text, hostconst::kLogError, "TALVORI", 0);
}

// Every failure releases what init had made so far: a named object left
// behind would outlive the plugin and shape the next start.
int failInit(const char* logText, const char* traceFormat, DWORD error) {
    if (traceFormat) std::printf(traceFormat, static_cast<int>(error));
    logError(logText);
    closeDisplayChannel();
    return 1;
}

// Creates and maps one page-file-backed area; on failure reports it and
// releases everything created so far.
int createArea(const wchar_t* name, DWORD bytes, UniqueKernelHandle& mapping, UniqueView& view) {
    mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes, name));
    if (!mapping)
        return failInit(kCreateMappingFailed,
                        "TALVORI:Could not create file mapping object (%d).\n", GetLastError());
    view.reset(MapViewOfFile(mapping.get(), channel::kMapAllAccess, 0, 0, bytes));
    if (!view) {
        DWORD error = GetLastError();
        mapping.reset();
        return failInit(kMapViewFailed, "TALVORI:Could not map view of file (%d).\n", error);
    }
    return 0;
}

int createDisplayChannel() {
    displayChannel.mutex.reset(CreateMutexW(nullptr, FALSE, channel::kMutexName));
    if (!displayChannel.mutex)
        return failInit(kCreateMappingFailed, "TALVORI:Could not create Mutex object (%d).\n",
                        GetLastError());
    if (createArea(channel::kSpeakerAreaName, channel::kSpeakerBytes,
                   displayChannel.speakerMapping, displayChannel.speakerView))
        return 1;
    writeSpeakerText(L"", 1);
    if (createArea(channel::kActivityAreaName, channel::kActivityBytes,
                   displayChannel.activityMapping, displayChannel.activityView))
        return 1;
    // Without the log the overlay shows the newest line alone, as before.
    if (!createActivityLog()) std::printf("TALVORI:No activity log (%d).\n", static_cast<int>(GetLastError()));
    return 0;
}

// The host's folder of plugin libraries + "\TALVORI.exe". False when the
// result would not fit: a cut path could start some other program.
bool composeOverlayPath(const char* pluginPath, char (&path)[kPathBytes]) {
    path[0] = '\0';
    if (strnlen(pluginPath, kPathBytes) + sizeof kOverlayFile > kPathBytes) return false;
    return strcpy_s(path, kPathBytes, pluginPath) == 0 &&
           strcat_s(path, kPathBytes, kOverlayFile) == 0;
}

// A window that already exists is found on the first look, without sleeping.
HWND waitForOverlayWindow() {
    for (int tries = 0;;) {
        if (HWND window = findOverlayWindow()) return window;
        Sleep(waits::kOverlayLookEveryMs);
        if (++tries >= waits::kOverlayLooks) return nullptr;
    }
}

// The user closes the client with the overlay's settings dialog open: an
// answer on its way is still taken, then the overlay is told to quit, which
// ends the dialog as Cancel would. The client never waits on it unbounded;
// work that outlives the wait holds the library until it has ended.
void finishConfigure() {
    HANDLE configure = takeConfigureThread();
    if (!configure) return;
    if (!bounded::waitFor(configure, waits::kConfigureAnswerMs)) {
        endOverlay();
        bounded::waitFor(configure, waits::kConfigureEndMs);
    }
    CloseHandle(configure);
}

}  // namespace

int pluginInit() {
    std::printf("TALVORI: Client API Version: %d, Plugin API Version: %d\n",
                host::clientApiVersion(), host::pluginApiVersion());

    char appPath[kPathBytes] = "";
    char resourcesPath[kPathBytes] = "";
    char configPath[kPathBytes] = "";
    char pluginPath[kPathBytes] = "";
    host::getAppPath(appPath, kPathBytes);
    host::getResourcesPath(resourcesPath, kPathBytes);
    host::getConfigPath(configPath, kPathBytes);
    host::getPluginPath(pluginPath, kPathBytes);
    for (char* p : {appPath, resourcesPath, configPath, pluginPath}) p[kPathBytes - 1] = '\0';
    std::printf("TALVORI: App path: %s\nResources path: %s\nConfig path: %s\nPlugin path: %s\n",
                appPath, resourcesPath, configPath, pluginPath);

    host::logMessage("Start TALVORI", hostconst::kLogInfo, "Plugin", 0);
    // A session before this one may have been ended while work of it still
    // ran: nothing of it carries over.
    clearSpeakerSlots();
    placingListWindow = false;
    reloadLiveDisplayConfig();

    if (createDisplayChannel()) return 1;

    char overlayPath[kPathBytes];
    if (!composeOverlayPath(pluginPath, overlayPath)) {
        std::printf("TALVORI:Plugin path too long to start TALVORI.exe.\n");
        logError("Plugin path too long for TALVORI.exe");
        closeDisplayChannel();
        return 1;
    }
    if (!rememberOverlayProgram(overlayPath)) {
        std::printf("TALVORI:Plugin path is not valid UTF-8, TALVORI.exe not started.\n");
        logError("Plugin path is not valid UTF-8");
        closeDisplayChannel();
        return 1;
    }

    HANDLE started = findOverlayWindow() ? nullptr : startOverlayProgram();
    HWND overlay = waitForOverlayWindow();
    if (!overlay) {
        abandonOverlayStart(started);
        logError(kMissingOverlay);
        closeDisplayChannel();
        MessageBoxA(nullptr, "Missing file plugins\\TALVORI.exe ?", "TALVORI", MB_ICONWARNING);
        return 1;
    }

    openMeasureDC();
    adoptOverlayWindow(overlay, started);
    currentConnection = host::getCurrentServerConnectionHandlerID();
    std::printf("Current Connection Handler %u \n", static_cast<unsigned>(currentConnection));
    clientNameCache.rebuild();
    if (copyListConfig().windowEnabled) listWindow = createListWindow(pluginInstance, ListFrame::plain);
    openUserCalls();
    std::printf("TALVORI: init\n");
    return 0;
}

void pluginShutdown() {
    // Whatever the user starts from now on is refused; what is already
    // inside finishes first.
    closeUserCalls(waits::kUserCallsEndMs);
    setPlaySwitchListener(nullptr);
    finishConfigure();
    // The settings dialog first: it may still change listConfig and ask
    // things of the window; its thread has ended when this returns.
    closeListSettingsDialog();
    saveListChannelConfig(copyListConfig());
    // Closed by its own thread, which may not be this one.
    if (HWND window = listWindow) commandListWindow(window, LIST_CLOSE);
    listWindow = nullptr;
    // The overlay running now, which may have been started again meanwhile.
    endOverlay();
    closeDisplayChannel();
    closeMeasureDC();
    endPluginSession();
    std::printf("TALVORI: shutdown\n");
    char* commandId = nullptr;
    {
        PluginLockGuard guard(pluginCommandIdLock);
        commandId = pluginCommandId;
        pluginCommandId = nullptr;
    }
    free(commandId);
}
