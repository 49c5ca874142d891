// Placeholder until this module is written.
#include "name_cache.h"
ClientNameCache::ClientNameCache() : count(0), names{}, clients{}, connections{} {}
ClientNameCache::~ClientNameCache() {}
int ClientNameCache::findClient(uint64, anyID, char*) { return -1; }
void ClientNameCache::addClient(uint64, anyID, char*) {}
int ClientNameCache::deleteClient(uint64, anyID) { return 0; }
void ClientNameCache::deleteConnection(uint64) {}
void ClientNameCache::rebuild() {}
