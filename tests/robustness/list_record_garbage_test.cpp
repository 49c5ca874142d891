// Whatever the "ListChannel" value holds (any length from 0 to 100 bytes,
// random bytes, any value type), loading it reads nothing beyond what the
// value holds: a value of at most 28 bytes overlays the leading bytes of
// the defaults, a longer one leaves the defaults whole.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "capture_stdout.h"
#include "knobs.h"
#include "list_config.h"
#include "registry_sandbox.h"

namespace robust {
namespace {

std::vector<BYTE> bytesOf(const ListChannelConfig& c) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&c);
    return std::vector<BYTE>(p, p + sizeof c);
}

TEST(ListRecordGarbage, EveryLengthAndTypeLoadsWithinTheValue) {
    RegistrySandbox reg;
    ListChannelConfig defaults;
    resetListChannelConfig(defaults);
    const unsigned seed = robust::seed();
    std::mt19937 random(seed);
    const DWORD types[] = {REG_BINARY, REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD,
                           REG_MULTI_SZ, REG_NONE};
    int loads = 0;
    for (DWORD type : types) {
        for (DWORD length = 0; length <= 100; ++length) {
            std::vector<BYTE> value(length);
            for (BYTE& b : value) b = static_cast<BYTE>(random());
            reg.putValue(L"ListChannel", type, value.data(), length);
            // String types may be stored with a terminator added: what the
            // value holds is what may be read, nothing beyond.
            value = reg.getValue(L"ListChannel");

            // Bytes that no load may leave behind: the load starts from the
            // defaults, whatever the record held before.
            ListChannelConfig loaded;
            std::memset(&loaded, 0xA5, sizeof loaded);
            int result;
            {
                StdoutCapture quiet;
                result = loadListChannelConfig(loaded);
            }
            ++loads;
            std::vector<BYTE> expected = bytesOf(defaults);
            if (value.size() <= sizeof loaded) {
                EXPECT_EQ(result, 0) << "type " << type << " length " << length;
                for (size_t i = 0; i < value.size(); ++i) expected[i] = value[i];
            } else {
                EXPECT_EQ(result, 1) << "type " << type << " length " << length;
            }
            ASSERT_EQ(bytesOf(loaded), expected)
                << "type " << type << ", " << length << " bytes, seed " << seed;
        }
    }
    std::printf("[ figures  ] ListChannel loaded from %d stored values (seed %u)\n", loads, seed);
}

}  // namespace
}  // namespace robust
