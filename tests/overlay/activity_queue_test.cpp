#include "activity_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ActivityQueue, KeepsThirtyTwoLinesInOrderAndDropsTheNext) {
    ActivityQueue q;
    for (int i = 0; i < ActivityQueue::kCapacity; ++i) {
        std::wstring line = L"line " + std::to_wstring(i);
        EXPECT_TRUE(q.push(line.c_str(), line.size()));
    }
    EXPECT_TRUE(q.full());
    EXPECT_FALSE(q.push(L"one too many", 12));
    EXPECT_EQ(q.count(), 32);
    EXPECT_STREQ(q.lineAt(31), L"line 31") << "nothing was evicted";

    for (int i = 0; i < ActivityQueue::kCapacity; ++i) {
        EXPECT_EQ(q.lineAt(0), L"line " + std::to_wstring(i));
        q.popHead();
    }
    EXPECT_TRUE(q.empty());
    EXPECT_STREQ(q.lineAt(0), L"") << "an empty queue shows nothing";
    q.popHead();  // harmless when empty
    EXPECT_EQ(q.count(), 0);
}

TEST(ActivityQueue, CopiesExactlyTheGivenLengthAndTerminatesIt) {
    // A source with no terminator where the copy ends, as an area filled
    // to its last unit would be.
    const wchar_t source[4] = {L'a', L'b', L'c', L'd'};
    ActivityQueue q;
    ASSERT_TRUE(q.push(source, 3));
    EXPECT_STREQ(q.lineAt(0), L"abc");
    EXPECT_EQ(q.lengthAt(0), 3u);

    // The copy is the queue's own: the source may change afterwards.
    wchar_t changing[] = L"moving";
    q.push(changing, 6);
    changing[0] = L'X';
    EXPECT_STREQ(q.lineAt(1), L"moving");

    // The empty line is queued like any other.
    ASSERT_TRUE(q.push(L"", 0));
    EXPECT_EQ(q.count(), 3);
    EXPECT_STREQ(q.lineAt(2), L"");
}

TEST(ActivityQueue, ClearDropsEverythingAndTheQueueFillsAgain) {
    ActivityQueue q;
    for (int i = 0; i < ActivityQueue::kCapacity; ++i) q.push(L"x", 1);
    q.clear();
    EXPECT_TRUE(q.empty());
    for (int i = 0; i < ActivityQueue::kCapacity; ++i) EXPECT_TRUE(q.push(L"y", 1));
    EXPECT_STREQ(q.lineAt(0), L"y");
}

}  // namespace
