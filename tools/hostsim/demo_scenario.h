#pragma once
// The session hostsim plays when it is given no scenario file.

namespace hostsim {

extern const char* const kDemoScenario;

}  // namespace hostsim
