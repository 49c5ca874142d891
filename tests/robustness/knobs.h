#pragma once
// How long and how hard the robustness runs go. The test suite uses the
// defaults; scripts/robustness.sh raises them through the environment.
#include <windows.h>

#include <cstdlib>

namespace robust {

inline int knob(const char* name, int fallback) {
    char value[32];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    if (n == 0 || n >= sizeof value) return fallback;
    int parsed = std::atoi(value);
    return parsed >= 0 ? parsed : fallback;
}

// The seed of a randomised run: TALVORI_ROBUST_SEED repeats one, else a new
// one each time (every run prints the seed it used).
inline unsigned seed() {
    const int fixed = knob("TALVORI_ROBUST_SEED", 0);
    return fixed > 0 ? static_cast<unsigned>(fixed) : GetTickCount();
}

}  // namespace robust
