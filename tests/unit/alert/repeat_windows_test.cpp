// Which traps an open alert window takes as repeats, and that a closing
// window takes none.
#include "alert/repeat_windows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "snmp/trap_records.h"

namespace {

TrapEvent Event(const std::string& from, int32_t outlet = 0, const std::string& outletName = "") {
    TrapEvent e;
    e.fromText = from;
    e.outletNumber = outlet;
    e.outletName = outletName;
    return e;
}

// Merges one arrival of key; true when an open window took it.
bool Merge(RepeatWindows& windows, const RepeatKey& key) {
    return windows.Merge(key, "2026/12/08 10:42:13", 1, [](void*) {});
}

// The record of a window of key that is up, with handle as its window.
std::shared_ptr<RepeatWindow> OpenWindowOf(RepeatWindows& windows, const RepeatKey& key, int& handle) {
    auto record = windows.Open(key);
    windows.Attach(*record, &handle);
    return record;
}

}  // namespace

TEST(RepeatWindows, SameSenderNumberAndOutletMergeAnythingElseOpensItsOwn) {
    RepeatWindows windows;
    auto ups = windows.Open(RepeatKeyOf(Event("192.0.2.10"), 3));
    auto outlet = windows.Open(RepeatKeyOf(Event("192.0.2.21", 3, "Rack"), 121));

    EXPECT_TRUE(Merge(windows, RepeatKeyOf(Event("192.0.2.10"), 3)));
    EXPECT_TRUE(Merge(windows, RepeatKeyOf(Event("192.0.2.21", 3, "Rack"), 121)));
    EXPECT_FALSE(Merge(windows, RepeatKeyOf(Event("192.0.2.11"), 3))) << "another sender";
    EXPECT_FALSE(Merge(windows, RepeatKeyOf(Event("192.0.2.10"), 14))) << "another message";
    EXPECT_FALSE(Merge(windows, RepeatKeyOf(Event("192.0.2.21", 4, "Rack"), 121))) << "another outlet";
    EXPECT_FALSE(Merge(windows, RepeatKeyOf(Event("192.0.2.21", 3, "Desk"), 121))) << "another outlet name";
    // Outside the outlet messages the outlet fields are not shown, so a
    // change in them is the same alert.
    EXPECT_TRUE(Merge(windows, RepeatKeyOf(Event("192.0.2.10", 7, "x"), 3)));

    EXPECT_EQ(windows.CountOf(*ups), 3u);
    EXPECT_EQ(windows.CountOf(*outlet), 2u);
}

TEST(RepeatWindows, AClosedWindowTakesNoRepeatsAndCloseMayComeTwice) {
    RepeatWindows windows;
    const RepeatKey key = RepeatKeyOf(Event("192.0.2.10"), 3);
    int handle = 0;
    auto first = OpenWindowOf(windows, key, handle);
    windows.Close(*first);
    windows.Close(*first);
    EXPECT_FALSE(Merge(windows, key));
    EXPECT_EQ(windows.OpenCount(), 0u);

    auto second = windows.Open(key);
    EXPECT_TRUE(Merge(windows, key));
    EXPECT_EQ(windows.CountOf(*second), 2u);
    EXPECT_EQ(windows.CountOf(*first), 1u);
}

// The alert thread merges while the window's thread closes: every merge
// that was accepted is counted in the window, and once Close has returned
// no repeat is handed to the window's handle any more (it may be destroyed).
TEST(RepeatWindows, NoRepeatReachesAWindowOnceItHasClosed) {
    RepeatWindows windows;
    const RepeatKey key = RepeatKeyOf(Event("192.0.2.10"), 3);
    int handle = 0;
    auto record = OpenWindowOf(windows, key, handle);

    std::atomic<bool> closed{false};
    std::atomic<int> lateRaises{0};
    uint32_t merged = 0;
    std::thread alertThread([&] {
        for (int i = 0; i < 20000; ++i) {
            const bool took = windows.Merge(key, "t", 1, [&](void* w) {
                if (closed.load() || w != &handle) ++lateRaises;
            });
            if (took) ++merged;
        }
    });
    while (windows.CountOf(*record) < 50) std::this_thread::yield();
    windows.Close(*record);
    closed = true;
    alertThread.join();

    EXPECT_EQ(lateRaises.load(), 0);
    EXPECT_EQ(windows.CountOf(*record), 1 + merged);
}
