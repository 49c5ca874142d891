#include "plugin_dll.h"

#include <utility>

namespace hostsim {

namespace {

template <typename T>
void resolve(HMODULE module, const char* member, T* slot, std::vector<std::string>* missing) {
    std::string name = std::string("ts3plugin_") + member;
    FARPROC p = GetProcAddress(module, name.c_str());
    *slot = reinterpret_cast<T>(reinterpret_cast<void*>(p));
    if (!p) missing->push_back(name);
}

}  // namespace

PluginDll& PluginDll::operator=(PluginDll&& other) noexcept {
    if (this != &other) {
        unload();
#define HOSTSIM_MOVE_EXPORT(member, type) member = std::exchange(other.member, nullptr);
        HOSTSIM_PLUGIN_EXPORTS(HOSTSIM_MOVE_EXPORT)
#undef HOSTSIM_MOVE_EXPORT
        module_ = std::exchange(other.module_, nullptr);
        loadError_ = other.loadError_;
        path_ = std::move(other.path_);
        missing_ = std::move(other.missing_);
    }
    return *this;
}

const std::vector<std::string>& PluginDll::exportNames() {
    static const std::vector<std::string> names = {
#define HOSTSIM_EXPORT_NAME(member, type) "ts3plugin_" #member,
        HOSTSIM_PLUGIN_EXPORTS(HOSTSIM_EXPORT_NAME)
#undef HOSTSIM_EXPORT_NAME
    };
    return names;
}

bool PluginDll::load(const std::wstring& path) {
    unload();
    path_ = path;
    module_ = LoadLibraryW(path.c_str());
    if (!module_) {
        loadError_ = GetLastError();
        return false;
    }
    loadError_ = 0;
#define HOSTSIM_RESOLVE_EXPORT(member, type) resolve(module_, #member, &member, &missing_);
    HOSTSIM_PLUGIN_EXPORTS(HOSTSIM_RESOLVE_EXPORT)
#undef HOSTSIM_RESOLVE_EXPORT
    return true;
}

void PluginDll::clearPointers() {
#define HOSTSIM_CLEAR_EXPORT(member, type) member = nullptr;
    HOSTSIM_PLUGIN_EXPORTS(HOSTSIM_CLEAR_EXPORT)
#undef HOSTSIM_CLEAR_EXPORT
}

void PluginDll::unload() {
    clearPointers();
    missing_.clear();
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

}  // namespace hostsim
