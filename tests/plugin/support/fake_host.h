#pragma once
// The simulated host behind the plugin's host calls, at the API level of the
// adapter the test program links (api8/ or api26/ beside this file).
#include "fake_host_table.h"
#include "host_model.h"

namespace fakehost {
// The complete table of this level, bound to the installed HostModel.
Table table();
// Hands a table of this level to the plugin's adapter.
void install(const Table& table);
}  // namespace fakehost

// Puts the installed HostModel behind every host call the plugin makes.
inline void installFakeHost() { fakehost::install(fakehost::table()); }
