#include "scenario_runner.h"

#include <shlobj.h>

#include <cstdio>

#include "capture.h"
#include "utf8.h"
#include "world.h"

namespace hostsim {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr int kNotTalking = 0, kTalking = 1, kTalkingWhileDisabled = 2;
constexpr int kEnterVisibility = 0, kRetainVisibility = 1, kLeaveVisibility = 2;
constexpr int kStatusDisconnected = 0, kStatusEstablished = 4;
// Before a picture: the overlay paints on a notify message, and Wine shows
// a finished paint a moment later.
constexpr DWORD kPaintSettleMs = 300;
constexpr DWORD kDialogWaitMs = 10000;
constexpr DWORD kMenuDialogGraceMs = 2000;

// What the host says about a move when the scenario does not.
int defaultVisibility(uint64 oldChannel, uint64 newChannel) {
    if (newChannel == 0) return kLeaveVisibility;
    if (oldChannel == 0) return kEnterVisibility;
    return kRetainVisibility;
}

std::string uid(anyID client) { return "hostsim-uid-" + std::to_string(client); }

bool isAbsolute(const std::wstring& p) {
    return (p.size() >= 2 && p[1] == L':') || (!p.empty() && (p[0] == L'\\' || p[0] == L'/'));
}

}  // namespace

ScenarioRunner::ScenarioRunner(HostModel& model, PluginDll& dll, RunnerOptions options)
    : model_(model), dll_(dll), options_(std::move(options)) {
    // Printed as they happen, so that they fall between the plugin's own
    // trace lines in the order they were made.
    if (options_.showCalls)
        model_.setCallListener(
            [](const HostCall& call) { printf("    host: %s\n", call.describe().c_str()); });
}

ScenarioRunner::~ScenarioRunner() {
    model_.setCallListener(nullptr);
    // A configure thread that never ended cannot be joined; leave it to the
    // process's end rather than hang here.
    for (auto& c : configures_)
        if (c->thread.joinable()) {
            if (c->done) c->thread.join();
            else c->thread.detach();
        }
}

void ScenarioRunner::pump(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool ScenarioRunner::fail(const Step& step, const std::string& message) {
    printf("hostsim: line %d: %s\n", step.line, message.c_str());
    return false;
}

bool ScenarioRunner::run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        printf("> %s\n", step.source.c_str());
        if (!runStep(step)) return false;
        deliverPending();
        pump(0);
    }
    return true;
}

// The host answers the plugin's requests after the request returned: a move
// the plugin asked for arrives as a move event, a connection-info query as
// its event.
void ScenarioRunner::deliverPending() {
    for (;;) {
        std::vector<PendingEvent> events = model_.takePendingEvents();
        if (events.empty() || !dll_.loaded()) return;
        for (const PendingEvent& e : events) {
            if (e.kind == PendingEvent::kMove) {
                model_.moveClient(e.connection, e.client, e.newChannel);
                printf("  (host moves client %u from %llu to %llu)\n", e.client,
                       static_cast<unsigned long long>(e.oldChannel),
                       static_cast<unsigned long long>(e.newChannel));
                dll_.onClientMoveEvent(e.connection, e.client, e.oldChannel, e.newChannel,
                                       kRetainVisibility, "");
            } else {
                printf("  (host answers the connection info of client %u)\n", e.client);
                dll_.onConnectionInfoEvent(e.connection, e.client);
            }
        }
    }
}

SimClient* ScenarioRunner::needClient(const Step& step, std::string* error) {
    if (!model_.connection(step.connection)) {
        *error = "no connection " + std::to_string(step.connection);
        return nullptr;
    }
    SimClient* c = model_.client(step.connection, step.client);
    if (!c)
        *error = "no client " + std::to_string(step.client) + " on connection " +
                 std::to_string(step.connection);
    return c;
}

