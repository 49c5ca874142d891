#include "fake_host.h"

namespace fakehost {

Table table() { return hostsim::HostModel::table26(); }
void install(const Table& table) { host::setFunctionTable(table); }

}  // namespace fakehost
