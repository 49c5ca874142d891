#pragma once
// The one place that touches HKCU\Software\Talvori.
#include <windows.h>

#include "unique_handle.h"

namespace registry {

inline constexpr wchar_t kKeyPath[] = L"Software\\Talvori";

// Opens the key for reading; when it does not exist prints the create line
// and creates it. The result is empty when neither works; `error` then holds
// the reason.
UniqueRegKey openForRead(LONG* error);

// Opens the existing key with full access (empty when it cannot).
UniqueRegKey openForWrite();

// Reads a REG_BINARY-style value into `record` of `size` bytes. A value
// longer than `size` fails with ERROR_MORE_DATA and leaves `record` as it
// was; a shorter one overlays only its own leading bytes. Returns the
// Win32 error (ERROR_SUCCESS on success).
LONG readRecord(HKEY key, const wchar_t* name, void* record, DWORD size);

// Reads exactly the first `size` bytes of a REG_BINARY value that holds at
// least that many (a newer program may have extended it behind them).
// Another type or a shorter value fails with ERROR_INVALID_DATA and leaves
// `record` as it was.
LONG readRecordPrefix(HKEY key, const wchar_t* name, void* record, DWORD size);

// Writes `size` bytes as a REG_BINARY value.
LONG writeRecord(HKEY key, const wchar_t* name, const void* record, DWORD size);

}  // namespace registry
