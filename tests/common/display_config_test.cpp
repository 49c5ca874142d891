#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "capture_stdout.h"
#include "display_config.h"
#include "registry_sandbox.h"

namespace {

std::vector<BYTE> bytesOf(const DisplayConfig& c) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&c);
    return std::vector<BYTE>(p, p + sizeof c);
}

DisplayConfig defaults() {
    DisplayConfig c;
    resetDisplayConfig(c);
    return c;
}

TEST(DisplayConfigRecord, DefaultsAreLaidOutLittleEndian) {
    std::vector<BYTE> b = bytesOf(defaults());
    const std::vector<BYTE> expected = {
        255, 0, 1, 1, 1, 1, 0, 0,           // switches, reserved
        0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0,    // background, speaker colour
        0, 0, 0, 0, 5, 0, 240, 0,           // channel colour, duration, width
        20, 0, 0, 0, 10, 0, 0, 0, 10, 0, 0, 0};
    EXPECT_EQ(b, expected);
}

TEST(DisplayConfigRecord, FirstRunCreatesTheKeyAndKeepsDefaults) {
    RegistrySandbox reg;
    DisplayConfig c;
    StdoutCapture out;
    EXPECT_EQ(loadDisplayConfig(c), 1);
    EXPECT_EQ(out.take(),
              "Create key  Software\\Talvori\n"
              "Registry error : key Software\\Talvori Config : 2\n");
    EXPECT_TRUE(reg.keyExists());
    EXPECT_EQ(bytesOf(c), bytesOf(defaults()));
    EXPECT_TRUE(reg.getValue(L"Config").empty()) << "loading writes nothing";
}

TEST(DisplayConfigRecord, SaveThenLoadRoundTripsEveryByte) {
    RegistrySandbox reg;
    DisplayConfig c = defaults();
    c.width = 500;
    c.displayDuration = 0;
    c.x = -1200;
    c.reserved1[0] = 7;  // written as held, never interpreted
    {
        DisplayConfig scratch;
        StdoutCapture quiet;
        loadDisplayConfig(scratch);  // creates the key
    }
    saveDisplayConfig(c);
    DWORD type = 0;
    EXPECT_EQ(reg.getValue(L"Config", &type), bytesOf(c));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    DisplayConfig loaded;
    StdoutCapture out;
    EXPECT_EQ(loadDisplayConfig(loaded), 0);
    EXPECT_EQ(out.take(), "Registry Constructor\n");
    EXPECT_EQ(loaded.width, 500);
    EXPECT_EQ(loaded.displayDuration, 0);
    EXPECT_EQ(bytesOf(loaded), bytesOf(c));
}

TEST(DisplayConfigRecord, ShortValueOverlaysOnlyItsLeadingBytes) {
    RegistrySandbox reg;
    reg.putBinary(L"Config", {100, 1, 0});
    DisplayConfig c;
    StdoutCapture quiet;
    EXPECT_EQ(loadDisplayConfig(c), 0);
    EXPECT_EQ(c.opacity, 100);
    EXPECT_EQ(c.transparentBackground, 1);
    EXPECT_EQ(c.border, 0);
    DisplayConfig d = defaults();
    EXPECT_EQ(0, std::memcmp(reinterpret_cast<BYTE*>(&c) + 3, reinterpret_cast<BYTE*>(&d) + 3,
                             sizeof c - 3));
}

TEST(DisplayConfigRecord, LongValueIsIgnoredAndDefaultsStand) {
    RegistrySandbox reg;
    reg.putBinary(L"Config", std::vector<BYTE>(37, 0x11));
    DisplayConfig c;
    StdoutCapture out;
    EXPECT_EQ(loadDisplayConfig(c), 1);
    EXPECT_EQ(out.take(), "Registry error : key Software\\Talvori Config : 234\n");
    EXPECT_EQ(bytesOf(c), bytesOf(defaults()));
}

TEST(DisplayConfigRecord, EveryLengthAndTypeLoadsWithinTheValue) {
    RegistrySandbox reg;
    const DWORD types[] = {REG_BINARY, REG_SZ, REG_DWORD, REG_MULTI_SZ, REG_NONE};
    for (DWORD type : types) {
        for (DWORD len = 0; len <= 100; ++len) {
            std::vector<BYTE> v(len);
            for (DWORD i = 0; i < len; ++i) v[i] = static_cast<BYTE>(i * 37 + type);
            reg.putValue(L"Config", type, v.data(), len);
            // String types may be stored with a terminator added: what the
            // value holds is what may be read, nothing beyond.
            v = reg.getValue(L"Config");
            DisplayConfig c;
            int rc;
            {
                StdoutCapture quiet;
                rc = loadDisplayConfig(c);
            }
            std::vector<BYTE> got = bytesOf(c);
            std::vector<BYTE> want = bytesOf(defaults());
            if (v.size() <= sizeof c) {
                EXPECT_EQ(rc, 0);
                for (size_t i = 0; i < v.size(); ++i) want[i] = v[i];
            } else {
                EXPECT_EQ(rc, 1);
            }
            ASSERT_EQ(got, want) << "type " << type << " length " << len;
        }
    }
}

}  // namespace
