#pragma once
// Nicknames of up to 100 clients across every open connection, so that the
// host is asked for a name only the first time a client is seen.
//
// Host threads and the List Channel window's paint use it at once: every
// operation takes the cache's lock, and none holds it while the host is
// asked for anything.
#include <cstdint>

#include "host_types.h"
#include "plugin_lock.h"
#include "non_copyable.h"

inline constexpr unsigned MAX_CLIENT_COUNT = 100;
inline constexpr unsigned kNameBufferBytes = 64;  // a caller's UTF-8 name buffer

// What addClient made of a pair.
enum class AddOutcome {
    Cached,      // already in the table; the host was not asked
    Added,       // asked and stored (a purge may have dropped it again at once)
    TableFull,   // no room: nothing asked, the buffer holds defaultClientName
    HostFailed,  // the host gave no name: the buffer holds defaultClientName
};

class ClientNameCache : NonCopyable {
public:
    ClientNameCache();
    ~ClientNameCache();

    // Index of the entry or -1; a given buffer (64 bytes) always receives a
    // name: the cached one or defaultClientName.
    int findClient(uint64 connection, anyID client, char* name);
    AddOutcome addClient(uint64 connection, anyID client, char* name);
    int deleteClient(uint64 connection, anyID client);  // 1 removed, 0 absent
    void deleteConnection(uint64 connection);
    void rebuild();
    // Every place taken: addClient adds nothing until a client goes.
    bool full() const;

    // For inspection while no other thread uses the cache.
    unsigned size() const { return count; }
    anyID clientAt(unsigned i) const { return clients[i]; }
    uint64 connectionAt(unsigned i) const { return connections[i]; }
    const char* nameAt(unsigned i) const { return names[i]; }

private:
    int findLocked(uint64 connection, anyID client, char* name) const;
    void addListed(uint64 connection, const anyID* clients);
    int deleteLocked(uint64 connection, anyID client);
    // Stores a fresh copy unless the pair arrived meanwhile or the table
    // filled up; false when the copy was not kept (and has been freed).
    bool storeLocked(uint64 connection, anyID client, char* copy, char* name);
    void purgeLocked(uint64 connection, const anyID* present, uint32_t before);

    uint32_t count;
    char* names[MAX_CLIENT_COUNT];
    anyID clients[MAX_CLIENT_COUNT];
    uint64 connections[MAX_CLIENT_COUNT];
    // When each entry was stored, counted in additions: a purge only judges
    // entries stored before it asked the host who is still there.
    uint32_t storedAt[MAX_CLIENT_COUNT];
    uint32_t additions;
    mutable PluginLock lock;
};

extern ClientNameCache clientNameCache;
