// The resent-INFORM filter: the first copy is announced, resends within 60 s
// of it are not, and a full table gives up its oldest entry.
#include "snmp/inform_resend_filter.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kAddress = 0x0100007F;  // 127.0.0.1 in network byte order
constexpr uint16_t kPort = 40000;

}  // namespace

TEST(InformResendFilter, ResendsWithinTheWindowAreNotAnnounced) {
    InformResendFilter f;
    const uint64_t t0 = 5000000;
    EXPECT_TRUE(f.Announce(kAddress, kPort, 7, t0));
    EXPECT_FALSE(f.Announce(kAddress, kPort, 7, t0));
    EXPECT_FALSE(f.Announce(kAddress, kPort, 7, t0 + 1000));
    EXPECT_FALSE(f.Announce(kAddress, kPort, 7, t0 + 59999));  // counted from the first, not the last copy
    EXPECT_TRUE(f.Announce(kAddress, kPort, 7, t0 + 60000));   // a new INFORM with the same id
    EXPECT_FALSE(f.Announce(kAddress, kPort, 7, t0 + 60000 + 59999));
    // A clock that goes back counts as no time passed.
    EXPECT_FALSE(f.Announce(kAddress, kPort, 7, t0));
}

TEST(InformResendFilter, KeyedBySourceAndRequestId) {
    InformResendFilter f;
    EXPECT_TRUE(f.Announce(kAddress, kPort, 7, 0));
    EXPECT_TRUE(f.Announce(kAddress, kPort, 8, 0));
    EXPECT_TRUE(f.Announce(kAddress, kPort + 1, 7, 0));
    EXPECT_TRUE(f.Announce(kAddress + 1, kPort, 7, 0));
    EXPECT_TRUE(f.Announce(kAddress, kPort, -7, 0));
    EXPECT_FALSE(f.Announce(kAddress, kPort, 8, 10));
    EXPECT_FALSE(f.Announce(kAddress, kPort + 1, 7, 10));
    EXPECT_FALSE(f.Announce(kAddress + 1, kPort, 7, 10));
    EXPECT_FALSE(f.Announce(kAddress, kPort, -7, 10));
}

TEST(InformResendFilter, AFullTableForgetsItsOldestEntry) {
    InformResendFilter f;
    const int32_t n = static_cast<int32_t>(InformResendFilter::kCapacity);
    for (int32_t id = 0; id < n; ++id) ASSERT_TRUE(f.Announce(kAddress, kPort, id, 1000 + static_cast<uint64_t>(id)));
    for (int32_t id = 0; id < n; ++id) ASSERT_FALSE(f.Announce(kAddress, kPort, id, 2000));
    // One more takes the place of id 0, the oldest; the others are still known.
    EXPECT_TRUE(f.Announce(kAddress, kPort, n, 3000));
    EXPECT_FALSE(f.Announce(kAddress, kPort, 1, 3000));
    EXPECT_FALSE(f.Announce(kAddress, kPort, n, 3000));
    EXPECT_TRUE(f.Announce(kAddress, kPort, 0, 3000));  // forgotten, so announced again; it evicts id 1
    EXPECT_FALSE(f.Announce(kAddress, kPort, 2, 3000));
    EXPECT_TRUE(f.Announce(kAddress, kPort, 1, 3000));
}
