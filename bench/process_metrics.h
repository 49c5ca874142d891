#pragma once
// What another process holds: memory, handles, GDI and USER objects, as the
// Windows API reports them and, where Wine answers 0, a stand-in that Wine
// does fill in.
#include <windows.h>

#include <cstddef>
#include <string>

namespace bench {

struct ProcessMetrics {
    // GetProcessMemoryInfo. Wine leaves PrivateUsage at 0; its PagefileUsage
    // (the process's anonymous resident memory plus swap) is what Windows
    // calls private bytes too.
    size_t privateUsage = 0;
    size_t pagefileUsage = 0;
    size_t workingSet = 0;
    // GetProcessHandleCount; Wine 8 answers 0. Stand-in: the HandleCount
    // that NtQuerySystemInformation(SystemProcessInformation) reports.
    unsigned long handlesApi = 0;
    long handlesSystem = -1;  // -1: not found
    // GetGuiResources; Wine 8 answers 0 for both. Stand-ins: the live, not
    // stock entries of the process's GDI handle table (read through its PEB),
    // and the process's windows, top-level and child.
    unsigned long gdiApi = 0;
    unsigned long userApi = 0;
    long gdiTable = -1;  // -1: not readable
    long windows = 0;
};

// `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
ProcessMetrics sampleProcess(HANDLE process, DWORD processId);

// Kernel + user time of the process so far, in milliseconds.
double cpuMilliseconds(HANDLE process);

}  // namespace bench
