#include "scene.h"

#include <cmath>
#include <cwchar>
#include <iterator>

#include "unique_handle.h"

namespace backdrop {

namespace {

// Drawn on a 1280 x 800 grid and stretched to the window. Few flat colours
// (a banded sky, no smoothing) keep the README's pictures small as palettes.
constexpr int kGridW = 1280;
constexpr int kGridH = 800;
constexpr int kHorizon = 470;

class Grid {
public:
    explicit Grid(SIZE size) : w_(size.cx), h_(size.cy) {}
    int x(int gx) const { return MulDiv(gx, w_, kGridW); }
    int y(int gy) const { return MulDiv(gy, h_, kGridH); }
    POINT at(int gx, int gy) const { return POINT{x(gx), y(gy)}; }
    RECT rect(int l, int t, int r, int b) const { return RECT{x(l), y(t), x(r), y(b)}; }

private:
    int w_, h_;
};

void fill(HDC dc, const RECT& r, COLORREF colour) {
    UniqueGdiObject brush(CreateSolidBrush(colour));
    FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void polygon(HDC dc, const POINT* points, int count, COLORREF colour) {
    UniqueGdiObject brush(CreateSolidBrush(colour));
    UniqueGdiObject pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard b(dc, brush.get());
    SelectGuard p(dc, pen.get());
    Polygon(dc, points, count);
}

void ellipse(HDC dc, const RECT& r, COLORREF colour) {
    UniqueGdiObject brush(CreateSolidBrush(colour));
    UniqueGdiObject pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard b(dc, brush.get());
    SelectGuard p(dc, pen.get());
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
}

COLORREF mix(COLORREF a, COLORREF b, int step, int steps) {
    auto channel = [&](int ca, int cb) { return ca + (cb - ca) * step / steps; };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// A bright day: the List Channel window's names are drawn straight onto
// whatever lies beneath, black by default, so the sky stays light.
void paintSky(HDC dc, const Grid& g) {
    constexpr int kBands = 24;
    for (int i = 0; i < kBands; ++i) {
        RECT band = g.rect(0, kHorizon * i / kBands, kGridW, kHorizon * (i + 1) / kBands);
        fill(dc, band, mix(RGB(98, 156, 222), RGB(206, 228, 246), i, kBands - 1));
    }
    ellipse(dc, g.rect(830, 70, 950, 190), RGB(255, 236, 160));
    ellipse(dc, g.rect(846, 86, 934, 174), RGB(255, 250, 214));
    static const RECT clouds[] = {{300, 70, 420, 110},  {360, 50, 470, 100}, {420, 76, 520, 112},
                                  {640, 180, 740, 214}, {690, 162, 790, 206}, {740, 184, 830, 216}};
    for (const RECT& c : clouds) ellipse(dc, g.rect(c.left, c.top, c.right, c.bottom), RGB(250, 252, 255));
}

// A ridge line y(x) sampled every 16 grid units and closed at the bottom.
template <typename Height>
void paintRidge(HDC dc, const Grid& g, int bottom, COLORREF colour, Height height) {
    POINT points[kGridW / 16 + 3];
    int n = 0;
    for (int gx = 0; gx <= kGridW; gx += 16) points[n++] = g.at(gx, height(gx));
    points[n++] = g.at(kGridW, bottom);
    points[n++] = g.at(0, bottom);
    polygon(dc, points, n, colour);
}

void paintLand(HDC dc, const Grid& g) {
    static const POINT peaks[] = {{0, 286},   {150, 178}, {262, 300},  {360, 236},
                                  {470, 326}, {600, 268}, {720, 338},  {860, 246},
                                  {1000, 330}, {1130, 276}, {1280, 318}};
    POINT mountains[std::size(peaks) + 2];
    int n = 0;
    for (const POINT& p : peaks) mountains[n++] = g.at(p.x, p.y);
    mountains[n++] = g.at(kGridW, kHorizon + 10);
    mountains[n++] = g.at(0, kHorizon + 10);
    polygon(dc, mountains, n, RGB(150, 158, 188));
    // Snow on the highest peaks, a third of the way down each slope.
    for (int i : {1, 3, 7, 9}) {
        POINT top = peaks[i], left = peaks[i - 1], right = peaks[i + 1];
        POINT cap[] = {g.at(top.x, top.y),
                       g.at(top.x + (right.x - top.x) / 3, top.y + (right.y - top.y) / 3),
                       g.at(top.x, top.y + (right.y - top.y) / 5),
                       g.at(top.x + (left.x - top.x) / 3, top.y + (left.y - top.y) / 3)};
        polygon(dc, cap, 4, RGB(246, 248, 252));
    }
    paintRidge(dc, g, kGridH, RGB(96, 160, 84), [](int x) {
        return 410 + static_cast<int>(28 * std::sin(x / 150.0) + 14 * std::sin(x / 53.0));
    });
    paintRidge(dc, g, kGridH, RGB(72, 134, 64), [](int x) {
        return 505 + static_cast<int>(22 * std::sin(x / 210.0 + 1.0));
    });
    POINT road[] = {g.at(612, 478), g.at(652, 478), g.at(930, kGridH), g.at(360, kGridH)};
    polygon(dc, road, 4, RGB(196, 170, 120));
    POINT stripe[] = {g.at(629, 560), g.at(635, 560), g.at(645, 640), g.at(629, 640)};
    polygon(dc, stripe, 4, RGB(226, 210, 160));
}

void paintTree(HDC dc, const Grid& g, int x, int base, int height) {
    fill(dc, g.rect(x - 5, base - height / 4, x + 5, base), RGB(88, 58, 36));
    for (int tier = 0; tier < 3; ++tier) {
        int top = base - height + tier * height / 5;
        int width = height / 4 + tier * height / 10;
        POINT t[] = {g.at(x, top), g.at(x + width, top + height / 2), g.at(x - width, top + height / 2)};
        polygon(dc, t, 3, RGB(34, 94 + tier * 8, 50));
    }
}

void text(HDC dc, const Grid& g, int gx, int gy, int size, COLORREF colour, const wchar_t* s,
          UINT align = TA_LEFT) {
    UniqueGdiObject font(CreateFontW(-g.y(size), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    SelectGuard f(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    SetTextAlign(dc, align | TA_TOP);
    TextOutW(dc, g.x(gx), g.y(gy), s, static_cast<int>(std::wcslen(s)));
}

void frame(HDC dc, const RECT& r, COLORREF colour) {
    UniqueGdiObject brush(CreateSolidBrush(colour));
    FrameRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void paintHud(HDC dc, const Grid& g, const SceneState& state) {
    const COLORREF panel = RGB(18, 22, 30);
    const COLORREF line = RGB(120, 200, 220);
    // Health, bottom left.
    RECT health = g.rect(24, 716, 320, 776);
    fill(dc, health, panel);
    frame(dc, health, line);
    text(dc, g, 40, 730, 22, line, L"HP");
    fill(dc, g.rect(84, 734, 300, 758), RGB(70, 24, 28));
    fill(dc, g.rect(84, 734, 272, 758), RGB(214, 52, 52));
    // Ammunition, bottom right.
    RECT ammo = g.rect(1040, 716, 1256, 776);
    fill(dc, ammo, panel);
    frame(dc, ammo, line);
    text(dc, g, 1240, 724, 34, RGB(250, 236, 180), L"24 | 120", TA_RIGHT);
    // Map and status, top right: whether this window has the keyboard, and
    // how many clicks reached it.
    ellipse(dc, g.rect(1108, 24, 1256, 172), line);
    ellipse(dc, g.rect(1112, 28, 1252, 168), RGB(30, 58, 40));
    ellipse(dc, g.rect(1176, 92, 1188, 104), RGB(250, 236, 180));
    ellipse(dc, g.rect(1140, 60, 1150, 70), RGB(214, 52, 52));
    ellipse(dc, g.rect(1214, 128, 1224, 138), RGB(214, 52, 52));
    RECT status = g.rect(1064, 184, 1256, 252);
    fill(dc, status, panel);
    frame(dc, status, line);
    text(dc, g, 1080, 190, 22, state.foreground ? RGB(110, 220, 110) : RGB(240, 80, 70),
         state.foreground ? L"IN FOCUS" : L"FOCUS LOST");
    wchar_t hits[32];
    std::swprintf(hits, 32, L"CLICKS %d", state.clicks);
    text(dc, g, 1080, 220, 22, line, hits);
    // Crosshair.
    POINT c = g.at(kGridW / 2, kGridH / 2);
    const COLORREF white = RGB(240, 240, 240);
    fill(dc, RECT{c.x - 18, c.y - 1, c.x - 6, c.y + 1}, white);
    fill(dc, RECT{c.x + 6, c.y - 1, c.x + 18, c.y + 1}, white);
    fill(dc, RECT{c.x - 1, c.y - 18, c.x + 1, c.y - 6}, white);
    fill(dc, RECT{c.x - 1, c.y + 6, c.x + 1, c.y + 18}, white);
}

void paintClickMarks(HDC dc, const SceneState& state) {
    UniqueGdiObject pen(CreatePen(PS_SOLID, 3, RGB(255, 230, 60)));
    SelectGuard p(dc, pen.get());
    SelectGuard b(dc, GetStockObject(NULL_BRUSH));
    for (const POINT& at : state.recentClicks) {
        Ellipse(dc, at.x - 12, at.y - 12, at.x + 13, at.y + 13);
        MoveToEx(dc, at.x - 18, at.y, nullptr);
        LineTo(dc, at.x + 19, at.y);
        MoveToEx(dc, at.x, at.y - 18, nullptr);
        LineTo(dc, at.x, at.y + 19);
    }
}

}  // namespace

void paintScene(HDC dc, SIZE size, const SceneState& state) {
    Grid g(size);
    paintSky(dc, g);
    paintLand(dc, g);
    paintTree(dc, g, 110, 470, 120);
    paintTree(dc, g, 200, 492, 90);
    paintTree(dc, g, 1050, 486, 110);
    paintTree(dc, g, 1170, 520, 140);
    paintHud(dc, g, state);
    paintClickMarks(dc, state);
}

}  // namespace backdrop
