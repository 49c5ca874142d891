#pragma once
// Fitting text to the overlay's pixel width. Measurement goes through a
// TextMeasurer so the fitting rules can be exercised with exact widths.
#include <windows.h>

#include <cstddef>

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Width in pixels of the first `length` units.
    virtual int width(const wchar_t* text, int length) = 0;
    // How many leading units fit in maxWidth; false when measuring failed.
    virtual bool fit(const wchar_t* text, int length, int maxWidth, int* count) = 0;
};

// The measurer in force: by default GDI on measureDC (the plugin's memory
// DC, with the font the overlay draws with at the scale it draws at).
// Tests install their own; null restores the default.
TextMeasurer& textMeasurer();
void setTextMeasurer(TextMeasurer* measurer);

// Init makes measureDC, shutdown deletes it. Measuring without it gives 0
// widths and failed fits.
void openMeasureDC();
void closeMeasureDC();

// A stored length (pixels at 100 %: the overlay's width, the rooms kept
// beside names) as the overlay lays it out on screen now. Every budget a
// line is fitted to goes through here, so a name that fits at 100 % fits
// the same at any scale.
int onScreenLength(int storedLength);

// Width of the whole string.
int textWidth(const wchar_t* text);
// Leading units of `text` that fit in maxWidth; `fit` keeps its value when
// measuring fails.
void fitCount(const wchar_t* text, int maxWidth, int& fit);

// Capacity of a line under composition, terminator included.
inline constexpr size_t kLineUnits = 255;
// Appends at most maxCount units of text to a line of kLineUnits units,
// then one blank unless the line already ends with one. Never writes past
// the line; a piece that no longer fits is cut, and nothing is appended
// once the line is full.
void appendWithBlank(wchar_t* line, const wchar_t* text, size_t maxCount);
