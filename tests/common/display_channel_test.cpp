#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "display_channel.h"

namespace {

struct Area {
    std::vector<wchar_t> units;
    explicit Area(unsigned capacity) : units(capacity + 8, L'#') {}
    SharedArea shared(unsigned capacity) { return SharedArea{units.data(), capacity}; }
};

TEST(WriteSharedText, CapsALongLineAtTheAreaAndTerminatesIt) {
    Area area(channel::kSpeakerUnits);
    std::wstring text(300, L'x');
    unsigned count = sharedCount(text.c_str(), channel::kSpeakerUnits);
    EXPECT_EQ(count, 256u);
    writeSharedText(nullptr, area.shared(channel::kSpeakerUnits), text.c_str(), count);
    EXPECT_EQ(std::wstring(area.units.data()), std::wstring(255, L'x'));
    // Nothing past the area's capacity was touched.
    EXPECT_EQ(area.units[256], L'#');
}

TEST(WriteSharedText, EmptyTextWithCountOneClearsTheArea) {
    Area area(channel::kActivityUnits);
    writeSharedText(nullptr, area.shared(channel::kActivityUnits), L"", 1);
    EXPECT_EQ(area.units[0], L'\0');
    EXPECT_EQ(area.units[1], L'#');
}

TEST(WriteSharedText, CountLargerThanTheAreaIsBoundedByTheArea) {
    Area area(channel::kActivityUnits);
    std::wstring text(500, L'y');
    writeSharedText(nullptr, area.shared(channel::kActivityUnits), text.c_str(), 500);
    EXPECT_EQ(std::wstring(area.units.data()).size(), 127u);
    EXPECT_EQ(area.units[128], L'#');
}

DWORD WINAPI tryTakeMutex(void* m) {
    DWORD r = WaitForSingleObject(static_cast<HANDLE>(m), 0);
    if (r == WAIT_OBJECT_0) ReleaseMutex(static_cast<HANDLE>(m));
    return r;
}

TEST(WriteSharedText, TakesAndReleasesTheMutex) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    Area area(16);
    writeSharedText(mutex, area.shared(16), L"abc", 4);
    EXPECT_EQ(std::wstring(area.units.data()), L"abc");
    // Released: another thread can take it at once.
    HANDLE t = CreateThread(nullptr, 0, tryTakeMutex, mutex, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
    DWORD code = 1;
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, WAIT_OBJECT_0);
    CloseHandle(t);
    CloseHandle(mutex);
}

TEST(BoundedLength, NeverReadsPastTheCapacityOfAnUnterminatedArea) {
    std::vector<wchar_t> area(8, L'z');
    EXPECT_EQ(boundedLength(area.data(), 8), 8u);
    area[3] = 0;
    EXPECT_EQ(boundedLength(area.data(), 8), 3u);
    EXPECT_EQ(boundedLength(nullptr, 8), 0u);
}

// The overlay reads the log another process wrote: a reader that fell far
// behind gets the newest lines in order, and whatever the header and the
// entries hold, it reads within the log and hands out bounded lines.
TEST(ActivityLog, AReaderFarBehindOrFacingGarbageStaysInOrderAndInBounds) {
    auto log = std::make_unique<ActivityLog>();
    *log = ActivityLog{};
    startActivityLog(log.get());
    ASSERT_TRUE(activityLogUsable(log.get()));
    const unsigned kLines = channel::kActivityLogLines;
    for (unsigned n = 1; n <= kLines + 8; ++n)
        appendActivityLog(log.get(), kLogEntryLine, std::to_wstring(n).c_str());
    std::vector<std::wstring> got;
    auto take = [&](DWORD, const wchar_t* text, size_t length) { got.emplace_back(text, length); };
    DWORD seen = 0;
    readActivityLog(log.get(), seen, take);
    ASSERT_EQ(got.size(), kLines);
    EXPECT_EQ(got.front(), L"9");
    EXPECT_EQ(got.back(), std::to_wstring(kLines + 8));
    got.clear();
    readActivityLog(log.get(), seen, take);
    EXPECT_TRUE(got.empty()) << "a line read twice";

    for (ActivityLogEntry& e : log->entries)
        for (wchar_t& u : e.text) u = L'x';
    for (DWORD garbage : {0xFFFFFFF0u, 0u, 0x7FFFFFFFu}) {
        log->newest = garbage;
        readActivityLog(log.get(), seen, take);
        EXPECT_EQ(seen, garbage);
    }
    EXPECT_LE(got.size(), 3u * kLines);
    for (const std::wstring& line : got) EXPECT_EQ(line.size(), channel::kActivityUnits);
}

}  // namespace
