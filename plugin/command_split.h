#pragma once
// Reading a chat command's words. Pure functions over a bounded buffer, so
// they can be exercised (and fuzzed) without a host.
#include <cstddef>
#include <cstdint>

// Where one word lies in the command text; length 0 = no such word.
struct CommandWord {
    size_t offset = 0;
    size_t length = 0;
    bool present() const { return length != 0; }
};

// Words are separated by blanks (0x20) only: runs of blanks count as one,
// leading and trailing blanks are dropped, tabs stay inside words. The
// first word is the verb, the second the first argument, and every later
// word in turn replaces the second argument, so the last one wins.
struct CommandWords {
    CommandWord verb;
    CommandWord first;
    CommandWord second;
    size_t count = 0;  // words seen
};

// Reads at most `size` bytes of `text` and stops earlier at a NUL.
CommandWords splitCommand(const char* text, size_t size);

// True when `word` of `text` is exactly `literal` (case-sensitive, whole).
bool wordIs(const char* text, const CommandWord& word, const char* literal);

// A decimal number as a 32-bit value: optional leading white space and
// sign, then digits; reading stops at the first other character or after
// `size` bytes; no digits give 0. Values beyond the 32-bit range saturate
// at its bounds, so an oversized number cannot wrap onto some other id.
int32_t readCommandNumber(const char* text, size_t size);
