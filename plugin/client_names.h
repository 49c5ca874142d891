#pragma once
// Nicknames for what the user sees: the speaker line, activity lines, the
// List Channel window and "list".
//
// The name table holds 100 clients across every connection; community
// servers have several hundred. When the table is full and does not hold a
// client, the host is asked for that one nickname, which goes into the
// caller's buffer and is released at once: nothing is kept, so memory stays
// bounded, and the table itself behaves (asks, traces, logs) as it always has.
#include "host_types.h"

// ClientNameCache::addClient, then the host when the table had no room.
void addClientNamed(uint64 connection, anyID client, char* name);

// ClientNameCache::findClient (its index, or -1), then the host when the
// pair is missing because the table is full. A client the table lacks while
// it has room keeps defaultClientName, as before.
int findClientNamed(uint64 connection, anyID client, char* name);
