#pragma once
// Redirects this process's HKEY_CURRENT_USER to a throw-away key for the
// lifetime of the object, so tests never see or touch real settings.
#include <windows.h>

#include <string>
#include <vector>

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Raw access to HKCU\Software\Talvori inside the sandbox.
    void putValue(const wchar_t* name, DWORD type, const void* data, DWORD size);
    void putBinary(const wchar_t* name, const std::vector<BYTE>& bytes) {
        putValue(name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    // Empty when the value is missing.
    std::vector<BYTE> getValue(const wchar_t* name, DWORD* type = nullptr) const;
    bool keyExists() const;

private:
    HKEY root_ = nullptr;
    std::wstring path_;
};
