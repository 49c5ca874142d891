#include "registry.h"

#include <cstdio>
#include <cstring>

namespace registry {

UniqueRegKey openForRead(LONG* error) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key);
    if (rc == ERROR_FILE_NOT_FOUND) {
        std::printf("Create key  Software\\Talvori\n");
        rc = RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_READ, nullptr,
                             &key, nullptr);
    }
    if (error) *error = rc;
    return UniqueRegKey(rc == ERROR_SUCCESS ? key : nullptr);
}

UniqueRegKey openForWrite() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

LONG readRecord(HKEY key, const wchar_t* name, void* record, DWORD size) {
    // Read into a scratch copy so that a failed or oversized query can
    // never leave half-written bytes in the caller's record.
    BYTE scratch[64];
    if (size > sizeof scratch) return ERROR_INVALID_PARAMETER;
    DWORD stored = 0;
    LONG rc = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &stored);
    if (rc != ERROR_SUCCESS) return rc;
    if (stored > size) return ERROR_MORE_DATA;
    DWORD got = size;
    rc = RegQueryValueExW(key, name, nullptr, nullptr, scratch, &got);
    if (rc != ERROR_SUCCESS) return rc;
    // String values come back with a terminator the value itself does not
    // hold; only the stored bytes overlay the record.
    std::memcpy(record, scratch, got < stored ? got : stored);
    return ERROR_SUCCESS;
}

LONG readRecordPrefix(HKEY key, const wchar_t* name, void* record, DWORD size) {
    DWORD type = 0;
    DWORD stored = 0;
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, nullptr, &stored);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_BINARY || stored < size) return ERROR_INVALID_DATA;
    // The whole value is read: a query into a shorter buffer fails.
    constexpr DWORD kMostBytes = 4096;
    if (stored > kMostBytes) return ERROR_INVALID_DATA;
    BYTE scratch[kMostBytes];
    DWORD got = stored;
    rc = RegQueryValueExW(key, name, nullptr, &type, scratch, &got);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_BINARY || got < size) return ERROR_INVALID_DATA;
    std::memcpy(record, scratch, size);
    return ERROR_SUCCESS;
}

LONG writeRecord(HKEY key, const wchar_t* name, const void* record, DWORD size) {
    return RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(record), size);
}

}  // namespace registry