bool ScenarioRunner::moveEvent(const Step& step) {
    std::string error;
    uint64 oldChannel, newChannel = step.newChannel;
    std::string ownName;
    anyID own = 0;
    {
        Lock lock(model_.mutex());
        SimClient* c = needClient(step, &error);
        if (!c) return fail(step, error);
        oldChannel = step.oldFromModel ? c->channel : step.oldChannel;
        SimConnection* conn = model_.connection(step.connection);
        own = conn->ownClient;
        if (SimClient* me = model_.client(step.connection, own)) ownName = me->nickname;
        bool channelKnown = newChannel == 0;
        for (const auto& ch : conn->channels) channelKnown |= ch.id == newChannel;
        if (!channelKnown)
            return fail(step, "no channel " + std::to_string(newChannel) + " on connection " +
                                  std::to_string(step.connection));
        // The host's state changes first; the plugin hears about it after.
        if (newChannel == 0) model_.removeClient(step.connection, step.client);
        else c->channel = newChannel;
    }
    const int vis =
        step.visibility >= 0 ? step.visibility : defaultVisibility(oldChannel, newChannel);
    const uint64 conn = step.connection;
    const anyID client = step.client;
    switch (step.verb) {
        case Verb::Move:
            dll_.onClientMoveEvent(conn, client, oldChannel, newChannel, vis, "");
            break;
        case Verb::Moved:
            dll_.onClientMoveMovedEvent(conn, client, oldChannel, newChannel, vis, own,
                                        ownName.c_str(), uid(own).c_str(), "");
            break;
        case Verb::Kick:
            dll_.onClientKickFromChannelEvent(conn, client, oldChannel, newChannel, vis, own,
                                              ownName.c_str(), uid(own).c_str(), "kicked");
            break;
        case Verb::KickServer:
            dll_.onClientKickFromServerEvent(conn, client, oldChannel, 0, vis, own,
                                             ownName.c_str(), uid(own).c_str(), "kicked");
            break;
        case Verb::Timeout:
            dll_.onClientMoveTimeoutEvent(conn, client, oldChannel, 0, vis, "timed out");
            break;
        case Verb::Subscription:
            dll_.onClientMoveSubscriptionEvent(conn, client, oldChannel, newChannel, vis);
            break;
        default:
            break;
    }
    return true;
}

bool ScenarioRunner::configureRunning() const {
    for (const auto& c : configures_)
        if (!c->done) return true;
    return false;
}

bool ScenarioRunner::waitForConfigure(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (configureRunning()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        pump(20);
    }
    for (auto& c : configures_)
        if (c->thread.joinable()) c->thread.join();
    configures_.clear();
    return true;
}

