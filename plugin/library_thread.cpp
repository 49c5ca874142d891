#include "library_thread.h"

#include <new>

namespace {

struct Start {
    std::atomic<bool>* running;
    void (*work)(void*);
    void* arg;
    HMODULE module;
};

}  // namespace

DWORD WINAPI LibraryThread::threadMain(void* param) {
    const Start start = *static_cast<Start*>(param);
    delete static_cast<Start*>(param);
    start.work(start.arg);
    *start.running = false;
    // Gives the library back without returning into it.
    FreeLibraryAndExitThread(start.module, 0);
}

bool LibraryThread::start(void (*work)(void*), void* arg) {
    PluginLockGuard guard(lock_);
    if (running_) return false;
    if (thread_) CloseHandle(thread_);
    thread_ = nullptr;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&LibraryThread::threadMain), &module))
        return false;
    auto* s = new (std::nothrow) Start{&running_, work, arg, module};
    if (!s) {
        FreeLibrary(module);
        return false;
    }
    running_ = true;
    thread_ = CreateThread(nullptr, 0, &LibraryThread::threadMain, s, 0, nullptr);
    if (!thread_) {
        running_ = false;
        delete s;
        FreeLibrary(module);
        return false;
    }
    return true;
}

HANDLE LibraryThread::take() {
    PluginLockGuard guard(lock_);
    HANDLE thread = thread_;
    thread_ = nullptr;
    return thread;
}
