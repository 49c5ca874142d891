// Host events that re-target the plugin to a connection, refresh the List
// Channel window, or are only traced.
#include <cstdio>

#include "activity_line.h"
#include "globals.h"
#include "host.h"
#include "lifecycle.h"
#include "list_window.h"
#include "speaker_line.h"

namespace {

constexpr int kStatusDisconnected = 0;

// While configuring, the List Channel window shows its test pattern.
void refreshListUnlessConfiguring() {
    if (!placingListWindow.load()) refreshListWindow();
}

const char* hotkeyLine(int subtype) {
    switch (subtype) {
        case 1: return "Micro on\n";
        case 2: return "Micro off\n";
        case 5: return "Speaker on\n";
        case 6: return "Speaker off\n";
        case 7: return "Away on\n";
        case 8: return "Away off\n";
        case 9: return "Activate micro\n";
        case 11: return "Activate speaker\n";
        case 12: return "Activate away\n";
        case 13: return "Deactivate micro\n";
        case 15: return "Deactivate speakers\n";
        case 16: return "Deactivate away\n";
        default: return nullptr;
    }
}

}  // namespace

void onConnectStatusChange(uint64 connection, int newStatus, unsigned) {
    // Lost or closed: whoever was talking there stops without a word.
    if (newStatus == kStatusDisconnected) dropConnectionSpeakers(connection);
    if (newStatus != hostconst::kStatusEstablished) return;
    selectConnection(connection);
    refreshListUnlessConfiguring();
    std::printf("TALVORI: ConnectStatusChangeEvent %llu (%llu)\n",
                static_cast<unsigned long long>(connection),
                static_cast<unsigned long long>(host::getCurrentServerConnectionHandlerID()));
}

void onCurrentServerConnectionChanged(uint64 connection) {
    std::printf("TALVORI: currentServerConnectionChanged %llu (%llu)\n",
                static_cast<unsigned long long>(connection),
                static_cast<unsigned long long>(host::getCurrentServerConnectionHandlerID()));
    selectConnection(connection);
    refreshListUnlessConfiguring();
}

void onUpdateClient(uint64, anyID) { refreshListUnlessConfiguring(); }

void onPluginEvent(unsigned short data, const char* message) {
    std::printf("TALVORI: pluginEvent data = %u\n", static_cast<unsigned>(data));
    if (message) std::printf("Message: %s\n", message);
    int type = static_cast<signed char>(data >> 8);
    int subtype = static_cast<signed char>(data & 0xFF);
    std::printf("Type = %d, subtype = %d\n", type, subtype);
    if (type != 1) return;
    if (const char* line = hotkeyLine(subtype)) std::printf("%s", line);
}
