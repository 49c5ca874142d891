#include "world.h"

#include <windows.h>

namespace hostsim {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

void setFlags(SimClient& c, const Step& s) {
    c.inputMuted = s.muted;
    c.outputMuted = s.deaf;
    c.away = s.away;
    if (!s.ping.empty()) c.ping = s.ping;
}

}  // namespace

bool readScenarioFile(const std::wstring& path, std::string* out) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(f, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        out->append(buffer, got);
    CloseHandle(f);
    return ok;
}

bool isWorldStep(const Step& step) {
    return step.verb == Verb::Connection || step.verb == Verb::Channel ||
           step.verb == Verb::Client || step.verb == Verb::Clients || step.verb == Verb::Active;
}

bool applyWorldStep(HostModel& model, const Step& s, std::string* error) {
    if (s.verb == Verb::Connection) {
        model.addConnection(s.connection, s.text, s.client);
        Lock lock(model.mutex());
        if (model.activeConnection == 0) model.activeConnection = s.connection;
        return true;
    }
    if (!isWorldStep(s)) {
        *error = std::string("'") + verbName(s.verb) + "' does not describe the world";
        return false;
    }
    if (!model.connection(s.connection)) {
        *error = "no connection " + std::to_string(s.connection);
        return false;
    }
    Lock lock(model.mutex());
    switch (s.verb) {
        case Verb::Channel:
            model.addChannel(s.connection, s.channel, s.text);
            break;
        case Verb::Client:
            setFlags(model.addClient(s.connection, s.client, s.text, s.channel), s);
            break;
        case Verb::Clients:
            for (unsigned id = s.client; id <= s.lastClient; ++id)
                setFlags(model.addClient(s.connection, static_cast<anyID>(id),
                                         s.text + std::to_string(id), s.channel),
                         s);
            break;
        case Verb::Active:
            model.activeConnection = s.connection;
            break;
        default:
            break;
    }
    return true;
}

bool loadWorld(HostModel& model, const std::wstring& path, std::string* error) {
    std::string text;
    if (!readScenarioFile(path, &text)) {
        *error = "cannot read the scenario file";
        return false;
    }
    ParsedScenario scenario = parseScenario(text);
    if (!scenario.ok()) {
        *error = scenario.errors.front();
        return false;
    }
    for (const Step& step : scenario.steps) {
        if (!isWorldStep(step)) continue;
        if (!applyWorldStep(model, step, error)) {
            *error = "line " + std::to_string(step.line) + ": " + *error;
            return false;
        }
    }
    return true;
}

}  // namespace hostsim
