// The tests rely on faults being reported as Windows reports them: the
// command fuzzing touches guard pages, and the plugin's readers are checked
// against no-access pages. Where 32-bit programs run under emulation, the
// emulator hands Wine no trap number and a library of the session's puts it
// back (scripts/emu32/trap_shim.c); this is the check that it did, on the
// exceptions a broken set-up gets wrong: an access violation with its
// address and kind, an integer division by zero, a guard page.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct Seen {
    DWORD code = 0;
    ULONG_PTR kind = ~ULONG_PTR{0};
    ULONG_PTR address = 0;
};
Seen seen;

void WINAPI endFaultingThread() { ExitThread(0); }

// The faulting thread ends where it faulted: no frame of the test is
// unwound, and the handler needs no knowledge of the instruction.
LONG CALLBACK onFault(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD* r = e->ExceptionRecord;
    seen.code = r->ExceptionCode;
    if (r->NumberParameters >= 2) {
        seen.kind = r->ExceptionInformation[0];
        seen.address = r->ExceptionInformation[1];
    }
#ifdef _WIN64
    e->ContextRecord->Rsp = (e->ContextRecord->Rsp & ~DWORD64{15}) - 8;
    e->ContextRecord->Rip = reinterpret_cast<DWORD64>(&endFaultingThread);
#else
    e->ContextRecord->Eip = reinterpret_cast<DWORD>(&endFaultingThread);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

Seen faultIn(LPTHREAD_START_ROUTINE body, void* arg) {
    seen = Seen{};
    PVOID handler = AddVectoredExceptionHandler(1, onFault);
    HANDLE thread = CreateThread(nullptr, 0, body, arg, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    RemoveVectoredExceptionHandler(handler);
    return seen;
}

volatile int divisor = 0;
// Held in a variable the compiler cannot see through.
int* volatile lowAddress = reinterpret_cast<int*>(0x10);

DWORD WINAPI writeLowAddress(void*) {
    *lowAddress = 1;
    return 0;
}
DWORD WINAPI divideByZero(void*) { return 5 / divisor; }
DWORD WINAPI touch(void* p) { return *static_cast<volatile char*>(p); }

TEST(FaultTraps, AreReportedAsWindowsReportsThem) {
    Seen write = faultIn(writeLowAddress, nullptr);
    EXPECT_EQ(write.code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(write.kind, 1u) << "a write";
    EXPECT_EQ(write.address, 0x10u);

    Seen divide = faultIn(divideByZero, nullptr);
    EXPECT_EQ(divide.code, static_cast<DWORD>(EXCEPTION_INT_DIVIDE_BY_ZERO));

    // A guard page raises once, then is an ordinary page.
    auto* page = static_cast<char*>(
        VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE | PAGE_GUARD));
    ASSERT_NE(page, nullptr);
    Seen guard = faultIn(touch, page);
    EXPECT_EQ(guard.code, static_cast<DWORD>(STATUS_GUARD_PAGE_VIOLATION));
    EXPECT_EQ(guard.address, reinterpret_cast<ULONG_PTR>(page));
    EXPECT_EQ(faultIn(touch, page).code, 0u);
    VirtualFree(page, 0, MEM_RELEASE);

    EXPECT_TRUE(IsBadReadPtr(nullptr, 1));
    EXPECT_TRUE(IsBadWritePtr(reinterpret_cast<void*>(&endFaultingThread), 1));
}

}  // namespace
