#include "display_channel.h"

#include <cwchar>

unsigned copyBoundedText(wchar_t* to, unsigned room, const wchar_t* from, unsigned most) {
    if (room == 0) return 0;
    unsigned n = 0;
    if (from)
        for (; n < most && n + 1 < room && from[n] != L'\0'; ++n) to[n] = from[n];
    to[n] = L'\0';
    return n;
}

void copySharedText(SharedArea area, const wchar_t* text, unsigned count) {
    if (!area.text || area.capacity == 0 || count == 0) return;
    copyBoundedText(area.text, count < area.capacity ? count : area.capacity, text, count);
}

void writeSharedText(HANDLE mutex, SharedArea area, const wchar_t* text, unsigned count) {
    if (!area.text || area.capacity == 0 || count == 0) return;
    if (mutex) WaitForSingleObject(mutex, INFINITE);
    copySharedText(area, text, count);
    if (mutex) ReleaseMutex(mutex);
}

void startActivityLog(ActivityLog* log) {
    if (!log) return;
    log->magic = channel::kActivityLogMagic;
    log->version = channel::kActivityLogVersion;
    log->lineCount = channel::kActivityLogLines;
}

bool activityLogUsable(const ActivityLog* log) {
    return log && log->magic == channel::kActivityLogMagic && log->version == channel::kActivityLogVersion &&
           log->lineCount == channel::kActivityLogLines;
}

void appendActivityLog(ActivityLog* log, DWORD kind, const wchar_t* text) {
    if (!log) return;
    const DWORD n = log->newest + 1;
    ActivityLogEntry& entry = log->entries[n % channel::kActivityLogLines];
    entry.kind = kind;
    copySharedText(SharedArea{entry.text, channel::kActivityUnits}, text ? text : L"",
                   sharedCount(text ? text : L"", channel::kActivityUnits));
    log->newest = n;
}

size_t boundedLength(const wchar_t* area, unsigned capacity) {
    if (!area) return 0;
    size_t n = 0;
    while (n < capacity && area[n] != L'\0') ++n;
    return n;
}

unsigned sharedCount(const wchar_t* text, unsigned capacity) {
    size_t n = text ? wcslen(text) + 1 : 1;
    return n >= capacity ? capacity : static_cast<unsigned>(n);
}
