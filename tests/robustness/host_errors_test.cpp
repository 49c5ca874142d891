// The host's built-in demo session, played again and again with one host
// function failing on every call: whatever fails, the plugin must not crash,
// must hand back every string and list it was given (and no other), must call
// nothing it has no use for, and must report the failure the way it is meant
// to: the host log line, on the right channel, with the connection as id.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "capture_stdout.h"
#include "demo_scenario.h"
#include "knobs.h"
#include "plugin_host.h"
#include "scenario.h"
#include "scenario_runner.h"

namespace robust {
namespace {

constexpr unsigned kFailure = 0x0001;         // any error but 1794
constexpr unsigned kNotConnected = 0x0702;    // 1794: "this tab is not connected"

// The log lines the plugin writes when a host request fails.
struct LogLine {
    const char* text;
    const char* channel;
    bool connectionId;  // the connection as log id (else 0)
};

const std::map<std::string, std::vector<LogLine>>& expectedLogLines() {
    static const std::map<std::string, std::vector<LogLine>> lines = {
        {"getClientID", {{"Error querying own client id", "TALVORI", true},
                         {"Error querying client ID", "Plugin", true}}},
        {"getChannelOfClient", {{"Error querying own channel id", "TALVORI", true},
                                {"Error querying Channel Of Client", "Plugin", true}}},
        {"getChannelVariableAsString", {{"Error client name 2", "TALVORI", true}}},
        {"getClientVariableAsString", {{"AddClient Error client name", "TALVORI", true}}},
        {"getServerVariableAsString", {{"Error querying server name", "Plugin", true}}},
        {"getServerConnectionHandlerList", {{"Get Connection Handler List", "TALVORI", false}}},
        {"getChannelClientList", {{"Error Channel Client List ", "TALVORI", true}}},
        {"requestClientMove", {{"Error requesting client move", "Plugin", true}}},
    };
    return lines;
}

// Every error line the plugin may write, whatever failed.
std::set<std::string> knownErrorTexts() {
    std::set<std::string> texts;
    for (const auto& [function, lines] : expectedLogLines())
        for (const LogLine& l : lines) texts.insert(l.text);
    return texts;
}

// The demo without its pauses and pictures: the same events, at full speed.
std::vector<hostsim::Step> demoSteps() {
    hostsim::ParsedScenario parsed = hostsim::parseScenario(hostsim::kDemoScenario);
    std::vector<hostsim::Step> steps;
    for (const hostsim::Step& s : parsed.steps)
        if (s.verb != hostsim::Verb::Wait && s.verb != hostsim::Verb::Screenshot &&
            s.verb != hostsim::Verb::Say)
            steps.push_back(s);
    return steps;
}

struct Outcome {
    bool played = false;
    std::vector<hostsim::HostCall> calls;
    size_t outstanding = 0;
    size_t badFrees = 0;
    size_t unexpected = 0;
    size_t failedFrees = 0;
    std::string printed;
};

// One whole session; `function` fails with `error` on every call ("" = none).
Outcome playDemo(const std::string& function, unsigned error) {
    Outcome out;
    PluginHost host;
    host.overlay = std::make_unique<StandInOverlay>();
    host.model.answerRequests = true;
    // No TALVORI.exe there; the stand-in is found first anyway.
    host.model.pluginPath = "C:\\windows\\temp";
    StdoutCapture capture;
    std::string why;
    if (!host.dll.load(pluginDllPath(), TALVORI_TEST_PLUGIN_API)) {
        out.printed = "LoadLibrary failed";
        return out;
    }
    if (!function.empty()) host.model.failNext(function, error, -1);
    {
        hostsim::RunnerOptions options;
        options.showCalls = false;
        options.screenshots = false;
        hostsim::ScenarioRunner runner(host.model, host.dll, options);
        out.played = runner.run(demoSteps());
        runner.finish();
    }
    out.printed = capture.take();
    out.calls = host.model.callsSnapshot();
    out.outstanding = host.model.outstandingBlocks();
    out.badFrees = host.model.badFrees();
    out.unexpected = host.model.unexpectedCalls().size();
    for (const hostsim::HostCall& c : out.calls)
        if (c.function == "freeMemory" && c.result != 0) ++out.failedFrees;
    return out;
}

std::vector<hostsim::HostCall> errorLines(const Outcome& o) {
    std::vector<hostsim::HostCall> out;
    for (const hostsim::HostCall& c : o.calls)
        if (c.function == "logMessage" && c.number == 1) out.push_back(c);
    return out;
}

bool logged(const Outcome& o, const LogLine& line) {
    for (const hostsim::HostCall& c : errorLines(o))
        if (c.text == line.text && c.text2 == line.channel &&
            (line.connectionId ? c.id1 != 0 : c.id1 == 0))
            return true;
    return false;
}

std::string tail(const std::string& text, size_t n = 3000) {
    return text.size() > n ? "..." + text.substr(text.size() - n) : text;
}

TEST(HostErrors, EveryHostFunctionFailingThroughoutTheDemoIsSurvivedAndReported) {
    const Outcome baseline = playDemo("", 0);
    ASSERT_TRUE(baseline.played) << tail(baseline.printed);
    EXPECT_EQ(baseline.outstanding, 0u);
    EXPECT_TRUE(errorLines(baseline).empty()) << errorLines(baseline).front().describe();

    // Every function the plugin calls in a whole session, in first-call order.
    std::vector<std::string> functions;
    for (const hostsim::HostCall& c : baseline.calls) {
        bool seen = false;
        for (const std::string& f : functions) seen |= f == c.function;
        if (!seen) functions.push_back(c.function);
    }
    for (const auto& [function, lines] : expectedLogLines())
        EXPECT_NE(std::find(functions.begin(), functions.end(), function), functions.end())
            << function << " is never called in the demo: its failure goes untested";

    const std::set<std::string> errorTexts = knownErrorTexts();
    const DWORD start = GetTickCount();
    for (const std::string& function : functions) {
        SCOPED_TRACE("failing " + function);
        const Outcome o = playDemo(function, kFailure);
        EXPECT_TRUE(o.played) << tail(o.printed);
        // A release the host refused leaves its block; nothing else may.
        EXPECT_EQ(o.outstanding, o.failedFrees) << tail(o.printed);
        EXPECT_EQ(o.badFrees, 0u) << "a block released twice or never handed out";
        EXPECT_EQ(o.unexpected, 0u);
        auto expected = expectedLogLines().find(function);
        if (expected != expectedLogLines().end()) {
            for (const LogLine& line : expected->second)
                EXPECT_TRUE(logged(o, line)) << "missing log line \"" << line.text << "\" on "
                                             << line.channel;
        }
        for (const hostsim::HostCall& c : errorLines(o))
            EXPECT_TRUE(errorTexts.count(c.text)) << "unknown error line: " << c.describe();
        size_t failed = 0;
        for (const hostsim::HostCall& c : o.calls) failed += c.function == function;
        std::printf("[ figures  ] %-36s %3u calls failed, %3u error lines, %u blocks kept\n",
                    function.c_str(), static_cast<unsigned>(failed),
                    static_cast<unsigned>(errorLines(o).size()),
                    static_cast<unsigned>(o.outstanding));
    }
    const DWORD elapsed = GetTickCount() - start;

    // "Not connected" is what a tab without a server answers: no log line.
    const Outcome notConnected = playDemo("getServerVariableAsString", kNotConnected);
    EXPECT_TRUE(notConnected.played);
    EXPECT_FALSE(logged(notConnected, {"Error querying server name", "Plugin", true}));
    EXPECT_EQ(notConnected.outstanding, 0u);

    std::printf("[ figures  ] demo session played %u times, once per host function failing "
                "(%u functions), in %lu ms; %u host calls in the session without failures\n",
                static_cast<unsigned>(functions.size()), static_cast<unsigned>(functions.size()),
                static_cast<unsigned long>(elapsed), static_cast<unsigned>(baseline.calls.size()));
}

}  // namespace
}  // namespace robust
