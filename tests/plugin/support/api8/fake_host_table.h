#pragma once
// The host's table at API 8, for tests/plugin/support/fake_host.h.
#include "host_adapter8.h"

namespace fakehost {
using Table = HostFunctions;
inline constexpr int kApi = 8;
}  // namespace fakehost
