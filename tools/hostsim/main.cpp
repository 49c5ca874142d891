// hostsim: plays the TeamSpeak client for the real plugin DLL. Loads the
// plugin, checks the exports of its API level (8 or 26), hands it a function table backed by a
// simulated world, plays a scenario (a file, or the built-in demo), shuts
// the plugin down, unloads it, and checks that every string and list the
// host handed out came back exactly once.
//
// Exit codes: 0 all well; 1 bad usage or scenario; 2 the plugin did not
// load or lacks exports; 3 memory discipline broken or an unexpected host
// function called; 4 the plugin did not start.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo_scenario.h"
#include "host_model.h"
#include "plugin_dll.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "world.h"
#include "utf8.h"

namespace {

using namespace hostsim;

void usage() {
    printf(
        "usage: hostsim [options] [SCENARIO]\n"
        "  SCENARIO           a scenario file (see tools/hostsim/SCENARIOS.md);\n"
        "                     without one the built-in demo plays\n"
        "  --plugin DLL       the plugin to load (default: " HOSTSIM_DEFAULT_PLUGIN_A
        " beside hostsim)\n"
        "  --api 8|26         the host's API level; a plugin of another level is\n"
        "                     refused (default: the level the plugin answers)\n"
        "  --plugin-path DIR  what getPluginPath answers (default: the DLL's folder)\n"
        "  --out DIR          folder for screenshots with a relative name (default: out)\n"
        "  --quiet            do not list the host calls under each step\n"
        "  --calls            list them (the default; undoes an earlier --quiet)\n"
        "  --no-screenshots   skip the scenario's screenshot commands\n"
        "  --check-exports    only load the plugin and check its exports\n"
        "  --print-demo       print the built-in demo scenario and exit\n");
}

struct Options {
    std::wstring plugin;
    std::wstring pluginPath;
    std::wstring outDir = L"out";
    std::wstring scenario;
    int api = 0;  // 0: the plugin's own answer
    bool quiet = false;
    bool screenshots = true;
    bool checkExports = false;
    bool printDemo = false;
};

bool parseOptions(int argc, wchar_t** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        auto value = [&](std::wstring* out) {
            if (i + 1 >= argc) return false;
            *out = argv[++i];
            return true;
        };
        if (a == L"--plugin") {
            if (!value(&o->plugin)) return false;
        } else if (a == L"--api") {
            std::wstring level;
            if (!value(&level)) return false;
            if (level == L"8") o->api = 8;
            else if (level == L"26") o->api = 26;
            else return false;
        } else if (a == L"--plugin-path") {
            if (!value(&o->pluginPath)) return false;
        } else if (a == L"--out") {
            if (!value(&o->outDir)) return false;
        } else if (a == L"--quiet") {
            o->quiet = true;
        } else if (a == L"--calls") {
            o->quiet = false;
        } else if (a == L"--no-screenshots") {
            o->screenshots = false;
        } else if (a == L"--check-exports") {
            o->checkExports = true;
        } else if (a == L"--print-demo") {
            o->printDemo = true;
        } else if (a == L"--help" || a == L"-h" || a == L"/?") {
            return false;
        } else if (!a.empty() && a[0] == L'-') {
            return false;
        } else if (o->scenario.empty()) {
            o->scenario = a;
        } else {
            return false;
        }
    }
    return true;
}

std::wstring folderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    return n == 0 || n >= MAX_PATH * 2 ? path : std::wstring(buffer, n);
}

