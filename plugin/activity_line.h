#pragma once
// The channel activity line: arrivals, departures and moves, and the server
// line posted when a connection becomes the current one.
#include "host_types.h"

void handleClientMove(uint64 connection, anyID client, uint64 oldChannel, uint64 newChannel,
                      int visibility, const char* message);
void onClientMoveSubscription(uint64 connection, anyID client, uint64 oldChannel,
                              uint64 newChannel, int visibility);
void selectConnection(uint64 connection);
