#pragma once
// Pixels of the real screen, and the same text drawn off screen, so a test
// can say "this line shows exactly that name in that colour".
#include <windows.h>

#include <string>
#include <vector>

class Pixels {
public:
    Pixels() = default;
    Pixels(int width, int height) : width_(width), height_(height), data_(width * height) {}
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const { return data_[y * width_ + x]; }
    COLORREF& at(int x, int y) { return data_[y * width_ + x]; }
    // How many pixels of the band [top, top + rows) have this colour.
    int count(COLORREF colour, int top, int rows) const;
    // True when the band [top, top + rows) equals `other`'s rows from 0.
    bool bandEquals(int top, const Pixels& other) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> data_;
};

// A screen rectangle as it is shown now.
Pixels captureScreen(int x, int y, int width, int height);
// `text` in the system font at (0, 0), opaque, on a `width` x `height`
// field of the background colour: what one line of the window should be.
Pixels renderLine(const std::wstring& text, COLORREF textColour, COLORREF background, int width,
                  int height);
// The height of a line of the system font.
int systemFontLineHeight();

// Handles this thread's window messages for about `ms` milliseconds.
void pumpMessages(int ms);
// Pumps messages until `done` holds or `ms` milliseconds have passed.
template <typename Predicate>
bool pumpUntil(Predicate done, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (done()) return true;
        pumpMessages(20);
    }
    return done();
}
