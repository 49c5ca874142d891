#pragma once
// The controls both settings dialogs share: tick boxes, the opacity thumb,
// the colour picker and the RESET question. One behaviour in both dialogs,
// so what a user learns in one holds in the other.
#include <windows.h>

#include <cstdint>

bool isTicked(HWND dialog, int id);
void setTicked(HWND dialog, int id, bool ticked);
// Only a stored 1 ticks: any other value leaves the box as it is.
void tickWhenOne(HWND dialog, int id, uint8_t field);

// The opacity trackbar runs from 25 (a window never quite invisible) to 255.
void fillOpacityThumb(HWND dialog, int id, uint8_t opacity);
// True, with the opacity, when a WM_HSCROLL is a drag of trackbar `id`'s
// thumb. Keyboard steps, clicks beside the thumb and the end of a drag move
// the thumb without changing the opacity.
bool draggedOpacity(HWND dialog, int id, WPARAM wParam, LPARAM lParam, uint8_t* opacity);

// The system's colour picker with the 16 custom colours it offers again at
// every opening while the program runs; they are never stored.
class ColourPicker {
public:
    // The picked colour, or `current` when the user cancels or the picker
    // fails.
    COLORREF pick(HWND owner, COLORREF current);

private:
    COLORREF custom_[16] = {};
};

// A message box over a settings dialog, captioned "TALVORI", its text
// string `stringId` of `module` in `language`.
int showDialogMessage(HWND dialog, HINSTANCE module, UINT stringId, LANGID language, UINT type);

// Both programs carry the RESET question under this id.
inline constexpr UINT kResetQuestionString = 40004;
// Asks before RESET; true only when the user answers Yes.
bool confirmReset(HWND dialog, HINSTANCE module, LANGID language);
