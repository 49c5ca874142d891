// The display-scale group runs once per dpi. Wine reads the dpi
// (HKCU\Control Panel\Desktop\LogPixels) when a process starts, so
// `--dpi=N` makes this program a launcher: it sets the value, runs itself
// again at that dpi with the remaining arguments (the overlay program the
// plugin starts there reads it too), and puts the value back, with the
// settings the tests store, whatever the outcome. Without it, the tests run.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kTalvoriKey[] = L"Software\\Talvori";

struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

// Every value of a key, to be put back as it was.
class KeptKey {
public:
    explicit KeptKey(const wchar_t* path) : path_(path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        existed_ = true;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameUnits = 256, type = 0, size = 0;
            if (RegEnumValueW(key, i, name, &nameUnits, nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS)
                break;
            Value v{name, type, std::vector<BYTE>(size)};
            RegQueryValueExW(key, name, nullptr, nullptr, v.data.data(), &size);
            values_.push_back(std::move(v));
        }
        RegCloseKey(key);
    }
    ~KeptKey() {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_);
        if (!existed_) return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path_, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        for (const Value& v : values_)
            RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(),
                           static_cast<DWORD>(v.data.size()));
        RegCloseKey(key);
    }

private:
    const wchar_t* path_;
    bool existed_ = false;
    std::vector<Value> values_;
};

// LogPixels alone is changed in the desktop key; it alone is put back.
class LogPixels {
public:
    explicit LogPixels(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dpi), sizeof dpi);
    }
    ~LogPixels() {
        if (had_)
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&old_),
                           sizeof old_);
        else
            RegDeleteValueW(key_, L"LogPixels");
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

int runAtDpi(DWORD dpi, int argc, wchar_t** argv) {
    std::wstring command = L"\"" + std::wstring(argv[0]) + L"\"";
    for (int i = 1; i < argc; ++i)
        if (wcsncmp(argv[i], L"--dpi=", 6) != 0) command += L" \"" + std::wstring(argv[i]) + L"\"";
    SetEnvironmentVariableW(L"TALVORI_SCALE_DPI", std::to_wstring(dpi).c_str());

    KeptKey settings(kTalvoriKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTalvoriKey);
    LogPixels scale(dpi);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "scale tests: could not start at %lu dpi (%lu)\n", dpi,
                     GetLastError());
        return 2;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    int wargc = 0;
    wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    for (int i = 1; wargv && i < wargc; ++i)
        if (wcsncmp(wargv[i], L"--dpi=", 6) == 0)
            return runAtDpi(static_cast<DWORD>(_wtoi(wargv[i] + 6)), wargc, wargv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
