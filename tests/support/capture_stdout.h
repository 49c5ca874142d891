#pragma once
// Collects what the code under test prints with printf.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

class StdoutCapture {
public:
    StdoutCapture() {
        std::fflush(stdout);
        testing::internal::CaptureStdout();
    }
    ~StdoutCapture() {
        if (!done_) take();
    }
    std::string take() {
        std::fflush(stdout);
        done_ = true;
        std::string s = testing::internal::GetCapturedStdout();
        std::string out;
        for (char c : s)
            if (c != '\r') out += c;
        return out;
    }

private:
    bool done_ = false;
};
