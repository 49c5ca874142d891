#pragma once
// Windows and dialogs of a DLL, themed whatever the host program's manifest
// says: the DLL's own manifest (resource 2, naming Common Controls 6) made
// the active activation context while they are created. For a program's
// own module, which has none, the scope does nothing: its manifest
// (resource 1) is the process's default context already.
#include <windows.h>

#include "non_copyable.h"

class ModuleContextScope : NonCopyable {
public:
    explicit ModuleContextScope(HMODULE module);
    ~ModuleContextScope();
    bool active() const { return cookie_ != 0; }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

// Where a DLL keeps the manifest the loader and this scope read.
inline constexpr WORD kModuleManifestId = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
