#pragma once
// The door for host calls that act for the user: menu entries, hotkeys, chat
// verbs and configure. Init opens it; shutdown closes it first, so that
// whatever arrives once shutdown has begun is refused quietly (no window is
// created, no thread started that nobody would wait for), and waits for the
// calls already inside.
#include <windows.h>

#include "non_copyable.h"

class UserCall : NonCopyable {
public:
    UserCall();
    ~UserCall();
    // False: the plugin is stopping or stopped; do nothing.
    explicit operator bool() const { return admitted_; }

private:
    bool admitted_;
};

void openUserCalls();
// Refuses every later call, then waits up to `timeoutMs` (answering sent
// messages only) for the ones inside to return. True when none is left.
bool closeUserCalls(DWORD timeoutMs);
// Counts shutdowns: work that outlived one (shutdown's waits are bounded)
// checks it before it acts, so that it never changes a later session.
unsigned pluginSession();
void endPluginSession();  // the last step of shutdown
