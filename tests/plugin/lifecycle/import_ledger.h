#pragma once
// Watches what the plugin DLL acquires and releases by patching its import
// table: named kernel objects, mapped views, window DCs and windows. A load
// and init followed by shutdown and unload must leave nothing behind. Also
// lets a test make the n-th MapViewOfFile fail, which no name clash can.
#include <windows.h>

#include <string>
#include <vector>

namespace ledger {

// Patches the DLL's imports; call after every LoadLibrary of it.
void attach(HMODULE dll);
// Forgets everything recorded and every planned failure.
void reset();
// One line per object acquired and not released since reset().
std::vector<std::string> outstanding();
// Makes the n-th MapViewOfFile from now on fail with ERROR_NOT_ENOUGH_MEMORY.
void failMapView(int nth);
// How many GetDC the DLL made since reset().
int dcsTaken();

}  // namespace ledger
