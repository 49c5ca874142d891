#pragma once
// UTF-8 host strings into fixed buffers, never split and never overrun.

// Copies a UTF-8 string into a buffer of `bytes` bytes, cutting an overlong
// one at a character boundary so the buffer holds a terminated prefix.
void copyUtf8Bounded(char* buffer, unsigned bytes, const char* text);

// Converts UTF-8 to UTF-16 into `out` of `outUnits` units, always terminated.
// A string that does not fit is cut at a character boundary (a surrogate
// pair is never split); invalid UTF-8 shows each bad byte as U+FFFD.
// Returns the length in units.
int utf8ToWide(const char* utf8, wchar_t* out, int outUnits);
