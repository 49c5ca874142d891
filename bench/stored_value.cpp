#include "stored_value.h"

#include "registry.h"
#include "unique_handle.h"

namespace bench {

namespace {
UniqueRegKey createKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, registry::kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}
}  // namespace

StoredValue::StoredValue(const wchar_t* name) : name_(name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, registry::kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    UniqueRegKey owned(key);
    DWORD size = 0;
    if (RegQueryValueExW(key, name_, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return;
    saved_.resize(size);
    if (RegQueryValueExW(key, name_, nullptr, nullptr, saved_.data(), &size) == ERROR_SUCCESS) {
        saved_.resize(size);
        hadValue_ = true;
    }
}

StoredValue::~StoredValue() {
    if (hadValue_) {
        store(saved_.data(), static_cast<DWORD>(saved_.size()));
    } else {
        erase();
    }
}

bool StoredValue::store(const void* record, DWORD size) {
    UniqueRegKey key = createKey();
    return key && registry::writeRecord(key.get(), name_, record, size) == ERROR_SUCCESS;
}

void StoredValue::erase() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, registry::kKeyPath, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    UniqueRegKey owned(key);
    RegDeleteValueW(key, name_);
}

}  // namespace bench
