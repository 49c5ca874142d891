#pragma once
// Dialog templates and message texts in the user's UI language. Both
// programs carry English and French; the loader is told which one to take
// rather than left to its own default, which under some loaders follows the
// thread locale instead of the UI language.
#include <windows.h>

// French when the thread's UI language is French, English otherwise.
LANGID uiLanguage();

// Runs dialog `id` of `module` modally in `language`; a template missing in
// that language falls back to whichever one the module has. -1 when there
// is no template at all.
INT_PTR runDialogInLanguage(HINSTANCE module, int id, LANGID language, HWND owner, DLGPROC proc,
                            LPARAM param);

// Copies string `id` in `language` into `buffer` (at most units − 1 units and
// a terminator); falls back to LoadStringW when that language lacks it.
// Returns the number of units copied.
int loadStringInLanguage(HINSTANCE module, UINT id, LANGID language, wchar_t* buffer, int units);

// Registers the trackbar and up-down classes the settings dialogs use; once
// per process.
void initDialogControls();
