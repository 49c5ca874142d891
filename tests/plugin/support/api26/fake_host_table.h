#pragma once
// The host's table at API 26, for tests/plugin/support/fake_host.h.
#include "host_adapter26.h"

namespace fakehost {
using Table = HostFunctions26;
inline constexpr int kApi = 26;
}  // namespace fakehost
