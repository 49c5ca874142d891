#pragma once
// Names from the host (nicknames, channel and server names) as they may be
// drawn among other text. Windows draws a line with the bidirectional
// algorithm: a name holding an unclosed override or right-to-left letters
// would otherwise reverse or reorder whatever the line shows after it.
#include <cstddef>

// utf8ToWide, then made drawable: each control character (C0, DEL, C1,
// line and paragraph separators) and each lone surrogate becomes U+FFFD,
// and every explicit direction control but the left-to-right mark is left
// out (embeddings, overrides, isolates, the right-to-left and Arabic letter
// marks, the deprecated shaping controls): some renderers give them width
// when drawing and none when measuring, and an unclosed one turns the rest
// of the line around. Returns the length in units.
int nameToWide(const char* utf8, wchar_t* out, int outUnits);

// Writes at most maxCount units of a name from nameToWide into `out` (room
// units plus a terminator), a surrogate pair never cut, followed by a
// left-to-right mark when the name holds right-to-left letters or Arabic
// digits: without it, text after the name (the next right-to-left name, an
// arrow) would join the name's run and be drawn in front of it. The mark
// draws and measures zero pixels wide. Returns the units written;
// `endsWithBlank` says whether the last name unit kept is a blank.
size_t confineName(const wchar_t* name, size_t maxCount, wchar_t* out, size_t room,
                   bool* endsWithBlank = nullptr);

// appendWithBlank for a name: the piece confineName makes of its first
// maxCount units, then one blank unless the name's kept part ends with one.
void appendName(wchar_t* line, const wchar_t* name, size_t maxCount);
