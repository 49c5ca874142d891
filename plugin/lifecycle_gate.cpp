#include "lifecycle_gate.h"

#include <atomic>

#include "message_pump.h"
#include "plugin_lock.h"
#include "wait_limits.h"

namespace {

PluginLock gateLock;
bool closed = false;
unsigned inside = 0;
std::atomic<unsigned> session{0};

}  // namespace

UserCall::UserCall() {
    PluginLockGuard guard(gateLock);
    admitted_ = !closed;
    if (admitted_) ++inside;
}

UserCall::~UserCall() {
    if (!admitted_) return;
    PluginLockGuard guard(gateLock);
    --inside;
}

void openUserCalls() {
    PluginLockGuard guard(gateLock);
    closed = false;
}

bool closeUserCalls(DWORD timeoutMs) {
    {
        PluginLockGuard guard(gateLock);
        closed = true;
    }
    return bounded::waitUntil(
        [] {
            PluginLockGuard guard(gateLock);
            return inside == 0;
        },
        timeoutMs, waits::kPollMs);
}

unsigned pluginSession() { return session.load(); }

void endPluginSession() { ++session; }
