#pragma once
// Scenario files: what the simulated host does, one command per line.
// The grammar is documented in SCENARIOS.md; in short:
//
//   # a comment                     blank lines and comments are skipped
//   connection 1 "My Server" own 5  words are separated by blanks;
//   client 1 7 "Bob \"B\"" 10 away  a word in double quotes may hold blanks,
//                                   and \" \\ \n \t inside it are escapes
//
// Numbers are decimal or 0x-hexadecimal. Parsing checks every line fully
// (verb, argument count, numbers, keywords) before anything runs, so a
// mistyped scenario never half-runs.
#include <cstdint>
#include <string>
#include <vector>

#include "host_types.h"

namespace hostsim {

enum class Verb {
    Connection, Channel, Client, Clients, Active, Init, Connect, Status, Talk,
    Move, Moved, Kick, KickServer, Timeout, Subscription, Join, Leave, Update,
    Tab, Disconnect, Command, Text, PluginEvent, Configure, Dialog, Configured,
    Fail, Wait, Screenshot, Say, Shutdown, Unload, Menu, Hotkey,
};

struct Step {
    Verb verb = Verb::Say;
    int line = 0;             // 1-based line in the scenario
    std::string source;       // the line as written, trimmed

    uint64 connection = 0;
    anyID client = 0;         // client, own client (connection), sender (text), first of clients
    anyID lastClient = 0;     // last of a numbered range (clients)
    uint64 channel = 0;       // channel id (channel, client, join)
    uint64 oldChannel = 0;
    bool oldFromModel = false;  // old channel written as "-": the client's channel now
    uint64 newChannel = 0;
    int visibility = -1;      // -1: what the host would say for this move
    std::string text;         // names, command text, file, function, message, hotkey keyword
    std::string word;         // keyword argument (talk, update, dialog, screenshot)
    int number = 0;           // status, milliseconds, times, data, flag value, menu item id
    unsigned error = 0;       // fail, status
    bool muted = false, deaf = false, away = false;
    std::string ping;         // client ... ping <ms>; empty = the model's default
};

struct ParsedScenario {
    std::vector<Step> steps;
    std::vector<std::string> errors;  // "line N: message"
    bool ok() const { return errors.empty(); }
};

// Splits one line into words: blanks separate, double quotes group, '#'
// outside quotes starts a comment. False (with a message) on an unclosed
// quote or a bad escape.
bool splitWords(const std::string& line, std::vector<std::string>* words, std::string* error);

ParsedScenario parseScenario(const std::string& text);

// The command names, for the usage text.
const char* verbName(Verb verb);

}  // namespace hostsim
