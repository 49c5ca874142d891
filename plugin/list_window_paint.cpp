#include "list_window_paint.h"

#include <climits>
#include <cwchar>

#include "client_names.h"
#include "globals.h"
#include "host.h"
#include "name_cache.h"
#include "name_text.h"
#include "unique_handle.h"

namespace {

// Every name the 64-byte cache buffer can hold converts into 64 units; the
// name as drawn may add a mark.
constexpr int kNameUnits = 64;
constexpr size_t kConfinedUnits = kNameUnits + 1;

void drawLine(HDC dc, const ListWindowLook& look, int line, const wchar_t* text, int length) {
    TextOutW(dc, 0, line * look.lineHeight, text, length);
}

// Fixed text the user places and sizes the window by while configuring.
void drawTestPattern(HDC dc, const ListWindowLook& look) {
    static const wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyz";
    drawLine(dc, look, 0, kAlphabet, static_cast<int>(wcslen(kAlphabet)));
    for (int n = 1; n <= kTestPatternNumbers; ++n) {
        wchar_t number[8];
        int length = swprintf(number, 8, L"%d", n);
        drawLine(dc, look, n, number, length);
    }
}

// Muted microphone, muted speakers or away: any of them gives the away colour.
bool isMutedOrAway(uint64 connection, anyID client) {
    int inputMuted = 0, outputMuted = 0, away = 0;
    host::getClientVariableAsInt(connection, client, hostconst::kClientInputMuted, &inputMuted);
    host::getClientVariableAsInt(connection, client, hostconst::kClientOutputMuted, &outputMuted);
    host::getClientVariableAsInt(connection, client, hostconst::kClientAway, &away);
    return inputMuted != 0 || outputMuted != 0 || away != 0;
}

void drawClient(HDC dc, const ListWindowLook& look, const ListChannelConfig& colours, int line,
                uint64 connection, anyID client) {
    SetTextColor(dc, isMutedOrAway(connection, client) ? colours.awayColour
                                                       : colours.textColour);
    char name[kNameBufferBytes] = {};
    findClientNamed(connection, client, name);
    wchar_t wide[kNameUnits] = {};
    const int length = nameToWide(name, wide, kNameUnits);
    wchar_t shown[kConfinedUnits];
    const size_t units = confineName(wide, static_cast<size_t>(length), shown, kConfinedUnits - 1);
    drawLine(dc, look, line, shown, static_cast<int>(units));
}

// How many lines from the top can show in what is being painted. Lines
// below would be clipped anyway; not asking the host about their clients
// keeps a paint's cost to the window's height, whatever the channel's size.
int visibleLines(HDC dc, const ListWindowLook& look) {
    RECT clip{};
    const int region = GetClipBox(dc, &clip);
    if (region == ERROR || look.lineHeight <= 0) return INT_MAX;
    if (region == NULLREGION || clip.bottom <= 0) return 0;
    return (clip.bottom + look.lineHeight - 1) / look.lineHeight;
}

void drawOwnChannel(HDC dc, const ListWindowLook& look, const ListChannelConfig& colours) {
    const uint64 connection = currentConnection;
    if (connection == 0) return;
    anyID ownClient = 0;
    if (host::getClientID(connection, &ownClient) != 0) return;
    uint64 ownChannel = 0;
    if (host::getChannelOfClient(connection, ownClient, &ownChannel) != 0) return;
    anyID* clients = nullptr;
    if (host::getChannelClientList(connection, ownChannel, &clients) != 0) {
        host::logMessage("Error Channel Client List ", hostconst::kLogError, "TALVORI",
                         connection);
        return;
    }
    if (!clients) return;
    const int shown = visibleLines(dc, look);
    for (int n = 0; clients[n] != 0 && n < shown; ++n)
        drawClient(dc, look, colours, n, connection, clients[n]);
    host::freeMemory(clients);
}

}  // namespace

void paintListContent(HDC dc, const ListWindowLook& look, const ListChannelConfig& colours) {
    SelectGuard font(dc, look.font);
    SetBkColor(dc, colours.backgroundColour);
    SetTextColor(dc, colours.textColour);
    if (placingListWindow.load())
        drawTestPattern(dc, look);
    else
        drawOwnChannel(dc, look, colours);
}
