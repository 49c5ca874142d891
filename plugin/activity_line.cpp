// Placeholder until this module is written.
#include "activity_line.h"
void handleClientMove(uint64, anyID, uint64, uint64, int, const char*) {}
void onClientMoveSubscription(uint64, anyID, uint64, uint64, int) {}
void selectConnection(uint64) {}
