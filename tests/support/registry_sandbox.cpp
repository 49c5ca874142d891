#include "registry_sandbox.h"

#include <cstdio>
#include <stdexcept>

namespace {
constexpr wchar_t kTalvoriKey[] = L"Software\\Talvori";
}

RegistrySandbox::RegistrySandbox() {
    wchar_t name[96];
    swprintf(name, 96, L"Software\\TalvoriTests\\%lu-%lu", GetCurrentProcessId(), GetTickCount());
    path_ = name;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &root_, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the sandbox key");
    if (RegOverridePredefKey(HKEY_CURRENT_USER, root_) != ERROR_SUCCESS)
        throw std::runtime_error("RegOverridePredefKey failed");
}

RegistrySandbox::~RegistrySandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

void RegistrySandbox::putValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root_, kTalvoriKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create Software\\Talvori in the sandbox");
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

std::vector<BYTE> RegistrySandbox::getValue(const wchar_t* name, DWORD* type) const {
    HKEY key = nullptr;
    std::vector<BYTE> out;
    if (RegOpenKeyExW(root_, kTalvoriKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
        out.resize(size);
        RegQueryValueExW(key, name, nullptr, type, out.data(), &size);
        out.resize(size);
    }
    RegCloseKey(key);
    return out;
}

bool RegistrySandbox::keyExists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, kTalvoriKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