namespace {

struct DialogSearch {
    DWORD overlayProcess;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    wchar_t cls[16] = L"";
    GetClassNameW(window, cls, 16);
    if (!IsWindowVisible(window) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->overlayProcess && process != GetCurrentProcessId()) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

// Presses OK or Cancel in the settings dialog that configure opened (in the
// overlay program, or in this process).
bool ScenarioRunner::closeDialog(const Step& step) {
    const DWORD start = GetTickCount();
    const DWORD grace = menuChosen_ ? kMenuDialogGraceMs : 0;
    menuChosen_ = false;
    DialogSearch search{0, nullptr};
    while (!search.found) {
        if (HWND overlay = FindWindowW(L"TALVORI_CLASS", L"TALVORI"))
            GetWindowThreadProcessId(overlay, &search.overlayProcess);
        EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) break;
        // The plugin's Settings menu entry opens the dialog from a thread of
        // the plugin's own, which hostsim does not see: give it a moment.
        if (!configureRunning() && GetTickCount() - start >= grace) {
            // Nothing waits on a dialog: configure is over (or never opened one).
            printf("  (no settings dialog open)\n");
            return true;
        }
        if (GetTickCount() - start >= kDialogWaitMs)
            return fail(step, "no settings dialog showed up");
        pump(50);
    }
    PostMessageW(search.found, WM_COMMAND, step.word == "ok" ? IDOK : IDCANCEL, 0);
    return true;
}

bool ScenarioRunner::screenshot(const Step& step) {
    if (!options_.screenshots) {
        pump(kPaintSettleMs);  // keep the pace a watcher would see
        return true;
    }
    std::wstring file = widen(step.text);
    if (!isAbsolute(file)) {
        SHCreateDirectoryExW(nullptr, options_.outDir.c_str(), nullptr);
        file = options_.outDir + L"\\" + file;
    }
    pump(kPaintSettleMs);
    std::string error;
    const CaptureArea what = step.word == "screen"   ? CaptureArea::Screen
                             : step.word == "dialog" ? CaptureArea::Dialogs
                                                     : CaptureArea::Windows;
    if (!saveScreenshot(file, what, &error))
        return fail(step, error + ": " + narrow(file));
    ++screenshots_;
    printf("  (saved %s)\n", narrow(file).c_str());
    return true;
}

// After init, as the client builds its menus and hotkey settings.
void ScenarioRunner::takeOffers() {
    if (!offers_.take(dll_)) return;
    for (const auto& item : offers_.menuItems())
        printf("  menu %d %d \"%s\"%s\n", item.type, item.id, item.text.c_str(),
               item.textTerminated ? "" : " (not terminated)");
    for (const auto& hotkey : offers_.hotkeys())
        printf("  hotkey %s \"%s\"%s\n", hotkey.keyword.c_str(), hotkey.description.c_str(),
               hotkey.terminated ? "" : " (not terminated)");
    printf("  (%u blocks for menus and hotkeys)\n", static_cast<unsigned>(offers_.received()));
    printMenuStates();
}

// Which entries the client would show greyed out now.
void ScenarioRunner::printMenuStates() {
    if (offers_.menuItems().empty()) return;
    std::string line = "  menus:";
    for (const auto& item : offers_.menuItems()) {
        const int state = model_.menuEnabled(item.id);
        line += " " + std::to_string(item.id) + (state < 0 ? "=?" : state ? "=on" : "=off");
    }
    printf("%s\n", line.c_str());
}

// Gives the menu and hotkey blocks back while the plugin's freeMemory is
// still there, then unloads.
void ScenarioRunner::unloadPlugin() {
    const size_t before = offers_.freed();
    offers_.giveBack(dll_);
    if (offers_.received())
        printf("  (gave back %u of %u menu and hotkey blocks through freeMemory)\n",
               static_cast<unsigned>(offers_.freed() - before),
               static_cast<unsigned>(offers_.received()));
    dll_.unload();
}

bool ScenarioRunner::runStep(const Step& s) {
    std::string error;
    const bool needsPlugin = !isWorldStep(s) && s.verb != Verb::Fail && s.verb != Verb::Wait &&
                             s.verb != Verb::Say && s.verb != Verb::Screenshot &&
                             s.verb != Verb::Dialog && s.verb != Verb::Configured &&
                             s.verb != Verb::Unload;
    if (needsPlugin && !dll_.loaded()) return fail(s, "the plugin is not loaded");
    const bool knownConnection = model_.connection(s.connection) != nullptr;

    switch (s.verb) {
        case Verb::Connection:
        case Verb::Channel:
        case Verb::Client:
        case Verb::Clients:
        case Verb::Active:
            return applyWorldStep(model_, s, &error) || fail(s, error);
        case Verb::Init: {
            if (inited_) return fail(s, "the plugin is already running");
            printf("  plugin: %s %s, API %d, by %s: %s\n", dll_.name(), dll_.version(),
                   dll_.apiVersion(), dll_.author(), dll_.description());
            printf("  plugin: keyword \"%s\", offers configure %d\n", dll_.commandKeyword(),
                   dll_.offersConfigure());
            dll_.setHostTable();
            // At API 26 the id goes first, so that init already names it to
            // getPluginPath (the plugin accepts either order).
            if (dll_.api() == 26) dll_.registerId(options_.pluginCommandId.c_str());
            int r = dll_.init();
            printf("  init -> %d\n", r);
            if (r != 0) {
                initFailed_ = true;
                return fail(s, "the plugin did not start");
            }
            inited_ = true;
            if (dll_.api() != 26) dll_.registerId(options_.pluginCommandId.c_str());
            takeOffers();
            return true;
        }
        case Verb::Connect: {
            {
                Lock lock(model_.mutex());
                SimConnection* c = model_.connection(s.connection);
                if (!c) return fail(s, "no connection " + std::to_string(s.connection));
                if (c->ownClient == 0)
                    return fail(s, "connection has no own client; give it one with 'connection'");
                c->status = kStatusEstablished;
            }
            dll_.onConnectStatusChangeEvent(s.connection, kStatusEstablished, 0);
            return true;
        }
        case Verb::Status: {
            {
                Lock lock(model_.mutex());
                SimConnection* c = model_.connection(s.connection);
                if (!c) return fail(s, "no connection " + std::to_string(s.connection));
                c->status = s.number;
            }
            dll_.onConnectStatusChangeEvent(s.connection, s.number, s.error);
            return true;
        }
        case Verb::Talk: {
            if (!needClient(s, &error)) return fail(s, error);
            int status = s.word == "stop"       ? kNotTalking
                         : s.word == "disabled" ? kTalkingWhileDisabled
                                                : kTalking;
            dll_.onTalkStatusChangeEvent(s.connection, status, s.word == "whisper", s.client);
            return true;
        }
        case Verb::Move:
        case Verb::Moved:
        case Verb::Kick:
        case Verb::KickServer:
        case Verb::Timeout:
        case Verb::Subscription:
            return moveEvent(s);
        case Verb::Join: {
            {
                Lock lock(model_.mutex());
                SimConnection* c = model_.connection(s.connection);
                if (!c) return fail(s, "no connection " + std::to_string(s.connection));
                if (model_.client(s.connection, s.client))
                    return fail(s, "client " + std::to_string(s.client) + " is already there");
                bool channelKnown = false;
                for (const auto& ch : c->channels) channelKnown |= ch.id == s.channel;
                if (!channelKnown) return fail(s, "no channel " + std::to_string(s.channel));
                model_.addClient(s.connection, s.client, s.text, s.channel);
            }
            dll_.onClientMoveEvent(s.connection, s.client, 0, s.channel, kEnterVisibility, "");
            return true;
        }
        case Verb::Leave: {
            uint64 old;
            {
                Lock lock(model_.mutex());
                SimClient* c = needClient(s, &error);
                if (!c) return fail(s, error);
                old = c->channel;
                model_.removeClient(s.connection, s.client);
            }
            dll_.onClientMoveEvent(s.connection, s.client, old, 0, kLeaveVisibility, "leaving");
            return true;
        }
        case Verb::Update: {
            {
                Lock lock(model_.mutex());
                SimClient* c = needClient(s, &error);
                if (!c) return fail(s, error);
                if (s.word == "muted") c->inputMuted = s.number;
                else if (s.word == "deaf") c->outputMuted = s.number;
                else if (s.word == "away") c->away = s.number;
                else if (s.word == "nick") c->nickname = s.text;
                else if (s.word == "ping") c->ping = s.text;
            }
            dll_.updateClient(s.connection, s.client);
            return true;
        }
        case Verb::Tab: {
            if (!knownConnection) return fail(s, "no connection " + std::to_string(s.connection));
            {
                Lock lock(model_.mutex());
                model_.activeConnection = s.connection;
            }
            dll_.currentServerConnectionChanged(s.connection);
            return true;
        }
        case Verb::Disconnect: {
            anyID own;
            uint64 ownChannel = 0;
            {
                Lock lock(model_.mutex());
                SimConnection* c = model_.connection(s.connection);
                if (!c) return fail(s, "no connection " + std::to_string(s.connection));
                own = c->ownClient;
                if (own == 0) return fail(s, "connection is not connected");
                if (SimClient* me = model_.client(s.connection, own)) ownChannel = me->channel;
                // The tab stays; the server's world is gone with the connection.
                c->ownClient = 0;
                c->status = kStatusDisconnected;
                c->clients.clear();
            }
            dll_.onClientMoveEvent(s.connection, own, ownChannel, 0, kLeaveVisibility, "");
            dll_.onConnectStatusChangeEvent(s.connection, kStatusDisconnected, 0);
            return true;
        }
        case Verb::Command: {
            int r = dll_.processCommand(s.connection, s.text.c_str());
            printf("  processCommand -> %d\n", r);
            return true;
        }
        case Verb::Text: {
            std::string fromName = "Unknown";
            anyID own = 0;
            {
                Lock lock(model_.mutex());
                if (SimClient* c = model_.client(s.connection, s.client)) fromName = c->nickname;
                if (SimConnection* c = model_.connection(s.connection)) own = c->ownClient;
            }
            int r = dll_.onTextMessageEvent(s.connection, 1, own, s.client, fromName.c_str(),
                                            uid(s.client).c_str(), s.text.c_str(), 0);
            printf("  onTextMessageEvent -> %d\n", r);
            return true;
        }
        case Verb::PluginEvent:
            if (!dll_.pluginEvent) {
                printf("  (no pluginEvent at API %d: skipped)\n", dll_.api());
                return true;
            }
            dll_.pluginEvent(static_cast<unsigned short>(s.number),
                             s.text.empty() ? nullptr : s.text.c_str());
            return true;
        case Verb::Configure: {
            auto c = std::make_unique<ConfigureThread>();
            ConfigureThread* raw = c.get();
            auto configure = dll_.configure;
            raw->thread = std::thread([raw, configure] {
                configure(nullptr, nullptr);
                raw->done = true;
            });
            configures_.push_back(std::move(c));
            // The plugin may open the dialog from a thread of its own after
            // the host's call has returned, as for the Settings menu entry.
            menuChosen_ = true;
            pump(100);  // let it get going before the next step
            return true;
        }
        case Verb::Dialog:
            return closeDialog(s);
        case Verb::Configured:
            if (!waitForConfigure(static_cast<DWORD>(s.number)))
                return fail(s, "configure did not end in time");
            return true;
        case Verb::Fail: {
            bool known = false;
            for (size_t i = 0; i < HostModel::kSlotCount; ++i)
                known |= s.text == HostModel::slotName(i);
            for (size_t i = 0; i < HostModel::kSlotCount26; ++i)
                known |= s.text == HostModel::slotName26(i);
            if (!known) return fail(s, "no host function named " + s.text);
            model_.failNext(s.text, s.error, s.number);
            return true;
        }
        case Verb::Wait:
            pump(static_cast<DWORD>(s.number));
            return true;
        case Verb::Screenshot:
            return screenshot(s);
        case Verb::Say:
            printf("== %s\n", s.text.c_str());
            return true;
        case Verb::Shutdown:
            if (!inited_) return fail(s, "the plugin is not running");
            dll_.shutdown();
            inited_ = false;
            shutDown_ = true;
            return true;
        case Verb::Unload:
            if (configureRunning()) return fail(s, "configure is still running");
            if (inited_) printf("hostsim: unloading a plugin that was not shut down\n");
            unloadPlugin();
            return true;
        case Verb::Menu: {
            if (!dll_.onMenuItemEvent) {
                printf("  (no plugin menus at API %d: skipped)\n", dll_.api());
                return true;
            }
            uint64 connection;
            {
                Lock lock(model_.mutex());
                connection = model_.activeConnection;
            }
            dll_.onMenuItemEvent(connection, 0, s.number, 0);
            menuChosen_ = true;
            printMenuStates();
            return true;
        }
        case Verb::Hotkey:
            if (!dll_.onHotkeyEvent) {
                printf("  (no plugin hotkeys at API %d: skipped)\n", dll_.api());
                return true;
            }
            dll_.onHotkeyEvent(s.text.c_str());
            printMenuStates();
            return true;
    }
    return fail(s, "unknown command");
}

void ScenarioRunner::finish() {
    if (configureRunning()) {
        printf("hostsim: configure is still running; pressing Cancel\n");
        Step cancel;
        cancel.word = "cancel";
        cancel.source = "dialog cancel";
        closeDialog(cancel);
        if (!waitForConfigure(kDialogWaitMs)) {
            printf("hostsim: configure does not end; leaving the plugin loaded\n");
            return;
        }
    }
    waitForConfigure(0);
    if (inited_ && dll_.loaded()) {
        printf("> shutdown (end of scenario)\n");
        dll_.shutdown();
        inited_ = false;
        shutDown_ = true;
    }
    if (dll_.loaded()) {
        printf("> unload (end of scenario)\n");
        unloadPlugin();
    }
}

}  // namespace hostsim
