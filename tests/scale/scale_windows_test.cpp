// At the dpi of this run: the overlay and the List Channel window sized by
// the scale, every line drawn whole, the stored sizes untouched by a drag
// and a quit, a new user's two windows apart, and the speaker line fitted
// to the width the overlay has on screen with the font it draws with.
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "capture_stdout.h"
#include "display_channel.h"
#include "plugin_menus26.h"
#include "scale_session.h"
#include "screenshot.h"
#include "unique_handle.h"

namespace scaletest {
namespace {

bool waitFor(const std::function<bool()>& done, DWORD ms = 5000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; pumpFor(50))
        if (done()) return true;
    return done();
}

// The oracle's font: the system font of this process, which runs at the
// dpi of the run, as the overlay program does.
class OracleDC {
public:
    OracleDC() : dc_(CreateCompatibleDC(nullptr)) {
        old_ = SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    }
    ~OracleDC() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    HDC get() const { return dc_; }
    int width(const std::wstring& text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    int fit(const std::wstring& text, int maxWidth) const {
        SIZE size{};
        INT fitted = 0;
        GetTextExtentExPointW(dc_, text.c_str(), static_cast<int>(text.size()), maxWidth, &fitted,
                              nullptr, &size);
        return fitted;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Pixels of `colour` when `text` is drawn at y `top` on a canvas tall
// enough that nothing of it is cut.
int inkDrawnByGdi(const std::wstring& text, int top, COLORREF colour) {
    OracleDC oracle;
    const int width = oracle.width(text) + 8, height = top + 200;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return -1;
    SelectGuard canvas(oracle.get(), bitmap.get());
    PatBlt(oracle.get(), 0, 0, width, height, WHITENESS);
    SetTextColor(oracle.get(), colour);
    SetBkColor(oracle.get(), kBackground);
    TextOutW(oracle.get(), 0, top, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
    const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int count = 0;
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) count += (p[i] & 0xFFFFFF) == wanted;
    return count;
}

int inkOnScreen(HWND window, COLORREF colour) {
    screenshot::Image image;
    if (!screenshot::captureClient(window, image)) return -1;
    int count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) count += image.colourAt(x, y) == colour;
    return count;
}

template <typename Record>
Record readRecord(const wchar_t* name) {
    Record record{};
    const std::vector<BYTE> bytes = storedValue(name);
    if (bytes.size() >= sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

struct ListSizes {
    uint16_t width, height;
    int32_t x, y;
};
ListSizes readListRecord() {
    ListSizes s{};
    const std::vector<BYTE> b = storedValue(L"ListChannel");
    if (b.size() < 24) return s;
    std::memcpy(&s.width, &b[12], 2);
    std::memcpy(&s.height, &b[14], 2);
    std::memcpy(&s.x, &b[16], 4);
    std::memcpy(&s.y, &b[20], 4);
    return s;
}

std::wstring speakerArea() {
    UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, channel::kSpeakerAreaName));
    if (!mapping) return L"(no area)";
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, channel::kSpeakerBytes));
    if (!view) return L"(no view)";
    const wchar_t* text = static_cast<const wchar_t*>(view.get());
    return std::wstring(text, boundedLength(text, channel::kSpeakerUnits));
}

std::string narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

TEST_F(ScaleSession, WindowsFollowTheScaleShowEveryLineWholeAndKeepTheStoredSizes) {
    const UINT dpi = runDpi();
    {
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY)), dpi)
            << "this run is not at the dpi it was started for";
        ReleaseDC(nullptr, screen);
    }
    const DisplayConfig record = overlayRecord();
    storeValue(kDisplayConfigValue, &record, sizeof record);
    const std::vector<BYTE> list = listRecordBytes(240, 300, 700, 60);
    storeValue(L"ListChannel", list.data(), static_cast<DWORD>(list.size()));
    ASSERT_NO_FATAL_FAILURE(start());

    // Width by line height times two lines, and the List Channel window's
    // width by height, each times the scale.
    const RECT o = windowRect(overlay);
    EXPECT_EQ(widthOf(o), MulDiv(240, dpi, 96));
    EXPECT_EQ(heightOf(o), MulDiv(40, dpi, 96));
    HWND listChannel = listWindow();
    ASSERT_NE(listChannel, nullptr);
    const RECT l = windowRect(listChannel);
    EXPECT_EQ(widthOf(l), MulDiv(240, dpi, 96));
    EXPECT_EQ(heightOf(l), MulDiv(300, dpi, 96));

    // Both lines with letters that reach below the line: every pixel GDI
    // draws for them at this scale is on screen, the second line's
    // descenders in the bottom rows.
    model.addChannel(kConnection, 2, "Hall");
    model.addClient(kConnection, 2, "Gigi jumpy", 1);
    model.addClient(kConnection, 3, "Frank", 2);
    {
        StdoutCapture quiet;
        plugin.onTalkStatusChangeEvent(kConnection, 1, 0, 2);
        model.moveClient(kConnection, 3, 1);
        plugin.onClientMoveEvent(kConnection, 3, 2, 1, 0, "");
    }
    const int speakerInk = inkDrawnByGdi(L"Gigi jumpy ", 0, kSpeaker);
    const int activityInk = inkDrawnByGdi(L"Frank -> Lobby ", MulDiv(20, dpi, 96), kChannel);
    ASSERT_GT(speakerInk, 0);
    ASSERT_GT(activityInk, 0);
    int speakerShown = -1, activityShown = -1;
    EXPECT_TRUE(waitFor([&] {
        speakerShown = inkOnScreen(overlay, kSpeaker);
        activityShown = inkOnScreen(overlay, kChannel);
        return speakerShown == speakerInk && activityShown == activityInk;
    })) << "speaker line: " << speakerShown << " of " << speakerInk
        << " pixels shown; activity line: " << activityShown << " of " << activityInk;

    // The user moves both windows and quits: the places follow, the sizes
    // stay those of 100 %.
    drag(real_input::centreOf(overlay), 40, 30);
    drag(real_input::centreOf(listChannel), -30, 40);
    shutdown();
    const DisplayConfig after = readRecord<DisplayConfig>(kDisplayConfigValue);
    EXPECT_NE(after.x, record.x) << "the overlay's drag was not recorded";
    EXPECT_EQ(after.width, record.width);
    EXPECT_EQ(after.lineHeight, record.lineHeight);
    EXPECT_EQ(after.twoLines, record.twoLines);
    const ListSizes listAfter = readListRecord();
    EXPECT_NE(listAfter.x, 700) << "the List Channel window's drag was not recorded";
    EXPECT_EQ(listAfter.width, 240);
    EXPECT_EQ(listAfter.height, 300);
}

