#pragma once
// A short-held exclusive lock for plugin state that host threads share.
//
// Rules for every user: hold it only around work on the guarded data; never
// while calling the host (a host may hold its own locks while it delivers an
// event to us on another thread) and never while sending a window message
// (the receiving window's thread may need the same lock to paint).
#include <windows.h>

class PluginLock {
public:
    constexpr PluginLock() = default;
    PluginLock(const PluginLock&) = delete;
    PluginLock& operator=(const PluginLock&) = delete;

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

class PluginLockGuard {
public:
    explicit PluginLockGuard(PluginLock& lock) : lock_(lock) { lock_.lock(); }
    ~PluginLockGuard() { lock_.unlock(); }
    PluginLockGuard(const PluginLockGuard&) = delete;
    PluginLockGuard& operator=(const PluginLockGuard&) = delete;

private:
    PluginLock& lock_;
};

class PluginSharedLockGuard {
public:
    explicit PluginSharedLockGuard(PluginLock& lock) : lock_(lock) { lock_.lockShared(); }
    ~PluginSharedLockGuard() { lock_.unlockShared(); }
    PluginSharedLockGuard(const PluginSharedLockGuard&) = delete;
    PluginSharedLockGuard& operator=(const PluginSharedLockGuard&) = delete;

private:
    PluginLock& lock_;
};
