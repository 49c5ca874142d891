#pragma once
// Plays a parsed scenario against a loaded plugin: the model is changed the
// way the real host would have changed its state, then the plugin hears the
// event. Everything runs on the calling thread (the host's main thread,
// which pumps messages between steps so the plugin's windows stay alive),
// except configure, which gets a thread of its own as in the real host.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host_model.h"
#include "plugin_dll.h"
#include "plugin_offers.h"
#include "scenario.h"

namespace hostsim {

struct RunnerOptions {
    std::wstring outDir = L"out";  // where relative screenshot names go
    bool showCalls = true;         // print each host call under its step
    bool screenshots = true;       // false: screenshot commands do nothing
    std::string pluginCommandId = "TALVOR_plugin";
};

class ScenarioRunner {
public:
    ScenarioRunner(HostModel& model, PluginDll& dll, RunnerOptions options);
    ~ScenarioRunner();
    ScenarioRunner(const ScenarioRunner&) = delete;
    ScenarioRunner& operator=(const ScenarioRunner&) = delete;

    // Runs the steps in order; stops at the first that fails (its message is
    // printed) and answers false.
    bool run(const std::vector<Step>& steps);
    // Ends what the scenario left running, as a host that is closing would:
    // waits for configure, shuts the plugin down, unloads it.
    void finish();

    bool initFailed() const { return initFailed_; }
    // The plugin's menu entries and hotkeys (API 26), given back at unload.
    const PluginOffers& offers() const { return offers_; }
    size_t screenshotsTaken() const { return screenshots_; }

    // Dispatches this thread's messages for `ms` milliseconds.
    static void pump(DWORD ms);

private:
    bool runStep(const Step& step);
    bool fail(const Step& step, const std::string& message);
    void deliverPending();
    SimClient* needClient(const Step& step, std::string* error);
    bool moveEvent(const Step& step);
    bool screenshot(const Step& step);
    bool closeDialog(const Step& step);
    bool waitForConfigure(DWORD timeoutMs);
    bool configureRunning() const;
    void takeOffers();
    void printMenuStates();
    void unloadPlugin();

    HostModel& model_;
    PluginDll& dll_;
    RunnerOptions options_;
    bool inited_ = false;
    bool shutDown_ = false;
    bool initFailed_ = false;
    size_t screenshots_ = 0;
    // A menu entry was chosen since the last dialog step: it may have
    // opened the settings from a thread of the plugin's own.
    bool menuChosen_ = false;
    PluginOffers offers_;

    struct ConfigureThread {
        std::thread thread;
        std::atomic<bool> done{false};
    };
    std::vector<std::unique_ptr<ConfigureThread>> configures_;
};

}  // namespace hostsim
