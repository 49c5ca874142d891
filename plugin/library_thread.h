#pragma once
// A thread of the plugin's own for a dialog the user keeps open as long as
// they like. It holds a reference on the library while it runs and gives it
// back as it ends: an unload meanwhile leaves the code in place until then.
#include <windows.h>

#include <atomic>

#include "plugin_lock.h"
#include "non_copyable.h"

class LibraryThread : NonCopyable {
public:
    constexpr LibraryThread() = default;

    // Runs work(arg) on a new thread, unless the work started last is still
    // running. A thread whose work has returned no longer counts, even if it
    // has not ended yet: a dialog the user has just closed reopens at once.
    bool start(void (*work)(void*), void* arg);
    bool busy() const { return running_; }
    // The handle of the thread started last, or nullptr, for the caller to
    // wait on and close. A thread started earlier needs no wait: all it has
    // left to do is give its reference back.
    HANDLE take();

private:
    static DWORD WINAPI threadMain(void* start);

    PluginLock lock_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> running_{false};
};
