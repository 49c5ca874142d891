#pragma once
// The one way a plugin call waits on something outside it: bounded, and
// answering only the messages other threads send to this thread's windows
// (a List Channel window of this thread must keep answering the configure
// thread). The thread's posted, timer and input messages stay in its queue
// for its own loop: the client's messages never run inside a plugin call.
#include <windows.h>

#include "non_copyable.h"

namespace bounded {

// Runs the messages other threads have sent to this thread, nothing else.
inline void answerSentMessages() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// Waits until `object` is signalled or `timeoutMs` has passed. True when
// it was signalled (a null object never is).
inline bool waitFor(HANDLE object, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    const DWORD count = object ? 1 : 0;
    for (;;) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= timeoutMs) return object && WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        const DWORD woke = MsgWaitForMultipleObjects(
            count, object ? &object : nullptr, FALSE, static_cast<DWORD>(timeoutMs - elapsed),
            QS_SENDMESSAGE);
        if (object && woke == WAIT_OBJECT_0) return true;
        if (woke == WAIT_FAILED) return false;
        answerSentMessages();
    }
}

// Waits until done() holds or `timeoutMs` has passed, looking every few
// milliseconds. True when done.
template <typename Done>
bool waitUntil(Done done, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_SENDMESSAGE);
        answerSentMessages();
    }
}

}  // namespace bounded

// Kept for callers of the earlier pump: drain() now answers sent messages
// only, as every wait of the plugin does.
class MessagePump : NonCopyable {
public:
    MessagePump() = default;
    void drain() { bounded::answerSentMessages(); }
};
