#include "plugin_dll.h"

#include <utility>

#include "host_model.h"

namespace hostsim {

namespace {

// Resolves "ts3plugin_<name>" into `slot`; an absent export is listed in
// `missing` when the loaded level must have it.
template <typename T>
void resolve(HMODULE module, const char* name, T* slot, bool required,
             std::vector<std::string>* missing) {
    std::string full = std::string("ts3plugin_") + name;
    FARPROC p = GetProcAddress(module, full.c_str());
    *slot = reinterpret_cast<T>(reinterpret_cast<void*>(p));
    if (!p && required) missing->push_back(full);
}

}  // namespace

PluginDll& PluginDll::operator=(PluginDll&& other) noexcept {
    if (this != &other) {
        unload();
#define HOSTSIM_MOVE_EXPORT(member, type) member = std::exchange(other.member, nullptr);
#define HOSTSIM_MOVE_EXPORT26(member, name, type) member = std::exchange(other.member, nullptr);
        HOSTSIM_SHARED_EXPORTS(HOSTSIM_MOVE_EXPORT)
        HOSTSIM_API8_EXPORTS(HOSTSIM_MOVE_EXPORT)
        HOSTSIM_API26_EXPORTS(HOSTSIM_MOVE_EXPORT26)
        HOSTSIM_API26_OPTIONAL_EXPORTS(HOSTSIM_MOVE_EXPORT)
#undef HOSTSIM_MOVE_EXPORT
#undef HOSTSIM_MOVE_EXPORT26
        module_ = std::exchange(other.module_, nullptr);
        api_ = other.api_;
        loadError_ = other.loadError_;
        path_ = std::move(other.path_);
        missing_ = std::move(other.missing_);
    }
    return *this;
}

const std::vector<std::string>& PluginDll::exportNames(int api) {
#define HOSTSIM_EXPORT_NAME(member, type) "ts3plugin_" #member,
#define HOSTSIM_EXPORT_NAME26(member, name, type) "ts3plugin_" #name,
    static const std::vector<std::string> api8 = {
        HOSTSIM_SHARED_EXPORTS(HOSTSIM_EXPORT_NAME) HOSTSIM_API8_EXPORTS(HOSTSIM_EXPORT_NAME)};
    static const std::vector<std::string> api26 = {
        HOSTSIM_SHARED_EXPORTS(HOSTSIM_EXPORT_NAME) HOSTSIM_API26_EXPORTS(HOSTSIM_EXPORT_NAME26)};
#undef HOSTSIM_EXPORT_NAME
#undef HOSTSIM_EXPORT_NAME26
    return api == 26 ? api26 : api8;
}

bool PluginDll::load(const std::wstring& path, int api) {
    unload();
    path_ = path;
    api_ = api;
    module_ = LoadLibraryW(path.c_str());
    if (!module_) {
        loadError_ = GetLastError();
        return false;
    }
    loadError_ = 0;
    if (api == 0) {
        // As the host does: the level is what the library says it is.
        int (*level)() = nullptr;
        resolve(module_, "apiVersion", &level, false, &missing_);
        api_ = level && level() == 26 ? 26 : 8;
    }
    const bool is8 = api_ != 26;
#define HOSTSIM_RESOLVE_EXPORT(member, type) resolve(module_, #member, &member, true, &missing_);
#define HOSTSIM_RESOLVE_EXPORT8(member, type) resolve(module_, #member, &member, is8, &missing_);
#define HOSTSIM_RESOLVE_EXPORT26(member, name, type) \
    resolve(module_, #name, &member, !is8, &missing_);
    HOSTSIM_SHARED_EXPORTS(HOSTSIM_RESOLVE_EXPORT)
    HOSTSIM_API8_EXPORTS(HOSTSIM_RESOLVE_EXPORT8)
    HOSTSIM_API26_EXPORTS(HOSTSIM_RESOLVE_EXPORT26)
#define HOSTSIM_RESOLVE_OPTIONAL(member, type) resolve(module_, #member, &member, false, &missing_);
    HOSTSIM_API26_OPTIONAL_EXPORTS(HOSTSIM_RESOLVE_OPTIONAL)
#undef HOSTSIM_RESOLVE_OPTIONAL
#undef HOSTSIM_RESOLVE_EXPORT
#undef HOSTSIM_RESOLVE_EXPORT8
#undef HOSTSIM_RESOLVE_EXPORT26
    // The two levels share export names with different signatures; the
    // pointers of the level not loaded must not be callable.
    if (is8) {
        setFunctionPointers26 = nullptr;
        onUpdateClientEvent26 = nullptr;
        onServerErrorEvent26 = nullptr;
        // An API-8 client has no plugin menus or hotkeys.
#define HOSTSIM_CLEAR_OPTIONAL(member, type) member = nullptr;
        HOSTSIM_API26_OPTIONAL_EXPORTS(HOSTSIM_CLEAR_OPTIONAL)
#undef HOSTSIM_CLEAR_OPTIONAL
    } else {
        setFunctionPointers = nullptr;
        onUpdateClientEvent = nullptr;
        onServerErrorEvent = nullptr;
    }
    return true;
}

void PluginDll::setHostTable() {
    if (api_ == 26)
        setFunctionPointers26(HostModel::table26());
    else
        setFunctionPointers(HostModel::table());
}

void PluginDll::registerId(const char* id) {
    if (api_ == 26)
        registerPluginID(id);
    else
        registerPluginCommandID(id);
}

void PluginDll::updateClient(uint64 connection, anyID client) {
    if (api_ == 26)
        onUpdateClientEvent26(connection, client, client, "", "");
    else
        onUpdateClientEvent(connection, client);
}

void PluginDll::clearPointers() {
#define HOSTSIM_CLEAR_EXPORT(member, type) member = nullptr;
#define HOSTSIM_CLEAR_EXPORT26(member, name, type) member = nullptr;
    HOSTSIM_SHARED_EXPORTS(HOSTSIM_CLEAR_EXPORT)
    HOSTSIM_API8_EXPORTS(HOSTSIM_CLEAR_EXPORT)
    HOSTSIM_API26_EXPORTS(HOSTSIM_CLEAR_EXPORT26)
    HOSTSIM_API26_OPTIONAL_EXPORTS(HOSTSIM_CLEAR_EXPORT)
#undef HOSTSIM_CLEAR_EXPORT
#undef HOSTSIM_CLEAR_EXPORT26
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
