#include "name_cache.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "globals.h"
#include "host.h"
#include "utf8_text.h"

namespace {

// defaultClientName comes from LoadStringA into 10 bytes; never trust it to
// be terminated.
void copyDefaultName(char* name) {
    char fallback[sizeof defaultClientName + 1];
    size_t n = strnlen(defaultClientName, sizeof defaultClientName);
    memcpy(fallback, defaultClientName, n);
    fallback[n] = '\0';
    copyUtf8Bounded(name, kNameBufferBytes, fallback);
}

// The trace of a full table, once per client it could not take. A rebuild on
// a big server has hundreds of them at a time: written in a few blocks, the
// same bytes as one printf each.
void traceTableFull(unsigned times = 1) {
    static const char kTrace[] = "MAX_CLIENT_COUNT";
    constexpr size_t kLength = sizeof kTrace - 1;
    constexpr unsigned kPerBlock = 32;
    char block[kLength * kPerBlock];
    for (unsigned i = 0; i < kPerBlock && i < times; ++i)
        memcpy(block + i * kLength, kTrace, kLength);
    while (times > 0) {
        const unsigned n = times < kPerBlock ? times : kPerBlock;
        fwrite(block, kLength, n, stdout);
        times -= n;
    }
}

}  // namespace

ClientNameCache::ClientNameCache() : count(0), additions(0) {
    for (unsigned i = 0; i < MAX_CLIENT_COUNT; ++i) {
        names[i] = nullptr;
        clients[i] = 0;
        connections[i] = 0;
        storedAt[i] = 0;
    }
}

ClientNameCache::~ClientNameCache() {
    for (unsigned i = 0; i < count; ++i) {
        free(names[i]);
        names[i] = nullptr;
        clients[i] = 0;
        connections[i] = 0;
    }
    count = 0;
}

int ClientNameCache::findClient(uint64 connection, anyID client, char* name) {
    PluginLockGuard guard(lock);
    return findLocked(connection, client, name);
}

