// "command", "list" and "info": sending to and asking about the server.
#include <cstdio>
#include <cstring>
#include <string>

#include "chat_commands.h"
#include "chat_commands_verbs.h"
#include "client_names.h"
#include "command_split.h"
#include "globals.h"
#include "host.h"
#include "name_cache.h"

namespace {

constexpr size_t kLineBytes = 255;

void printHostError(unsigned error) {
    char line[kLineBytes];
    std::snprintf(line, sizeof line, "Get Connection Variable error  :  0x%X\n", error);
    host::printMessageToCurrentTab(line);
}

}  // namespace

int commandVerb(const CommandArgs& args) {
    if (!args.first) {
        host::printMessageToCurrentTab("Missing command parameter.");
        return 0;
    }
    std::printf("TALVORI: Sending plugin command: %s\n", args.first);
    // Our own copy: the registered id may be replaced or freed on another
    // thread while the host reads it.
    const std::string id = copyPluginCommandId();
    if (!id.empty())
        host::sendPluginCommand(args.connection, id.c_str(), args.first);
    else
        std::printf("TALVORI: Failed to send plugin command, was not registered.\n");
    return 0;
}

int listVerb(const CommandArgs& args) {
    anyID* clients = nullptr;
    if (host::getClientList(args.connection, &clients) != 0 || !clients) return 0;
    char line[kLineBytes];
    std::snprintf(line, sizeof line, " Handler Connection : %d  \n",
                  static_cast<int>(static_cast<uint32_t>(args.connection)));
    host::printMessageToCurrentTab(line);
    for (size_t i = 0; clients[i] != 0; ++i) {
        char name[kNameBufferBytes] = "";
        findClientNamed(args.connection, clients[i], name);
        std::snprintf(line, sizeof line, " %d : %s \n", clients[i], name);
        host::printMessageToCurrentTab(line);
    }
    host::freeMemory(clients);
    return 0;
}

int infoVerb(const CommandArgs& args) {
    if (!args.first) return 0;
    int32_t number = readCommandNumber(args.first, std::strlen(args.first));
    const anyID client = static_cast<anyID>(static_cast<uint32_t>(number) & 0xFFFFu);
    pendingInfoClient = client;
    unsigned error = host::requestConnectionInfo(args.connection, client);
    if (error != 0) printHostError(error);
    return 0;
}

// The host's answer to "info"; only the client asked for is printed, from
// whichever connection the answer comes.
void onConnectionInfo(uint64 connection, anyID client) {
    if (client != pendingInfoClient) return;
    char* ping = nullptr;
    unsigned error =
        host::getConnectionVariableAsString(connection, client, hostconst::kConnectionPing, &ping);
    if (error != 0) {
        printHostError(error);
        return;
    }
    char line[kLineBytes];
    std::snprintf(line, sizeof line, "Ping %d : %s ms\n", client, ping ? ping : "");
    host::printMessageToCurrentTab(line);
    if (ping) host::freeMemory(ping);
    // A newer "info" asked meanwhile keeps waiting for its own answer.
    anyID answered = client;
    pendingInfoClient.compare_exchange_strong(answered, 0);
}
