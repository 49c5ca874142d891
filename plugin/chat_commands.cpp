#include "chat_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "chat_commands_verbs.h"
#include "command_split.h"
#include "globals.h"
#include "host.h"
#include "lifecycle_gate.h"

namespace {

// Room for 127 bytes of command and the terminator.
constexpr size_t kCommandBytes = 128;

struct Verb {
    const char* name;
    int (*run)(const CommandArgs&);
};

// Tried in this order; the first whole, case-sensitive match runs.
constexpr Verb kVerbs[] = {
    {"join", joinVerb},   {"command", commandVerb}, {"list", listVerb},
    {"unmove", unmoveVerb}, {"info", infoVerb},     {"back", backVerb},
    {"channel", channelVerb}, {"erase", eraseVerb},
    {"lock", lockVerb},   {"idle", idleVerb},       {"overlay", overlayVerb},
};

// Ends the word in place: the byte after a word is a blank or the
// terminator, both inside the buffer.
const char* endWord(char* buffer, const CommandWord& word) {
    if (!word.present()) return nullptr;
    buffer[word.offset + word.length] = '\0';
    return buffer + word.offset;
}

const char* orEmpty(const char* text) { return text ? text : ""; }

}  // namespace

void logCommandError(const char* text, uint64 connection) {
    host::logMessage(text, hostconst::kLogError, "Plugin", connection);
}

void registerPluginCommandId(const char* commandId) {
    char* copy = nullptr;
    if (commandId) {
        size_t bytes = std::strlen(commandId) + 1;
        copy = static_cast<char*>(std::malloc(bytes));
        if (copy) std::memcpy(copy, commandId, bytes);
    }
    if (copy) std::printf("PLUGIN: registerPluginCommandID: %s\n", copy);
    // A repeated registration replaces the id; the earlier copy goes once
    // no reader can still be copying it.
    char* earlier = nullptr;
    {
        PluginLockGuard guard(pluginCommandIdLock);
        earlier = pluginCommandId;
        pluginCommandId = copy;
    }
    std::free(earlier);
}

int processCommand(uint64 connection, const char* command) {
    // Once shutdown has begun the keyword is still ours: taken, and quietly
    // not acted on.
    UserCall call;
    if (!call) return 0;
    command = orEmpty(command);
    std::printf("TALVORI: process command: '%s'\n", command);

    // A command that does not fit is refused whole: acting on a cut text
    // could move to a channel or send a word the user never typed.
    size_t length = strnlen(command, kCommandBytes);
    if (length >= kCommandBytes) return 1;
    char buffer[kCommandBytes];
    std::memcpy(buffer, command, length);
    buffer[length] = '\0';

    CommandWords words = splitCommand(buffer, length);
    const Verb* verb = nullptr;
    for (const Verb& v : kVerbs) {
        if (wordIs(buffer, words.verb, v.name)) {
            verb = &v;
            break;
        }
    }
    if (!verb) return 1;
    CommandArgs args{connection, endWord(buffer, words.first), endWord(buffer, words.second)};
    return verb->run(args);
}

int onTextMessage(uint64 connection, anyID targetMode, anyID, anyID fromID, const char* fromName,
                  const char*, const char* message, int ffIgnored) {
    std::printf("TALVORI: onTextMessageEvent %llu %d %d %s %s %d\n",
                static_cast<unsigned long long>(connection), targetMode, fromID, orEmpty(fromName),
                orEmpty(message), ffIgnored);
    return 0;
}
