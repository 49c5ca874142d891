// Both settings dialogs run on threads of the plugin's own: one at a time,
// and one the user has just closed opens again at the next click.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cwchar>

#include "dialog_driver.h"
#include "library_thread.h"

namespace {

std::atomic<DWORD> workerId{0};

void waitForRelease(void* event) {
    workerId = GetCurrentThreadId();
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
}

void doNothing(void*) {}

// The loader's lock: a thread giving its reference on the library back
// needs it, so holding it keeps a thread whose work has returned alive.
class LoaderLock {
public:
    LoaderLock() {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        lock_ = reinterpret_cast<Lock>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrLockLoaderLock")));
        unlock_ = reinterpret_cast<Unlock>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
        held_ = lock_ && unlock_ && lock_(0, nullptr, &cookie_) == 0;
    }
    ~LoaderLock() {
        if (held_) unlock_(0, cookie_);
    }
    bool held() const { return held_; }

private:
    using Lock = LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*);
    using Unlock = LONG(NTAPI*)(ULONG, ULONG_PTR);
    Lock lock_ = nullptr;
    Unlock unlock_ = nullptr;
    ULONG_PTR cookie_ = 0;
    bool held_ = false;
};

TEST(LibraryThreadTest, OnlyRunningWorkRefusesAStartNotAThreadStillEnding) {
    LibraryThread thread;
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(thread.start(waitForRelease, release));
    ASSERT_TRUE(dialogs::waitUntil([] { return workerId != 0; }));
    HANDLE first = OpenThread(SYNCHRONIZE, FALSE, workerId);
    ASSERT_TRUE(first);
    EXPECT_FALSE(thread.start(doNothing, nullptr));

    bool startedBesideIt = false;
    {
        LoaderLock loader;
        ASSERT_TRUE(loader.held());
        SetEvent(release);
        EXPECT_TRUE(dialogs::waitUntil([&] { return !thread.busy(); }));
        const bool firstStillEnding = WaitForSingleObject(first, 0) == WAIT_TIMEOUT;
        startedBesideIt = thread.start(doNothing, nullptr);
        EXPECT_TRUE(firstStillEnding);
    }
    EXPECT_TRUE(startedBesideIt);

    HANDLE last = thread.take();
    ASSERT_TRUE(last);
    EXPECT_EQ(WaitForSingleObject(last, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(first, 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(thread.take());
    CloseHandle(last);
    CloseHandle(first);
    CloseHandle(release);
}

// The host frees the library while the thread's work still runs: the code
// stays mapped until the work has returned, and the library is gone once the
// thread has given its reference back.
TEST(LibraryThreadTest, AFreedLibraryStaysMappedUntilItsThreadHasEnded) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    ASSERT_NE(slash, nullptr);
    wcscpy_s(slash + 1, MAX_PATH - (slash + 1 - path), L"library_thread_probe.dll");

    HMODULE probe = LoadLibraryW(path);
    ASSERT_NE(probe, nullptr) << GetLastError();
    using Start = int (*)(HANDLE);
    auto start = reinterpret_cast<Start>(reinterpret_cast<void*>(GetProcAddress(probe, "probeStart")));
    ASSERT_NE(start, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(start(release), 1);

    FreeLibrary(probe);
    EXPECT_EQ(GetModuleHandleW(path), probe) << "freed while its thread still runs in it";
    SetEvent(release);
    EXPECT_TRUE(dialogs::waitUntil([&] { return GetModuleHandleW(path) == nullptr; }))
        << "the thread never gave the library back";
    CloseHandle(release);
}

}  // namespace