std::wstring exeFolder() {
    wchar_t buffer[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
    return folderOf(std::wstring(buffer, n));
}

// The memory and call checks a host can make once the plugin is gone.
int checkDiscipline(const HostModel& model) {
    int code = 0;
    const size_t leaks = model.outstandingBlocks();
    if (leaks) {
        printf("hostsim: %u host block(s) never released with freeMemory:\n",
               static_cast<unsigned>(leaks));
        for (const auto& what : model.outstandingDescriptions()) printf("    %s\n", what.c_str());
        code = 3;
    }
    if (model.badFrees()) {
        printf("hostsim: %u freeMemory call(s) on a block the host did not hand out or had "
               "already released\n",
               static_cast<unsigned>(model.badFrees()));
        code = 3;
    }
    const auto unexpected = model.unexpectedCalls();
    if (!unexpected.empty()) {
        printf("hostsim: %u call(s) to host functions the plugin has no use for:\n",
               static_cast<unsigned>(unexpected.size()));
        for (const auto& c : unexpected) printf("    %s\n", c.function.c_str());
        code = 3;
    }
    printf("hostsim: %u host calls, %u blocks outstanding, %u bad frees, %u unexpected calls\n",
           static_cast<unsigned>(model.calls().size()), static_cast<unsigned>(leaks),
           static_cast<unsigned>(model.badFrees()), static_cast<unsigned>(unexpected.size()));
    return code;
}

int run(const Options& o) {
    if (o.printDemo) {
        fputs(kDemoScenario, stdout);
        return 0;
    }
    std::string text = kDemoScenario;
    if (!o.scenario.empty()) {
        text.clear();
        if (!readScenarioFile(o.scenario, &text)) {
            printf("hostsim: cannot read %s\n", narrow(o.scenario).c_str());
            return 1;
        }
    }
    ParsedScenario scenario = parseScenario(text);
    if (!scenario.ok()) {
        for (const auto& e : scenario.errors) printf("hostsim: %s\n", e.c_str());
        return 1;
    }

    const std::wstring dllPath =
        fullPath(o.plugin.empty() ? exeFolder() + L"\\" HOSTSIM_DEFAULT_PLUGIN : o.plugin);
    HostModel model;
    model.install();
    model.answerRequests = true;
    model.pluginPath = narrow(o.pluginPath.empty() ? folderOf(dllPath) : o.pluginPath);

    printf("hostsim: loading %s\n", narrow(dllPath).c_str());
    PluginDll dll;
    if (!dll.load(dllPath, o.api)) {
        printf("hostsim: LoadLibrary failed (error %lu)\n", dll.loadError());
        return 2;
    }
    const size_t expected = PluginDll::exportNames(dll.api()).size();
    if (!dll.missingExports().empty()) {
        printf("hostsim: the plugin lacks %u of %u exports:\n",
               static_cast<unsigned>(dll.missingExports().size()),
               static_cast<unsigned>(expected));
        for (const auto& name : dll.missingExports()) printf("    %s\n", name.c_str());
        return 2;
    }
    const int answered = dll.apiVersion ? dll.apiVersion() : 0;
    if (answered != dll.api()) {
        printf("hostsim: the plugin answers API %d, the host is API %d: not compatible\n",
               answered, dll.api());
        return 2;
    }
    printf("hostsim: API %d\n", dll.api());
    printf("hostsim: all %u exports present\n", static_cast<unsigned>(expected));
    if (o.checkExports) return 0;

    RunnerOptions ro;
    ro.outDir = o.outDir;
    ro.showCalls = !o.quiet;
    ro.screenshots = o.screenshots;
    ScenarioRunner runner(model, dll, ro);
    const bool played = runner.run(scenario.steps);
    runner.finish();

    int code = checkDiscipline(model);
    const PluginOffers& offers = runner.offers();
    if (offers.freed() != offers.received()) {
        printf("hostsim: %u of %u menu and hotkey blocks never went back through the plugin's "
               "freeMemory\n",
               static_cast<unsigned>(offers.received() - offers.freed()),
               static_cast<unsigned>(offers.received()));
        code = 3;
    }
    if (runner.initFailed()) return 4;
    if (!played) return 1;
    if (code == 0) printf("hostsim: scenario done\n");
    return code;
}

}  // namespace

int main() {
    // One unbuffered stream: the plugin prints through the same C runtime,
    // and its trace lines must land between the steps that caused them.
    setvbuf(stdout, nullptr, _IONBF, 0);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Options o;
    if (!argv || !parseOptions(argc, argv, &o)) {
        usage();
        if (argv) LocalFree(argv);
        return 1;
    }
    LocalFree(argv);
    return run(o);
}
