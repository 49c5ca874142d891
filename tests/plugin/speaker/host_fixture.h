#pragma once
// A simulated host installed behind the plugin's host calls, checked after
// every test for strings or lists the plugin failed to hand back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"
#include "globals.h"
#include "host_model.h"

namespace speakertest {

// The test program carries the plugin's string table when it was built with
// it; otherwise the name the globals start with stands.
inline void loadDefaultClientName() {
    char loaded[sizeof defaultClientName] = {};
    if (LoadStringA(GetModuleHandleW(nullptr), 40002, loaded, sizeof loaded) > 0)
        memcpy(defaultClientName, loaded, sizeof loaded);
}

class HostFixture : public testing::Test {
protected:
    void SetUp() override {
        loadDefaultClientName();
        model.install();
        installFakeHost();
    }
    void TearDown() override {
        EXPECT_EQ(model.outstandingBlocks(), 0u) << leakReport();
        EXPECT_EQ(model.badFrees(), 0u);
        EXPECT_TRUE(model.unexpectedCalls().empty()) << model.transcript();
    }

    // Adds a connected server whose own client is `own`.
    void addServer(uint64 id, anyID own = 1) { model.addConnection(id, "Server", own); }

    std::string leakReport() const {
        std::string out;
        for (const auto& what : model.outstandingDescriptions()) out += what + "\n";
        return out;
    }

    hostsim::HostModel model;
};

}  // namespace speakertest
