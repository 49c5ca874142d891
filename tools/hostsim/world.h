#pragma once
// The world commands of a scenario (connection, channel, client, clients,
// active) applied to a host model, by the scenario player and by programs
// that only want a scenario's world: the benchmarks and tests of big
// servers, which share one scenario file with the command-line host.
#include <string>

#include "host_model.h"
#include "scenario.h"

namespace hostsim {

bool isWorldStep(const Step& step);

// Applies one world step; false, with a message, when the step names a
// connection that does not exist or is not a world step.
bool applyWorldStep(HostModel& model, const Step& step, std::string* error);

// The whole text of a scenario file; false when it cannot be read.
bool readScenarioFile(const std::wstring& path, std::string* text);

// Reads a scenario file and applies its world steps in order, skipping every
// other command. False, with a message, when the file cannot be read, does
// not parse, or a world step fails.
bool loadWorld(HostModel& model, const std::wstring& path, std::string* error);

}  // namespace hostsim
