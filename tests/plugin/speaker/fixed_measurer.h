#pragma once
// Exact widths for the fitting rules: every unit has a width in pixels,
// 10 unless a test says otherwise.
#include <map>

#include "text_fit.h"

namespace speakertest {

class FixedMeasurer : public TextMeasurer {
public:
    int unitWidth(wchar_t c) const {
        auto it = widths.find(c);
        return it == widths.end() ? defaultWidth : it->second;
    }
    int width(const wchar_t* text, int length) override {
        int w = 0;
        for (int i = 0; i < length; ++i) w += unitWidth(text[i]);
        return w;
    }
    bool fit(const wchar_t* text, int length, int maxWidth, int* count) override {
        ++fitCalls;
        if (failFit) return false;
        int w = 0, n = 0;
        while (n < length && w + unitWidth(text[n]) <= maxWidth) w += unitWidth(text[n++]);
        *count = n;
        return true;
    }

    int defaultWidth = 10;
    std::map<wchar_t, int> widths;
    bool failFit = false;
    int fitCalls = 0;
};

// Installs a measurer for the life of a scope.
class MeasurerScope {
public:
    explicit MeasurerScope(TextMeasurer* m) { setTextMeasurer(m); }
    ~MeasurerScope() { setTextMeasurer(nullptr); }
};

}  // namespace speakertest
