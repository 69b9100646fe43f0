#include "app/trap_app.h"

#include <gtest/gtest.h>

#include "alert/alert_list.h"

namespace {
struct CountedEntry : CAlertEntry {
    static int alive;
    explicit CountedEntry(void* w) : CAlertEntry(w) { ++alive; }
    ~CountedEntry() override { --alive; }
};
int CountedEntry::alive = 0;
}  // namespace

TEST(TrapAppLifetime, DestructionDeletesEveryOpenAlertEntryOnce) {
    auto* app = new CTrapApp();
    for (int i = 0; i < 3; ++i) app->pendingEvents.Append(new TrapEvent());
    for (int i = 0; i < 4; ++i) app->openAlerts.Append(new CountedEntry(reinterpret_cast<void*>(i + 1)));
    EXPECT_EQ(CountedEntry::alive, 4);
    delete app;  // pending events: the sanitizer build reports any left behind
    EXPECT_EQ(CountedEntry::alive, 0);
}

TEST(OsKind, FromVersionInformation) {
    EXPECT_EQ(OsKindFrom(1, 4), 1);   // Windows 9x
    EXPECT_EQ(OsKindFrom(2, 5), 2);   // Windows 2000 / XP
    EXPECT_EQ(OsKindFrom(2, 4), 0);   // NT 4
    EXPECT_EQ(OsKindFrom(2, 10), 0);  // later NT
}
