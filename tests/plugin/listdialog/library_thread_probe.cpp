// A library of its own holding a LibraryThread, as the plugin does: the
// reference the thread holds is all that keeps this code mapped once the
// host has freed the library.
#include <windows.h>

#include "library_thread.h"

namespace {

LibraryThread worker;

void waitThenReturn(void* release) {
    WaitForSingleObject(static_cast<HANDLE>(release), INFINITE);
}

}  // namespace

extern "C" __declspec(dllexport) int probeStart(HANDLE release) {
    return worker.start(waitThenReturn, release) ? 1 : 0;
}
