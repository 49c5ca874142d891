#pragma once
// What every benchmark here shares: the performance counter, a set of timed
// samples and their percentiles, and the table lines the programs print.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// Microseconds between two readings of QueryPerformanceCounter.
double microseconds(LONGLONG from, LONGLONG to);
LONGLONG now();
// The counter's tick, in microseconds (0.1 under Wine).
double tickMicroseconds();

class Samples {
public:
    void reserve(size_t n) { values_.reserve(n); }
    void add(double microseconds) {
        values_.push_back(microseconds);
        sorted_ = false;
    }
    // Pools another set's samples with these (runs measured in turns).
    void append(const Samples& other) {
        values_.insert(values_.end(), other.values_.begin(), other.values_.end());
        sorted_ = false;
    }
    size_t size() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    // Nearest-rank percentile (p in 0..100); 0 when there are no samples.
    double percentile(double p) const;
    double median() const { return percentile(50); }
    double mean() const;
    double max() const { return percentile(100); }

private:
    mutable std::vector<double> values_;
    mutable bool sorted_ = false;
};

// "12.3" with a precision that suits the magnitude (3 significant digits or
// more, no exponent).
std::string figure(double value);

// Under Wine? (ntdll exports wine_get_version)
bool underWine();
std::string wineVersion();

}  // namespace bench
