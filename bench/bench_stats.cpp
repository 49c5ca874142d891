#include "bench_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace bench {

namespace {
LONGLONG frequency() {
    static const LONGLONG f = [] {
        LARGE_INTEGER q;
        QueryPerformanceFrequency(&q);
        return q.QuadPart;
    }();
    return f;
}
}  // namespace

LONGLONG now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double microseconds(LONGLONG from, LONGLONG to) {
    return static_cast<double>(to - from) * 1e6 / static_cast<double>(frequency());
}

double tickMicroseconds() { return 1e6 / static_cast<double>(frequency()); }

double Samples::percentile(double p) const {
    if (values_.empty()) return 0;
    if (!sorted_) {
        std::sort(values_.begin(), values_.end());
        sorted_ = true;
    }
    // Nearest rank: the smallest value with at least p% of the samples at or below it.
    double rank = std::ceil(p / 100.0 * static_cast<double>(values_.size()));
    size_t index = rank < 1 ? 0 : static_cast<size_t>(rank) - 1;
    if (index >= values_.size()) index = values_.size() - 1;
    return values_[index];
}

double Samples::mean() const {
    if (values_.empty()) return 0;
    return std::accumulate(values_.begin(), values_.end(), 0.0) /
           static_cast<double>(values_.size());
}

std::string figure(double value) {
    char text[32];
    if (value == 0) return "0";
    const double magnitude = std::fabs(value);
    const char* format = magnitude >= 100 ? "%.0f" : magnitude >= 10 ? "%.1f"
                         : magnitude >= 1 ? "%.2f" : "%.3f";
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool underWine() { return !wineVersion().empty(); }

std::string wineVersion() {
    using Getter = const char*(__cdecl*)();
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto get = ntdll ? reinterpret_cast<Getter>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))
                     : nullptr;
    return get ? get() : "";
}

}  // namespace bench
