#pragma once
// Nicknames of up to 100 clients across every open connection, so that the
// host is asked for a name only the first time a client is seen.
#include <cstdint>

#include "host_types.h"

inline constexpr unsigned MAX_CLIENT_COUNT = 100;
inline constexpr unsigned kNameBufferBytes = 64;  // a caller's UTF-8 name buffer

class ClientNameCache {
public:
    ClientNameCache();
    ~ClientNameCache();
    ClientNameCache(const ClientNameCache&) = delete;
    ClientNameCache& operator=(const ClientNameCache&) = delete;

    // Index of the entry or -1; a given buffer (64 bytes) always receives a
    // name: the cached one or defaultClientName.
    int findClient(uint64 connection, anyID client, char* name);
    void addClient(uint64 connection, anyID client, char* name);
    int deleteClient(uint64 connection, anyID client);  // 1 removed, 0 absent
    void deleteConnection(uint64 connection);
    void rebuild();

    unsigned size() const { return count; }
    anyID clientAt(unsigned i) const { return clients[i]; }
    uint64 connectionAt(unsigned i) const { return connections[i]; }
    const char* nameAt(unsigned i) const { return names[i]; }

private:
    uint32_t count;
    char* names[MAX_CLIENT_COUNT];
    anyID clients[MAX_CLIENT_COUNT];
    uint64 connections[MAX_CLIENT_COUNT];
};

extern ClientNameCache clientNameCache;
