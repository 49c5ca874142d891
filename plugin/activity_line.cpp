#include "activity_line.h"

#include <cstdio>
#include <cwchar>

#include "client_names.h"
#include "display_link.h"
#include "globals.h"
#include "live_display_config.h"
#include "host.h"
#include "list_window.h"
#include "name_cache.h"
#include "name_text.h"
#include "speaker_line.h"
#include "text_fit.h"

namespace {

// Conversion buffers, terminator included. The channel buffer is the
// tightest: a long channel name is cut to 39 units.
constexpr int kNicknameUnits = 64;
constexpr int kChannelUnits = 40;
constexpr int kServerUnits = 64;

// Room kept for the arrow and its blanks when a move line is fitted.
constexpr int kArrowRoom = 20;
// Room kept for "disconnected" when a leave line is fitted.
constexpr int kLeaveRoom = 80;
// Room kept for the blank after a halved nickname.
constexpr int kLeaveBlankRoom = 4;

const wchar_t kArrow[] = L"->";

void logActivityError(const char* text, uint64 connection) {
    host::logMessage(text, hostconst::kLogError, "TALVORI", connection);
}

// The overlay width on screen as a signed value, so every limit derived
// from it is a signed difference even for a width below the rooms
// subtracted from it. The rooms are pixels at 100 % and scale with it.
int overlayWidth() { return onScreenLength(static_cast<int>(liveDisplayConfig().width)); }
int room(int pixels) { return onScreenLength(pixels); }

bool isCurrent(uint64 connection) { return connection == currentConnection; }

// The user's own client is gone: its connection's names go with it and the
// overlay starts over with the one line saying so.
void onOwnDisconnect(uint64 connection) {
    dropConnectionSpeakers(connection);
    clientNameCache.deleteConnection(connection);

    wchar_t line[kLineUnits] = {};
    appendWithBlank(line, disconnectedUpper, wcslen(disconnectedUpper));
    // Stored whatever the connection, so a background disconnect replaces
    // the stored line without being shown; the queue is cleared either way.
    clearThenActivityLine(line, isCurrent(connection));
}

// Nickname, arrow, channel name. The nickname gives way when the two do not
// fit together; the channel name is never shortened. False when the host
// cannot name the channel.
bool composeMoveLine(uint64 connection, uint64 newChannel, const wchar_t* nickname,
                     wchar_t* line) {
    char* hostName = nullptr;
    if (host::getChannelVariableAsString(connection, newChannel, hostconst::kChannelName,
                                         &hostName) != 0) {
        logActivityError("Error client name 2", connection);
        return false;
    }
    wchar_t channelName[kChannelUnits] = {};
    nameToWide(hostName ? hostName : "", channelName, kChannelUnits);
    if (hostName) host::freeMemory(hostName);

    const int width = overlayWidth();
    int take = static_cast<int>(wcslen(nickname));
    const int arrowRoom = room(kArrowRoom);
    if (textWidth(nickname) + textWidth(channelName) + arrowRoom > width)
        fitCount(nickname, (width - arrowRoom) / 2, take);

    appendName(line, nickname, take < 0 ? 0 : static_cast<size_t>(take));
    appendWithBlank(line, kArrow, 2);
    appendName(line, channelName, wcslen(channelName));
    return true;
}

// Nickname and "disconnected": the nickname keeps whichever is longer, what
// fits beside the word or what fits in half the width.
void composeLeaveLine(const wchar_t* nickname, wchar_t* line) {
    const int width = overlayWidth();
    const int length = static_cast<int>(wcslen(nickname));
    int besideWord = length;
    int halfWidth = length;
    fitCount(nickname, width - room(kLeaveRoom), besideWord);
    fitCount(nickname, (width - room(kLeaveBlankRoom)) / 2, halfWidth);
    int take = besideWord > halfWidth ? besideWord : halfWidth;
    if (length < take) take = length;

    appendName(line, nickname, take < 0 ? 0 : static_cast<size_t>(take));
    appendWithBlank(line, disconnectedLower, wcslen(disconnectedLower));
}

}  // namespace

void handleClientMove(uint64 connection, anyID client, uint64 oldChannel, uint64 newChannel,
                      int visibility, const char* /*message*/) {
    anyID ownClient = 0;
    if (host::getClientID(connection, &ownClient) != 0) {
        logActivityError("Error querying own client id", connection);
        return;
    }
    if (ownClient == 0 && newChannel == 0) {
        onOwnDisconnect(connection);
        return;
    }
    if (newChannel == 0) dropLeavingSpeaker(connection, client);

    char name[kNameBufferBytes] = {};
    if (visibility != hostconst::kLeaveVisibility)
        clientNameCache.addClient(connection, client, name);

    uint64 ownChannel = 0;
    if (host::getChannelOfClient(connection, ownClient, &ownChannel) != 0) {
        logActivityError("Error querying own channel id", connection);
        printf("Error querying own channel id\n");
        return;
    }
    const bool ownChannelTouched = ownChannel == newChannel || ownChannel == oldChannel;
    if (ownChannelTouched && !placingListWindow.load()) refreshListWindow();
    if (liveDisplayConfig().onlyMyChannel && !ownChannelTouched) return;

    findClientNamed(connection, client, name);
    wchar_t nickname[kNicknameUnits] = {};
    nameToWide(name, nickname, kNicknameUnits);

    wchar_t line[kLineUnits] = {};
    if (newChannel != 0) {
        if (!composeMoveLine(connection, newChannel, nickname, line)) return;
    } else {
        composeLeaveLine(nickname, line);
        clientNameCache.deleteClient(connection, client);
    }
    if (isCurrent(connection)) postActivityLine(line);
}

void onClientMoveSubscription(uint64 connection, anyID client, uint64 /*oldChannel*/,
                              uint64 /*newChannel*/, int visibility) {
    printf("TALVORI: onClientMoveSubscriptionEvent \n");
    if (visibility != hostconst::kLeaveVisibility)
        clientNameCache.addClient(connection, client, nullptr);
}

void selectConnection(uint64 connection) {
    currentConnection = connection;
    clientNameCache.rebuild();

    char* serverName = nullptr;
    const unsigned error =
        host::getServerVariableAsString(connection, hostconst::kServerName, &serverName);
    if (error != 0) {
        // 1794 (not connected) is what a tab without a live server answers;
        // that is expected, not worth a log line.
        if (error != hostconst::kErrorNotConnected)
            host::logMessage("Error querying server name", hostconst::kLogError, "Plugin",
                             connection);
        clearActivityLines();
        return;
    }
    printf("TALVORI: Server name: %s\n", serverName ? serverName : "");

    wchar_t wideName[kServerUnits] = {};
    nameToWide(serverName ? serverName : "", wideName, kServerUnits);
    wchar_t line[kLineUnits] = {};
    appendName(line, wideName, wcslen(wideName));
    if (serverName) host::freeMemory(serverName);
    clearThenActivityLine(line, true);
}
