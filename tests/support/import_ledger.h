#pragma once
// Watches what the plugin DLL acquires and releases by patching its import
// table: named kernel objects, mapped views, window DCs, brushes, windows and
// window classes. A load and init followed by shutdown and unload must leave
// nothing behind. Also lets a test make the n-th MapViewOfFile fail, which no
// name clash can.
//
// Where the platform's own counters say nothing (Wine answers 0 for
// GetProcessHandleCount and GetGuiResources), this is the count to trust.
// Only calls made after attach() are seen: what the DLL's entry point does
// at load time happens before its imports can be patched.
#include <windows.h>

#include <string>
#include <vector>

namespace ledger {

// What is held, by the kind of resource the platform would count it as.
struct Counts {
    int handles = 0;  // kernel handles: mutexes, mappings
    int views = 0;    // mapped views (address space, not handles)
    int gdi = 0;      // device contexts, brushes
    int user = 0;     // windows, window classes
};

// Patches the DLL's imports; call after every LoadLibrary of it.
void attach(HMODULE dll);
// Forgets everything recorded and every planned failure.
void reset();
// One line per object acquired and not released since reset().
std::vector<std::string> outstanding();
// Makes the n-th MapViewOfFile from now on fail with ERROR_NOT_ENOUGH_MEMORY.
void failMapView(int nth);
// How many DCs the DLL took (GetDC, CreateCompatibleDC) since reset().
int dcsTaken();
// How many ReleaseMutex the DLL made since reset().
int mutexReleases();
// How many times a thread of the DLL called Sleep since reset().
int sleeps();
// Objects acquired and not released since reset(), by kind.
Counts held();

// The C runtime's heap as the DLL uses it (malloc, calloc, realloc, _strdup,
// free): blocks and bytes it allocated since reset() and has not freed.
// Kept apart from outstanding(): a running plugin rightly holds memory that
// only its unload gives back.
struct HeapCounts {
    long blocks = 0;
    long long bytes = 0;
};
HeapCounts heapHeld();
// Everything the DLL allocated since reset().
HeapCounts heapAllocated();
// Everything acquired since reset(), by kind, whether released or not.
Counts acquiredTotal();

}  // namespace ledger
