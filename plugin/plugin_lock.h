#pragma once
// A short-held exclusive lock for plugin state that host threads share.
//
// Rules for every user: hold it only around work on the guarded data; never
// while calling the host (a host may hold its own locks while it delivers an
// event to us on another thread) and never while sending a window message
// (the receiving window's thread may need the same lock to paint).
#include <windows.h>

#include "non_copyable.h"

class PluginLock : NonCopyable {
public:
    constexpr PluginLock() = default;

    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    // For data many threads use at once and one thread now and then replaces.
    void lockShared() { AcquireSRWLockShared(&lock_); }
    void unlockShared() { ReleaseSRWLockShared(&lock_); }

private:
    // Statically initialised: usable during load-time construction, and
    // nothing to release at unload.
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class PluginLockGuard : NonCopyable {
public:
    explicit PluginLockGuard(PluginLock& lock) : lock_(lock) { lock_.lock(); }
    ~PluginLockGuard() { lock_.unlock(); }

private:
    PluginLock& lock_;
};

class PluginSharedLockGuard : NonCopyable {
public:
    explicit PluginSharedLockGuard(PluginLock& lock) : lock_(lock) { lock_.lockShared(); }
    ~PluginSharedLockGuard() { lock_.unlockShared(); }

private:
    PluginLock& lock_;
};
