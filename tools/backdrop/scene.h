#pragma once
// The picture behind the overlay: a landscape at dusk with a game's heads-up
// display, drawn with plain GDI so that the tool needs no files.
#include <windows.h>

#include <vector>

namespace backdrop {

struct SceneState {
    bool foreground = false;
    int clicks = 0;
    std::vector<POINT> recentClicks;  // client coordinates, newest last
};

// Paints the whole client area `size` into `dc`.
void paintScene(HDC dc, SIZE size, const SceneState& state);

}  // namespace backdrop
