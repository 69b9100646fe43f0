// Dovrel's own engine (ID, boots, time) and the bounded table of what is
// known of other engines' clocks.
#include <gtest/gtest.h>

#include <cstring>

#include "support/usm_test_support.h"

using namespace usm_test;

TEST(UsmLocalEngine, EngineIdsAreMadeAndChecked) {
    uint8_t a[kGeneratedEngineIdSize];
    uint8_t b[kGeneratedEngineIdSize];
    ASSERT_TRUE(MakeEngineId(TestCrypto(), a));
    ASSERT_TRUE(MakeEngineId(TestCrypto(), b));
    EXPECT_EQ(ToHex(a, 5), "8000000005");
    EXPECT_TRUE(IsValidEngineId(a, sizeof a));
    EXPECT_NE(std::memcmp(a, b, sizeof a), 0);

    EXPECT_FALSE(IsValidEngineId(a, 4));
    EXPECT_TRUE(IsValidEngineId(a, 5));
    EXPECT_FALSE(IsValidEngineId(nullptr, 0));
    const Bytes zeros(12, 0x00), ones(12, 0xFF), long32(32, 0x42), long33(33, 0x42);
    EXPECT_FALSE(IsValidEngineId(zeros.data(), zeros.size()));
    EXPECT_FALSE(IsValidEngineId(ones.data(), ones.size()));
    EXPECT_TRUE(IsValidEngineId(long32.data(), long32.size()));
    EXPECT_FALSE(IsValidEngineId(long33.data(), long33.size()));
    const Bytes rfc3414 = FromHex("000000000000000000000002");
    EXPECT_TRUE(IsValidEngineId(rfc3414.data(), rfc3414.size()));
}

TEST(UsmLocalEngine, BootsAndTime) {
    EXPECT_EQ(NextEngineBoots(0), 1u);
    EXPECT_EQ(NextEngineBoots(41), 42u);
    EXPECT_EQ(NextEngineBoots(kMaxEngineBoots - 1), kMaxEngineBoots);
    EXPECT_EQ(NextEngineBoots(kMaxEngineBoots), kMaxEngineBoots);
    EXPECT_EQ(NextEngineBoots(0xFFFFFFFFu), kMaxEngineBoots);

    const LocalEngine engine = DovrelEngine(4, 1000);
    EXPECT_EQ(engine.Time(900), 0u);  // a clock that went back
    EXPECT_EQ(engine.Time(1000), 0u);
    EXPECT_EQ(engine.Time(1300), 300u);
    EXPECT_EQ(engine.Time(1000 + 3000000000LL), kMaxEngineTime);
    EXPECT_TRUE(engine.Is(engine.id, engine.idSize));
    EXPECT_FALSE(engine.Is(engine.id, engine.idSize - 1));
    EXPECT_FALSE(LocalEngine{}.Is(engine.id, 0));
}

TEST(UsmEngineTimes, WindowEdges) {
    UsmEngineTimes times;
    const Bytes id = FromHex("8000000005aabbccdd01020304");
    EXPECT_TRUE(times.Timely(id.data(), id.size(), 7, 5000, 0));  // unknown: the first is accepted
    times.Record(id.data(), id.size(), 7, 5000, 0);
    EXPECT_TRUE(times.Timely(id.data(), id.size(), 7, 4850, 0));
    EXPECT_FALSE(times.Timely(id.data(), id.size(), 7, 4849, 0));
    EXPECT_TRUE(times.Timely(id.data(), id.size(), 7, 4950, 100));
    EXPECT_FALSE(times.Timely(id.data(), id.size(), 7, 4949, 100));
    EXPECT_FALSE(times.Timely(id.data(), id.size(), 6, 99999, 0));
    EXPECT_TRUE(times.Timely(id.data(), id.size(), 8, 0, 0));
    // The latched boots value is never in the window (RFC 3414 2.2.3).
    EXPECT_FALSE(times.Timely(id.data(), id.size(), kMaxEngineBoots, 0, 0));
    // An older message does not move the estimate back.
    times.Record(id.data(), id.size(), 7, 4900, 0);
    EXPECT_FALSE(times.Timely(id.data(), id.size(), 7, 4849, 0));
    // A newer one moves it on.
    times.Record(id.data(), id.size(), 7, 6000, 0);
    EXPECT_FALSE(times.Timely(id.data(), id.size(), 7, 5849, 0));
}

TEST(UsmEngineTimes, HundredThousandEnginesStayWithinTheBound) {
    UsmEngineTimes times;
    const Bytes busy = FromHex("80000000050000000000000000");
    times.Record(busy.data(), busy.size(), 5, 1000, 0);
    Bytes id = FromHex("8000000005ffffffffffffffff");
    for (uint32_t i = 0; i < 100000; ++i) {
        std::memcpy(id.data() + 5, &i, sizeof i);
        times.Record(id.data(), id.size(), 1, i, 0);
        // The busy engine keeps sending, so it is never the least recently used.
        if (i % 100 == 0) times.Record(busy.data(), busy.size(), 5, 1000 + i / 100, 0);
        ASSERT_LE(times.Size(), kEngineTableCapacity);
    }
    EXPECT_EQ(times.Size(), kEngineTableCapacity);
    EXPECT_FALSE(times.Timely(busy.data(), busy.size(), 4, 1000, 0));  // still known: a lower boots is refused
    uint32_t first = 0;
    std::memcpy(id.data() + 5, &first, sizeof first);
    EXPECT_TRUE(times.Timely(id.data(), id.size(), 0, 0, 0));  // long evicted: unknown again
}
