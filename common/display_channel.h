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

// Copies `count` units of `text` (terminator included) into the area under
// the mutex and stores a terminator at unit count - 1. The count is also
// bounded by the area's capacity and the copy stops at the text's own
// terminator, so neither side is ever overrun.
void writeSharedText(HANDLE mutex, SharedArea area, const wchar_t* text, unsigned count);

// Length of the text in an area another process may have filled: never
// reads past `capacity` units, whether or not a terminator is there.
size_t boundedLength(const wchar_t* area, unsigned capacity);

// The count every writer uses: length + 1, capped at the capacity.
unsigned sharedCount(const wchar_t* text, unsigned capacity);
