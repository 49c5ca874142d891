#pragma once
// The benchmarks start the real overlay program and load the real plugin,
// both of which read HKCU\Software\Talvori. A run measures known settings and
// then puts back whatever the user had stored.
#include <windows.h>

#include <vector>

namespace bench {

class StoredValue {
public:
    explicit StoredValue(const wchar_t* name);  // keeps the value (or its absence) aside
    ~StoredValue();                             // and puts it back
    StoredValue(const StoredValue&) = delete;
    StoredValue& operator=(const StoredValue&) = delete;

    bool store(const void* record, DWORD size);
    // The programs then start from their defaults.
    void erase();

private:
    const wchar_t* name_;
    bool hadValue_ = false;
    std::vector<BYTE> saved_;
};

}  // namespace bench
