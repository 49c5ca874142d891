#pragma once
// What the platform says a process holds: handles, GDI and USER objects,
// private and working-set memory. Wine answers 0 for the three object
// counts; the memory figures it does give, also for another process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace robust {

struct ProcessCounters {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    SIZE_T privateBytes = 0;  // PrivateUsage
    SIZE_T pagefile = 0;      // PagefileUsage: the commit charge
    SIZE_T workingSet = 0;

    std::string describe() const {
        char text[192];
        std::snprintf(text, sizeof text, "handles %lu, GDI %lu, USER %lu, private %lu KB, "
                      "pagefile %lu KB, working set %lu KB",
                      static_cast<unsigned long>(handles), static_cast<unsigned long>(gdi),
                      static_cast<unsigned long>(user),
                      static_cast<unsigned long>(privateBytes / 1024),
                      static_cast<unsigned long>(pagefile / 1024),
                      static_cast<unsigned long>(workingSet / 1024));
        return text;
    }
};

// `process` needs PROCESS_QUERY_INFORMATION (and PROCESS_VM_READ for the
// memory figures) when it is not this one.
inline ProcessCounters countersOf(HANDLE process) {
    ProcessCounters c;
    GetProcessHandleCount(process, &c.handles);
    c.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    c.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        c.privateBytes = memory.PrivateUsage;
        c.pagefile = memory.PagefileUsage;
        c.workingSet = memory.WorkingSetSize;
    }
    return c;
}

inline ProcessCounters countersNow() { return countersOf(GetCurrentProcess()); }

}  // namespace robust
