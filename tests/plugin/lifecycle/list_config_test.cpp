// The List Channel settings record in the registry value "ListChannel".
#include <cstring>

#include "capture_stdout.h"
#include "list_config.h"
#include "registry_sandbox.h"

namespace {

std::vector<BYTE> bytesOf(const ListChannelConfig& c) {
    auto p = reinterpret_cast<const BYTE*>(&c);
    return std::vector<BYTE>(p, p + sizeof c);
}

const std::vector<BYTE> kDefaults = {255, 1, 1, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 240, 0,
                                     44, 1, 10, 0, 0, 0, 60, 0, 0, 0, 0xFF, 0, 0, 0};

ListChannelConfig garbage() {
    ListChannelConfig c;
    std::memset(&c, 0xAB, sizeof c);
    return c;
}

TEST(ListChannelConfigRecord, ResetStoresTheDefaultsInEveryField) {
    ListChannelConfig c = garbage();
    resetListChannelConfig(c);
    EXPECT_EQ(bytesOf(c), kDefaults);
}

TEST(ListChannelConfigRecord, CleanProfileCreatesTheKeyOnceAndKeepsTheDefaults) {
    RegistrySandbox sandbox;
    ListChannelConfig c = garbage();
    StdoutCapture out;
    EXPECT_EQ(loadListChannelConfig(c), 1);
    EXPECT_EQ(loadListChannelConfig(c), 1);
    EXPECT_EQ(out.take(),
              "Create key  Software\\Talvori\n"
              "Registry error : key Software\\Talvori ListChannel: 2\n"
              "Registry error : key Software\\Talvori ListChannel: 2\n");
    EXPECT_TRUE(sandbox.keyExists());
    EXPECT_EQ(bytesOf(c), kDefaults);
    EXPECT_TRUE(sandbox.getValue(L"ListChannel").empty()) << "loading never writes";
}

TEST(ListChannelConfigRecord, SavedRecordComesBackByteForByte) {
    RegistrySandbox sandbox;
    ListChannelConfig c;
    resetListChannelConfig(c);
    c.opacity = 30;
    c.windowEnabled = 1;
    c.backgroundColour = 0x00123456;
    c.textColour = 0x00ABCDEF;
    c.width = 320;
    c.height = 800;
    c.x = -500;
    c.y = -7;
    c.awayColour = 0x0000FF00;
    {
        StdoutCapture quiet;
        ListChannelConfig key;
        loadListChannelConfig(key);  // creates the key, as load time does
    }
    saveListChannelConfig(c);
    DWORD type = 0;
    std::vector<BYTE> stored = sandbox.getValue(L"ListChannel", &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored, bytesOf(c));
    EXPECT_EQ(stored[16], 0x0C);  // -500 little-endian: 0C FE FF FF
    EXPECT_EQ(stored[19], 0xFF);

    ListChannelConfig back = garbage();
    StdoutCapture out;
    EXPECT_EQ(loadListChannelConfig(back), 0);
    EXPECT_EQ(out.take(), "Registry Constructor ListChannel\n");
    EXPECT_EQ(bytesOf(back), bytesOf(c));
}

TEST(ListChannelConfigRecord, ShortValueOverlaysOnlyItsLeadingBytes) {
    RegistrySandbox sandbox;
    sandbox.putBinary(L"ListChannel", {100, 0, 0, 1, 0x11, 0x22});
    ListChannelConfig c = garbage();
    StdoutCapture out;
    EXPECT_EQ(loadListChannelConfig(c), 0);
    EXPECT_EQ(out.take(), "Registry Constructor ListChannel\n");
    std::vector<BYTE> expected = kDefaults;
    expected[0] = 100;
    expected[1] = 0;
    expected[2] = 0;
    expected[3] = 1;
    expected[4] = 0x11;
    expected[5] = 0x22;
    EXPECT_EQ(bytesOf(c), expected);
}

TEST(ListChannelConfigRecord, LongValueIsRefusedAndTheDefaultsStand) {
    RegistrySandbox sandbox;
    sandbox.putBinary(L"ListChannel", std::vector<BYTE>(29, 0x01));
    ListChannelConfig c = garbage();
    StdoutCapture out;
    EXPECT_EQ(loadListChannelConfig(c), 1);
    EXPECT_EQ(out.take(), "Registry error : key Software\\Talvori ListChannel: 234\n");
    EXPECT_EQ(bytesOf(c), kDefaults);
}

TEST(ListChannelConfigRecord, SaveWithoutTheKeyWritesNothing) {
    RegistrySandbox sandbox;
    ListChannelConfig c;
    resetListChannelConfig(c);
    saveListChannelConfig(c);
    EXPECT_FALSE(sandbox.keyExists());
}

}  // namespace