// A new user, no settings stored, shows the List Channel window from the
// menu: it opens beneath the overlay, not over its second line.
TEST_F(ScaleSession, WindowsOfANewUserDoNotOverlap) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Talvori");
    ASSERT_NO_FATAL_FAILURE(start());
    plugin.onMenuItemEvent(kConnection, 0, MENU_SHOW_LIST, 0);
    HWND listChannel = nullptr;
    ASSERT_TRUE(waitFor([&] { return (listChannel = listWindow()) != nullptr; }));
    const RECT o = windowRect(overlay), l = windowRect(listChannel);
    RECT both{};
    EXPECT_FALSE(IntersectRect(&both, &o, &l))
        << "the overlay reaches down to " << o.bottom << ", the List Channel window starts at "
        << l.top;
}

// Four names that do not fit together: each but the last gets an equal
// share of the width on screen, measured with the overlay's font.
TEST_F(ScaleSession, TheSpeakerLineIsFittedToTheWidthOnScreen) {
    const UINT dpi = runDpi();
    const DisplayConfig record = overlayRecord();
    storeValue(kDisplayConfigValue, &record, sizeof record);
    ASSERT_NO_FATAL_FAILURE(start());

    const std::wstring names[] = {L"Maximilian_Longname", L"Bartholomew_Smithers",
                                  L"Cornelius_Fitzgerald", L"Desmond_Higginbottom"};
    const int n = 4;
    for (int i = 0; i < n; ++i)
        model.addClient(kConnection, static_cast<anyID>(10 + i), narrow(names[i]), 1);
    {
        StdoutCapture quiet;
        for (int i = 0; i < n; ++i)
            plugin.onTalkStatusChangeEvent(kConnection, 1, 0, static_cast<anyID>(10 + i));
    }

    // The rule, measured by GDI at this scale: the budget is the share of
    // the on-screen width; a cut name keeps at least 10 units or else 5.
    OracleDC oracle;
    const int width = MulDiv(record.width, dpi, 96);
    int sum = 0;
    for (const std::wstring& name : names) sum += oracle.width(name);
    ASSERT_GT(sum, width) << "the names must not fit together";
    const int budget = (width - MulDiv(4, dpi, 96) * n) / n;
    std::wstring expected;
    for (int i = 0; i < n; ++i) {
        const int length = static_cast<int>(names[i].size());
        int take = i == n - 1 ? length : oracle.fit(names[i], budget);
        if (take <= 5) take = 5;
        if (take < length && take < 10) take = 5;
        expected += names[i].substr(0, take) + L" ";
    }
    EXPECT_EQ(narrow(speakerArea()), narrow(expected)) << "budget " << budget << " px";
}

}  // namespace
}  // namespace scaletest
