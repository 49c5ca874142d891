#pragma once
// The verbs behind processCommand. Each takes the command's connection and
// its arguments (null when absent) and returns 0 when handled, 1 when not.
#include "host_types.h"

struct CommandArgs {
    uint64 connection;
    const char* first;   // first argument
    const char* second;  // last of the later words
};

int joinVerb(const CommandArgs& args);
int commandVerb(const CommandArgs& args);
int listVerb(const CommandArgs& args);
int unmoveVerb(const CommandArgs& args);
int infoVerb(const CommandArgs& args);
int backVerb(const CommandArgs& args);
int channelVerb(const CommandArgs& args);
int eraseVerb(const CommandArgs& args);
// Each toggles one of the switches for playing and says its new state.
int lockVerb(const CommandArgs& args);
int idleVerb(const CommandArgs& args);
int overlayVerb(const CommandArgs& args);

// A failed host request, to the host's log under the command's connection.
void logCommandError(const char* text, uint64 connection);
