#include "client_names.h"

#include "host.h"
#include "name_cache.h"
#include "utf8_text.h"

namespace {

// Leaves the buffer as it is (defaultClientName) when the host has no name:
// a client who has just left, or an id the server never had.
void askHost(uint64 connection, anyID client, char* name) {
    char* hostName = nullptr;
    if (host::getClientVariableAsString(connection, client, hostconst::kClientNickname,
                                        &hostName) != 0 ||
        !hostName)
        return;
    copyUtf8Bounded(name, kNameBufferBytes, hostName);
    host::freeMemory(hostName);
}

}  // namespace

void addClientNamed(uint64 connection, anyID client, char* name) {
    if (clientNameCache.addClient(connection, client, name) == AddOutcome::TableFull && name)
        askHost(connection, client, name);
}

int findClientNamed(uint64 connection, anyID client, char* name) {
    const int index = clientNameCache.findClient(connection, client, name);
    if (index < 0 && name && clientNameCache.full()) askHost(connection, client, name);
    return index;
}
