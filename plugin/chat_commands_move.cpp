// "join" and "unmove": moving the user's own client between channels.
#include <cstring>

#include "chat_commands_verbs.h"
#include "command_split.h"
#include "globals.h"
#include "host.h"

namespace {

enum class Step { Next, Previous };

// Moves to the neighbour of the remembered channel in the host's order.
// "+" past the last channel wraps to the first; "-" before the first stays
// on the first.
int stepChannel(uint64 connection, anyID own, uint64 from, Step step, const char* password) {
    uint64* channels = nullptr;
    if (host::getChannelList(connection, &channels) != 0) return 1;
    if (!channels) return 0;
    for (size_t i = 0; channels[i] != 0; ++i) {
        if (channels[i] != from) continue;
        uint64 target;
        if (step == Step::Next)
            target = channels[i + 1] != 0 ? channels[i + 1] : channels[0];
        else
            target = i > 0 ? channels[i - 1] : channels[0];
        host::requestClientMove(connection, own, target, password);
    }
    host::freeMemory(channels);
    return 0;
}

}  // namespace

int joinVerb(const CommandArgs& args) {
    if (!args.first) {
        host::printMessageToCurrentTab("Missing channel ID parameter.");
        return 0;
    }
    anyID own = 0;
    if (host::getClientID(args.connection, &own) != 0) {
        logCommandError("Error querying client ID", args.connection);
        return 0;
    }
    // The host writes into a variable of ours (or, failing, leaves it as it
    // was); other threads see only whole values.
    uint64 current = previousChannel;
    const unsigned error = host::getChannelOfClient(args.connection, own, &current);
    previousChannel = current;
    if (error != 0) {
        logCommandError("Error querying Channel Of Client", args.connection);
        return 0;
    }
    const char* password = args.second ? args.second : "";
    if (std::strcmp(args.first, "+") == 0)
        return stepChannel(args.connection, own, current, Step::Next, password);
    if (std::strcmp(args.first, "-") == 0)
        return stepChannel(args.connection, own, current, Step::Previous, password);

    // Sign-extended, as the host's ids are unsigned 64-bit.
    int32_t number = readCommandNumber(args.first, std::strlen(args.first));
    uint64 target = static_cast<uint64>(static_cast<int64_t>(number));
    if (host::requestClientMove(args.connection, own, target, password) != 0)
        logCommandError("Error requesting client move", args.connection);
    return 0;
}

int unmoveVerb(const CommandArgs& args) {
    anyID own = 0;
    if (host::getClientID(args.connection, &own) != 0) {
        logCommandError("Error querying client ID", args.connection);
        return 0;
    }
    if (host::requestClientMove(args.connection, own, previousChannel, "") != 0)
        logCommandError("Error requesting client move", args.connection);
    return 0;
}