int ClientNameCache::findLocked(uint64 connection, anyID client, char* name) const {
    if (name) copyDefaultName(name);
    for (unsigned i = 0; i < count; ++i) {
        if (clients[i] == client && connections[i] == connection) {
            if (name) copyUtf8Bounded(name, kNameBufferBytes, names[i]);
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ClientNameCache::full() const {
    PluginLockGuard guard(lock);
    return count >= MAX_CLIENT_COUNT;
}

AddOutcome ClientNameCache::addClient(uint64 connection, anyID client, char* name) {
    {
        PluginLockGuard guard(lock);
        if (findLocked(connection, client, name) >= 0) return AddOutcome::Cached;
        if (count >= MAX_CLIENT_COUNT) {
            traceTableFull();
            return AddOutcome::TableFull;
        }
    }

    char* hostName = nullptr;
    unsigned error = host::getClientVariableAsString(connection, client,
                                                     hostconst::kClientNickname, &hostName);
    // A success without a string is as useless as an error, and must not be
    // dereferenced.
    if (error != 0 || !hostName) {
        host::logMessage("AddClient Error client name", hostconst::kLogError, "TALVORI",
                         connection);
        printf("TALVORI: AddClient Error client name: %u\n", client);
        return AddOutcome::HostFailed;
    }

    size_t length = strlen(hostName);
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) memcpy(copy, hostName, length + 1);
    host::freeMemory(hostName);
    if (!copy) return AddOutcome::HostFailed;  // out of memory: the caller keeps the default name

    uint32_t listAsked;  // additions up to the moment the host lists the clients
    {
        PluginLockGuard guard(lock);
        if (!storeLocked(connection, client, copy, name))
            return count >= MAX_CLIENT_COUNT && findLocked(connection, client, nullptr) < 0
                       ? AddOutcome::TableFull
                       : AddOutcome::Cached;
        listAsked = additions;
    }

    // Drop the clients that have left this connection, the new one included
    // when the host no longer lists it.
    anyID* present = nullptr;
    if (host::getClientList(connection, &present) == 0 && present) {
        {
            PluginLockGuard guard(lock);
            purgeLocked(connection, present, listAsked);
        }
        host::freeMemory(present);
    }

    PluginLockGuard guard(lock);
    printf("index: %u  ", count);
    if (count > 0) printf("  %s\n", names[count - 1]);
    return AddOutcome::Added;
}

bool ClientNameCache::storeLocked(uint64 connection, anyID client, char* copy, char* name) {
    // Another thread may have cached the pair, or filled the table, while
    // the host was being asked.
    if (findLocked(connection, client, name) >= 0) {
        free(copy);
        return false;
    }
    if (count >= MAX_CLIENT_COUNT) {
        traceTableFull();
        free(copy);
        return false;
    }
    names[count] = copy;
    clients[count] = client;
    connections[count] = connection;
    storedAt[count] = additions++;
    ++count;
    if (name) copyUtf8Bounded(name, kNameBufferBytes, copy);
    return true;
}

void ClientNameCache::purgeLocked(uint64 connection, const anyID* present, uint32_t before) {
    // The entries this purge may judge, sorted by client, and which of them
    // the host lists: one pass over the host's list with a binary search
    // each, not one pass per entry, which on a server of hundreds would grow
    // with the server. (Pairs are unique, so a client occurs once here.)
    anyID judged[MAX_CLIENT_COUNT];
    bool listed[MAX_CLIENT_COUNT] = {};
    unsigned n = 0;
    for (unsigned i = 0; i < count; ++i) {
        // An entry stored after the host listed the clients may be a client
        // who arrived since: the list cannot judge it.
        if (connections[i] == connection && static_cast<int32_t>(storedAt[i] - before) < 0)
            judged[n++] = clients[i];
    }
    if (n == 0) return;
    std::sort(judged, judged + n);
    for (const anyID* client = present; *client != 0; ++client) {
        const anyID* at = std::lower_bound(judged, judged + n, *client);
        if (at != judged + n && *at == *client) listed[at - judged] = true;
    }
    // Removed in the table's order, as their trace lines have always come.
    unsigned i = 0;
    while (i < count) {
        if (connections[i] == connection && static_cast<int32_t>(storedAt[i] - before) < 0 &&
            !listed[std::lower_bound(judged, judged + n, clients[i]) - judged]) {
            deleteLocked(connection, clients[i]);  // the next entry moved into i
            continue;
        }
        ++i;
    }
}

int ClientNameCache::deleteClient(uint64 connection, anyID client) {
    PluginLockGuard guard(lock);
    return deleteLocked(connection, client);
}

int ClientNameCache::deleteLocked(uint64 connection, anyID client) {
    int found = findLocked(connection, client, nullptr);
    if (found < 0) return 0;
    unsigned index = static_cast<unsigned>(found);

    printf("TALVORI: Delete client name: %s\n", names[index]);
    free(names[index]);
    for (unsigned i = index; i + 1 < count; ++i) {
        names[i] = names[i + 1];
        clients[i] = clients[i + 1];
        connections[i] = connections[i + 1];
        storedAt[i] = storedAt[i + 1];
    }
    --count;
    names[count] = nullptr;
    clients[count] = 0;
    connections[count] = 0;
    storedAt[count] = 0;
    return 1;
}

void ClientNameCache::deleteConnection(uint64 connection) {
    PluginLockGuard guard(lock);
    unsigned i = 0;
    while (i < count) {
        if (connections[i] == connection)
            deleteLocked(connection, clients[i]);
        else
            ++i;
    }
}

void ClientNameCache::rebuild() {
    uint64* handlers = nullptr;
    if (host::getServerConnectionHandlerList(&handlers) != 0) {
        host::logMessage("Get Connection Handler List", hostconst::kLogError, "TALVORI", 0);
        printf("TALVORI: Get Connection Handler List error\n");
        return;
    }
    if (!handlers) return;

    for (const uint64* handler = handlers; *handler != 0; ++handler) {
        anyID* list = nullptr;
        if (host::getClientList(*handler, &list) != 0 || !list) continue;
        addListed(*handler, list);
        host::freeMemory(list);
    }
    host::freeMemory(handlers);
}

// addClient for each client of the list, in its order. The clients that need
// no host query (cached, or no room for them) are settled in runs under one
// lock, so that a rebuild on a server of hundreds costs little more than
// reading its list; a client with room to take it goes through addClient.
void ClientNameCache::addListed(uint64 connection, const anyID* client) {
    while (*client != 0) {
        unsigned untaken = 0;
        {
            PluginLockGuard guard(lock);
            for (; *client != 0; ++client) {
                if (findLocked(connection, *client, nullptr) >= 0) continue;
                if (count < MAX_CLIENT_COUNT) break;
                ++untaken;
            }
        }
        traceTableFull(untaken);
        if (*client != 0) addClient(connection, *client++, nullptr);
    }
}
