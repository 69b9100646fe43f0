#include "snmp/refusal_counters.h"

#include <gtest/gtest.h>

#include <thread>

TEST(RefusalCounters, CountsPerReasonAndKeepsTheLatestArrival) {
    RefusalCounters counters;
    EXPECT_EQ(counters.Snapshot().lastReason, RefusalReason::None);

    counters.Count(RefusalReason::WrongCommunity, "192.0.2.7", 100);
    counters.Count(RefusalReason::WrongCommunity, "192.0.2.8", 102);
    counters.Count(RefusalReason::QueueFull, "192.0.2.9", 105);
    // Counted later but arrived earlier (the intake pass runs behind the
    // receive thread): it does not become the last refusal.
    counters.Count(RefusalReason::Masked, "192.0.2.10", 101);
    counters.Count(RefusalReason::None, "192.0.2.11", 200);  // not a refusal

    RefusalTally tally = counters.Snapshot();
    EXPECT_EQ(tally.Of(RefusalReason::WrongCommunity), 2u);
    EXPECT_EQ(tally.Of(RefusalReason::QueueFull), 1u);
    EXPECT_EQ(tally.Of(RefusalReason::Masked), 1u);
    EXPECT_EQ(tally.Of(RefusalReason::NotTarget), 0u);
    EXPECT_EQ(tally.total, 4u);
    EXPECT_EQ(counters.Total(), 4u);
    EXPECT_EQ(tally.lastReason, RefusalReason::QueueFull);
    EXPECT_EQ(tally.lastSender, "192.0.2.9");
    EXPECT_EQ(tally.lastTime, 105);

    // The same second: the later call wins; a sender text too long for an
    // address is cut rather than overrun.
    counters.Count(RefusalReason::NotTarget, "255.255.255.255.255", 105);
    tally = counters.Snapshot();
    EXPECT_EQ(tally.lastReason, RefusalReason::NotTarget);
    EXPECT_EQ(tally.lastSender, "255.255.255.255");
}

// The receive and intake threads count at once; no refusal may be lost.
TEST(RefusalCounters, CountsFromTwoThreadsAreAllKept) {
    RefusalCounters counters;
    constexpr int kEach = 20000;
    std::thread receive([&] {
        for (int i = 0; i < kEach; ++i) counters.Count(RefusalReason::QueueFull, "10.0.0.1", i);
    });
    for (int i = 0; i < kEach; ++i) counters.Count(RefusalReason::WrongCommunity, "10.0.0.2", i);
    receive.join();
    const RefusalTally tally = counters.Snapshot();
    EXPECT_EQ(tally.Of(RefusalReason::QueueFull), static_cast<uint64_t>(kEach));
    EXPECT_EQ(tally.Of(RefusalReason::WrongCommunity), static_cast<uint64_t>(kEach));
    EXPECT_EQ(tally.total, 2u * kEach);
}
