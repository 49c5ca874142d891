#pragma once
// The channel between the plugin and the overlay program: two named shared
// text areas, the mutex guarding them and the private window message.
#include <windows.h>
#include <cstddef>

namespace channel {

inline constexpr wchar_t kSpeakerAreaName[] = L"Local\\TALVORIMappingObject";
inline constexpr wchar_t kActivityAreaName[] = L"Local\\TALVORIMOControl";
inline constexpr wchar_t kMutexName[] = L"Local\\TALVORIMUTEX";
inline constexpr char kWindowTitleA[] = "TALVORI";
inline constexpr wchar_t kWindowTitle[] = L"TALVORI";
inline constexpr wchar_t kWindowClass[] = L"TALVORI_CLASS";

// Capacities in UTF-16 units, terminator included.
inline constexpr unsigned kSpeakerUnits = 256;
inline constexpr unsigned kActivityUnits = 128;
inline constexpr DWORD kSpeakerBytes = kSpeakerUnits * sizeof(wchar_t);    // 512
inline constexpr DWORD kActivityBytes = kActivityUnits * sizeof(wchar_t);  // 256

// The activity log: every line the plugin posts, numbered, so that lines
// written faster than the overlay copies them are neither lost nor shown
// twice. A third area beside the two above, which keep their layout: an
// older overlay program goes on reading the newest line from the activity
// area, and a newer overlay program without this area uses that slot alone.
inline constexpr wchar_t kActivityLogName[] = L"Local\\TALVORIActivityLog";
inline constexpr DWORD kActivityLogMagic = 0x474C4154;  // "TALG"
inline constexpr DWORD kActivityLogVersion = 1;
inline constexpr unsigned kActivityLogLines = 32;

inline constexpr DWORD kMapAllAccess = 0xF001F;  // FILE_MAP_ALL_ACCESS
inline constexpr DWORD kMutexOpenAccess = 0x100000;  // SYNCHRONIZE only

}  // namespace channel

inline constexpr UINT DISPLAY_MESSAGE = WM_USER + 1;

enum DisplayCode : WPARAM {
    DISPLAY_QUIT = 0,
    DISPLAY_SPEAKERS_CHANGED = 1,
    DISPLAY_ACTIVITY_POSTED = 2,
    DISPLAY_ACTIVITY_CLEAR = 3,
    DISPLAY_OPEN_SETTINGS = 4,
    // The "Playing" registry value changed: read it again and apply it.
    // An older overlay program answers unknown codes with 0 and ignores them.
    DISPLAY_PLAY_CHANGED = 5,
};

// A mapped text area and how many UTF-16 units it holds.
struct SharedArea {
    wchar_t* text = nullptr;
    unsigned capacity = 0;
};

// One entry of the activity log: a line to show, or the point where the
// plugin cleared the overlay's queue.
inline constexpr DWORD kLogEntryLine = 1;
inline constexpr DWORD kLogEntryClear = 2;
struct ActivityLogEntry {
    DWORD kind;
    wchar_t text[channel::kActivityUnits];
};
// Both programs map this layout, one 32-bit and one 64-bit: fixed-size
// members only. Entry n (n = 1, 2, ...) lives at entries[n % lineCount];
// `newest` is the number of the latest entry, 0 before the first.
struct ActivityLog {
    DWORD magic;
    DWORD version;
    DWORD lineCount;
    DWORD newest;
    ActivityLogEntry entries[channel::kActivityLogLines];
};
static_assert(sizeof(ActivityLogEntry) == 4 + 2 * channel::kActivityUnits, "shared layout");
static_assert(sizeof(ActivityLog) == 16 + channel::kActivityLogLines * sizeof(ActivityLogEntry),
              "shared layout");
inline constexpr DWORD kActivityLogBytes = sizeof(ActivityLog);

// Writer's side, with the mutex held: stamps the header of a fresh log.
void startActivityLog(ActivityLog* log);
// Writer's side, with the mutex held: adds one entry after the newest.
void appendActivityLog(ActivityLog* log, DWORD kind, const wchar_t* text);
// True when the header is the one this build writes.
bool activityLogUsable(const ActivityLog* log);

// Reader's side, without the mutex: the number of the newest entry. The
// writer moves it in one aligned 32-bit store once the entry is in place,
// so it reads whole; the entries themselves are read under the mutex.
inline DWORD newestActivityEntry(const ActivityLog* log) {
    const volatile DWORD* newest = &log->newest;
    return *newest;
}

// Reader's side, with the mutex held: hands every entry newer than `seen`
// to `take` (kind, text, length) in order and moves `seen` to the newest.
// A reader further behind than the log holds gets the newest lineCount
// entries; whatever the header or the entries hold, nothing outside the
// log is read.
template <typename Take>
void readActivityLog(const ActivityLog* log, DWORD& seen, Take take);

// Copies `count` units of `text` (terminator included) into the area under
// the mutex and stores a terminator at unit count - 1. The count is also
// bounded by the area's capacity and the copy stops at the text's own
// terminator, so neither side is ever overrun.
void writeSharedText(HANDLE mutex, SharedArea area, const wchar_t* text, unsigned count);
// The same copy for a caller that holds the mutex already (or needs none).
void copySharedText(SharedArea area, const wchar_t* text, unsigned count);

// The one bounded copy of UTF-16 text: at most `most` units of `from`, and
// never more than `room` - 1, stopping at its terminator; `to` is always
// terminated (room > 0). A null `from` copies as "". Returns the units copied.
unsigned copyBoundedText(wchar_t* to, unsigned room, const wchar_t* from, unsigned most);

// Length of the text in an area another process may have filled: never
// reads past `capacity` units, whether or not a terminator is there.
size_t boundedLength(const wchar_t* area, unsigned capacity);

// The count every writer uses: length + 1, capped at the capacity.
unsigned sharedCount(const wchar_t* text, unsigned capacity);

template <typename Take>
void readActivityLog(const ActivityLog* log, DWORD& seen, Take take) {
    constexpr DWORD kLines = channel::kActivityLogLines;
    const DWORD newest = log->newest;
    DWORD behind = newest - seen;  // modulo 2^32, so a wrapped count still works
    if (behind > kLines) behind = kLines;
    for (DWORD n = newest - behind + 1; behind != 0; --behind, ++n) {
        const ActivityLogEntry& entry = log->entries[n % kLines];
        const DWORD kind = entry.kind;
        take(kind, entry.text, boundedLength(entry.text, channel::kActivityUnits));
    }
    seen = newest;
}
