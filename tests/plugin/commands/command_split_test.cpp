#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "command_split.h"

namespace {

std::string word(const char* text, const CommandWord& w) {
    return w.present() ? std::string(text + w.offset, w.length) : std::string("<none>");
}

struct Split {
    std::string verb, first, second;
    size_t count;
};

Split split(const char* text) {
    CommandWords w = splitCommand(text, std::strlen(text));
    return {word(text, w.verb), word(text, w.first), word(text, w.second), w.count};
}

TEST(CommandSplit, VerbFirstArgumentAndLastWordAsSecond) {
    Split s = split("join 5 a b");
    EXPECT_EQ(s.verb, "join");
    EXPECT_EQ(s.first, "5");
    EXPECT_EQ(s.second, "b");
    EXPECT_EQ(s.count, 4u);

    s = split("join 5 pw");
    EXPECT_EQ(s.second, "pw");
    s = split("join 5");
    EXPECT_EQ(s.first, "5");
    EXPECT_EQ(s.second, "<none>");
}

TEST(CommandSplit, BlankRunsLeadingAndTrailingBlanksSeparateOnly) {
    Split s = split("   channel    toggle   ");
    EXPECT_EQ(s.verb, "channel");
    EXPECT_EQ(s.first, "toggle");
    EXPECT_EQ(s.second, "<none>");
    EXPECT_EQ(s.count, 2u);
}

TEST(CommandSplit, TabsAndOtherBytesBelongToWords) {
    Split s = split("join\t12 \tpw\n x\xC3\xA9");
    EXPECT_EQ(s.verb, "join\t12");
    EXPECT_EQ(s.first, "\tpw\n");
    EXPECT_EQ(s.second, "x\xC3\xA9");
}

TEST(CommandSplit, EmptyAndBlankOnlyHaveNoWords) {
    for (const char* text : {"", " ", "      "}) {
        CommandWords w = splitCommand(text, std::strlen(text));
        EXPECT_EQ(w.count, 0u) << '"' << text << '"';
        EXPECT_FALSE(w.verb.present());
    }
    EXPECT_EQ(splitCommand(nullptr, 10).count, 0u);
}

TEST(CommandSplit, StopsAtTheTerminatorOrTheSizeWhicheverComesFirst) {
    const char text[] = "join 12\0secret";
    CommandWords w = splitCommand(text, sizeof text);
    EXPECT_EQ(w.count, 2u);
    EXPECT_FALSE(w.second.present());

    const char unterminated[4] = {'l', 'i', 's', 't'};
    w = splitCommand(unterminated, 3);
    EXPECT_EQ(word(unterminated, w.verb), "lis");
}

TEST(CommandSplit, WordIsComparesWholeAndCaseSensitively) {
    const char text[] = "JOIN joins join";
    CommandWords w = splitCommand(text, sizeof text - 1);
    EXPECT_FALSE(wordIs(text, w.verb, "join"));
    EXPECT_FALSE(wordIs(text, w.first, "join"));
    EXPECT_TRUE(wordIs(text, w.second, "join"));
    EXPECT_FALSE(wordIs(text, CommandWord{}, ""));
}

int32_t number(const char* text) { return readCommandNumber(text, std::strlen(text)); }

TEST(CommandNumber, ReadsLikeStrtolWithinTheWord) {
    EXPECT_EQ(number("12"), 12);
    EXPECT_EQ(number("+12"), 12);
    EXPECT_EQ(number("-7"), -7);
    EXPECT_EQ(number(" \t\n12x5"), 12);
    EXPECT_EQ(number("abc"), 0);
    EXPECT_EQ(number("-"), 0);
    EXPECT_EQ(number("--5"), 0);
    EXPECT_EQ(number("0x1F"), 0);
    EXPECT_EQ(number(""), 0);
    EXPECT_EQ(readCommandNumber("1234", 2), 12);
    EXPECT_EQ(readCommandNumber(nullptr, 5), 0);
}

TEST(CommandNumber, OutOfRangeSaturatesAtTheBounds) {
    EXPECT_EQ(number("2147483647"), INT32_MAX);
    EXPECT_EQ(number("2147483648"), INT32_MAX);
    EXPECT_EQ(number("99999999999"), INT32_MAX);
    EXPECT_EQ(number("-2147483648"), INT32_MIN);
    EXPECT_EQ(number("-2147483649"), INT32_MIN);
    EXPECT_EQ(number("-99999999999999999999999999"), INT32_MIN);
    EXPECT_EQ(number("00000000000000000000000042"), 42);
}

// Two pages: the text ends exactly where the second, inaccessible page
// begins, so one byte read too many faults. The text page is read-only, so
// a write into the caller's text faults as well.
class GuardedBuffer {
public:
    GuardedBuffer() {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<char*>(
            VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        if (base_) VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
    }
    ~GuardedBuffer() {
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
    }
    bool ok() const { return base_ != nullptr; }
    size_t capacity() const { return page_; }
    // Places the bytes against the guard page and returns where they start.
    const char* place(const std::vector<char>& bytes) {
        DWORD old;
        VirtualProtect(base_, page_, PAGE_READWRITE, &old);
        char* start = base_ + page_ - bytes.size();
        if (!bytes.empty()) std::memcpy(start, bytes.data(), bytes.size());
        VirtualProtect(base_, page_, PAGE_READONLY, &old);
        return start;
    }

private:
    size_t page_ = 0;
    char* base_ = nullptr;
};

// What the split must give, computed another way.
std::vector<std::string> referenceWords(const std::vector<char>& bytes) {
    std::string text(bytes.begin(), bytes.end());
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

TEST(CommandSplitFuzz, RandomBytesAgainstAGuardPageNeitherOverreadNorDisagree) {
    GuardedBuffer guard;
    ASSERT_TRUE(guard.ok());
    std::mt19937 random(20261207);
    // Mostly the bytes the split cares about, so that words, runs and early
    // terminators all occur often.
    const char interesting[] = {' ', ' ', ' ', '\0', '\t', '-', '+', '5', '9', 'a', '\xFF'};
    auto started = std::chrono::steady_clock::now();
    size_t runs = 0;
    while (std::chrono::steady_clock::now() - started < std::chrono::seconds(2) && runs < 200000) {
        size_t size = random() % 300;
        if (runs % 50 == 0) size = random() % guard.capacity();
        std::vector<char> bytes(size);
        for (char& b : bytes)
            b = random() % 3 ? interesting[random() % sizeof interesting]
                             : static_cast<char>(random() & 0xFF);
        const char* text = guard.place(bytes);

        CommandWords w = splitCommand(text, size);
        int32_t n = readCommandNumber(text, size);
        (void)n;

        std::vector<std::string> expected = referenceWords(bytes);
        ASSERT_EQ(w.count, expected.size()) << "run " << runs;
        for (const CommandWord* cw : {&w.verb, &w.first, &w.second})
            ASSERT_LE(cw->offset + cw->length, size);
        if (expected.size() >= 1) {
            ASSERT_EQ(word(text, w.verb), expected[0]);
        }
        if (expected.size() >= 2) {
            ASSERT_EQ(word(text, w.first), expected[1]);
        }
        if (expected.size() >= 3) {
            ASSERT_EQ(word(text, w.second), expected.back());
        } else {
            ASSERT_FALSE(w.second.present());
        }
        ++runs;
    }
    EXPECT_GT(runs, 1000u);
}

}  // namespace
