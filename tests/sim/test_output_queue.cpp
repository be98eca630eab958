#include "OutputQueue.h"

#include <gtest/gtest.h>

using tq::sim::OutputQueue;

TEST(OutputQueue, RepliesLeaveInOrderWhenDue) {
    OutputQueue q;
    EXPECT_FALSE(q.nextDueNs().has_value());
    q.push("first", 1000);
    q.push("second", 500); // queued behind the first regardless
    EXPECT_TRUE(q.ready(999).isEmpty());
    EXPECT_EQ(*q.nextDueNs(), 1000);
    EXPECT_EQ(q.ready(1000), "first");
    q.consumed(2, 1000); // a short write
    EXPECT_EQ(q.ready(1000), "rst");
    q.consumed(3, 1000);
    EXPECT_EQ(q.ready(1000), "second");
    q.consumed(6, 1000);
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(q.pendingBytes(), 0);
}

TEST(OutputQueue, PacingSpacesBytesAtLineRate) {
    OutputQueue q;
    q.setPacing(true);
    const qint64 t0 = 1'000'000'000;
    q.push(QByteArray(10, 'x'), t0);
    EXPECT_EQ(q.ready(t0).size(), 1);
    q.consumed(1, t0);
    EXPECT_EQ(*q.nextDueNs(), t0 + OutputQueue::kByteNs);
    EXPECT_TRUE(q.ready(t0 + OutputQueue::kByteNs - 1).isEmpty());
    // Four byte times later four more bytes may go.
    const qint64 t1 = t0 + 4 * OutputQueue::kByteNs;
    EXPECT_EQ(q.ready(t1).size(), 4);
    q.consumed(4, t1);
    // After a long stall only a short burst is allowed, then the line rate.
    const qint64 t2 = t1 + 1'000'000'000;
    const qsizetype burst = q.ready(t2).size();
    EXPECT_EQ(burst, 5); // all that is left
    // A reply that has been due for long may catch up a little, not all.
    q.push(QByteArray(100, 'y'), t0);
    q.consumed(burst, t2);
    const qsizetype catchUp = q.ready(t2).size();
    EXPECT_GE(catchUp, 1);
    EXPECT_LE(catchUp, 8);
}

TEST(OutputQueue, BacklogDropsOldWholeRepliesButNotAStartedOne) {
    OutputQueue q;
    const QByteArray big(OutputQueue::kMaxPendingBytes / 2, 'a');
    q.push(big, 0);
    q.consumed(10, 0); // the head is being written
    q.push(QByteArray(OutputQueue::kMaxPendingBytes / 2, 'b'), 0);
    q.push(QByteArray(100, 'c'), 0);
    EXPECT_LE(q.pendingBytes(), OutputQueue::kMaxPendingBytes);
    // The started reply keeps its tail; the next whole reply went.
    EXPECT_EQ(q.ready(0).size(), big.size() - 10);
    q.consumed(big.size() - 10, 0);
    EXPECT_EQ(q.ready(0), QByteArray(100, 'c'));
}
