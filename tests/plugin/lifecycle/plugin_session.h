#pragma once
// The test program plays the host: a sandboxed registry (set up before the
// DLL loads, whose static construction reads it), a simulated host behind
// the function table, and the real plugin DLL of the build variant (API 8,
// or API 26 in 32 or 64 bits).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host_model.h"
#include "own_window.h"
#include "plugin_dll.h"
#include "registry_sandbox.h"
#include "wine_path.h"

namespace lifecycle {

inline constexpr uint64 kConnection = 0x100000007ull;  // the low 32 bits are 7

std::string pluginDllPath();      // the DLL under test
inline constexpr int kPluginApi = TALVORI_TEST_PLUGIN_API;  // its API level, 8 or 26
std::string binFolder();          // where the build puts the DLL and TALVORI.exe

// A fresh folder holding no TALVORI.exe; removed when the object goes.
class EmptyFolder {
public:
    EmptyFolder();
    ~EmptyFolder();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Lines of captured output.
std::vector<std::string> lines(const std::string& text);
// True when `expected` occur in `actual` in this order (others may lie between).
bool inOrder(const std::vector<std::string>& actual, const std::vector<std::string>& expected);


// What the speaker area holds now, or a note in brackets when it is absent.
std::wstring speakerAreaText();

// Does a named object exist? (opened by name, then closed at once)
bool mappingExists(const wchar_t* name);
bool mutexExists(const wchar_t* name);

class PluginSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the DLL and hands over the host table.
    void loadPlugin();
    // Stores a ListChannel record before the DLL loads.
    void storeListRecord(const std::vector<BYTE>& bytes) {
        sandbox.putBinary(L"ListChannel", bytes);
    }
    std::vector<hostsim::HostCall> logLines() const { return model.callsTo("logMessage"); }

    RegistrySandbox sandbox;
    hostsim::HostModel model;
    EmptyFolder pluginFolder;
    hostsim::PluginDll plugin;
};

}  // namespace lifecycle
