#include "process_metrics.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

namespace bench {

namespace {

using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

template <typename T>
T ntdll(const char* name) {
    HMODULE module = GetModuleHandleW(L"ntdll.dll");
    return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

long systemHandleCount(DWORD processId) {
    auto query = ntdll<QuerySystemInformation>("NtQuerySystemInformation");
    if (!query) return -1;
    std::vector<BYTE> buffer(1 << 16);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = query(SystemProcessInformation, buffer.data(),
                                      static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) break;
        if (attempt == 7) return -1;
        buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
    }
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(&buffer[offset]);
        if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == processId)
            return static_cast<long>(entry->HandleCount);
        if (!entry->NextEntryOffset) return -1;
        offset += entry->NextEntryOffset;
        if (offset + sizeof(SYSTEM_PROCESS_INFORMATION) > buffer.size()) return -1;
    }
}

// Wine keeps each process's GDI objects in a table of its own, published
// through PEB.GdiSharedHandleTable as Windows does; an entry is live while
// its type byte is non-zero, and the top bit of its next-to-last header byte
// marks the stock objects every process has. (On Windows the table is shared
// by the whole session, so this reading is meant for Wine only.)
long gdiTableObjects(HANDLE process) {
#ifdef _WIN64
    constexpr size_t kPebGdiTable = 0xF8;  // PEB64.GdiSharedHandleTable
    constexpr size_t kEntryBytes = 24;
    constexpr size_t kTypeOffset = 14;
    constexpr size_t kStockOffset = 12;
    constexpr size_t kEntries = 0x10000;
    constexpr size_t kChunk = 0x1000;
    auto query = ntdll<QueryInformationProcess>("NtQueryInformationProcess");
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG got = 0;
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, &got) != 0 ||
        !basic.PebBaseAddress)
        return -1;
    ULONG_PTR table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) +
                                        kPebGdiTable,
                           &table, sizeof table, &read) ||
        !table)
        return -1;
    std::vector<BYTE> chunk(kChunk * kEntryBytes);
    long live = 0;
    for (size_t first = 0; first < kEntries; first += kChunk) {
        if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table + first * kEntryBytes),
                               chunk.data(), chunk.size(), &read) ||
            read != chunk.size())
            break;  // the table may be shorter than Windows' maximum
        for (size_t i = 0; i < kChunk; ++i) {
            const BYTE* entry = &chunk[i * kEntryBytes];
            if (entry[kTypeOffset] != 0 && !(entry[kStockOffset] & 0x80)) ++live;
        }
    }
    return live;
#else
    (void)process;
    return -1;
#endif
}

struct WindowCount {
    DWORD processId;
    long count;
};

BOOL CALLBACK countChild(HWND window, LPARAM param) {
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == c->processId) ++c->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM param) {
    countChild(window, param);
    EnumChildWindows(window, countChild, param);  // every descendant, not only direct children
    return TRUE;
}

double milliseconds(const FILETIME& t) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 10000.0;  // 100-ns units
}

}  // namespace

ProcessMetrics sampleProcess(HANDLE process, DWORD processId) {
    ProcessMetrics m;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        m.privateUsage = memory.PrivateUsage;
        m.pagefileUsage = memory.PagefileUsage;
        m.workingSet = memory.WorkingSetSize;
    }
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles)) m.handlesApi = handles;
    m.handlesSystem = systemHandleCount(processId);
    m.gdiApi = GetGuiResources(process, GR_GDIOBJECTS);
    m.userApi = GetGuiResources(process, GR_USEROBJECTS);
    m.gdiTable = gdiTableObjects(process);
    WindowCount windows{processId, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&windows));
    m.windows = windows.count;
    return m;
}

double cpuMilliseconds(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
    return milliseconds(kernel) + milliseconds(user);
}

}  // namespace bench
