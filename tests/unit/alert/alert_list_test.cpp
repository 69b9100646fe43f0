#include "alert/alert_list.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

void* Window(int i) { return reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 + i)); }

// Appends entries for windows 1..count; the listed ones as already closed.
void Fill(AlertList& list, int count, std::vector<int> closed = {}) {
    for (int i = 1; i <= count; ++i) {
        bool isClosed = false;
        for (int c : closed) isClosed |= c == i;
        list.Append(new CAlertEntry(isClosed ? nullptr : Window(i)));
    }
}

std::vector<void*> Windows(AlertList& list) {
    std::vector<void*> out;
    for (auto* n = list.Head(); n; n = list.Next(n)) out.push_back(n->item->window);
    return out;
}

}  // namespace

TEST(TrimAlertList, TenOpenClosesTheOldestAndLeavesNine) {
    AlertList list;
    Fill(list, 10);
    EXPECT_EQ(TrimAlertList(list), (std::vector<void*>{Window(1)}));
    ASSERT_EQ(list.Count(), 9u);
    EXPECT_EQ(Windows(list).front(), Window(2));
    EXPECT_EQ(Windows(list).back(), Window(10));
}

TEST(TrimAlertList, ClosedEntriesArePrunedBeforeAnyWindowIsClosed) {
    AlertList list;
    Fill(list, 10, {2, 5, 9});
    EXPECT_TRUE(TrimAlertList(list).empty());
    EXPECT_EQ(Windows(list), (std::vector<void*>{Window(1), Window(3), Window(4), Window(6), Window(7),
                                                 Window(8), Window(10)}));
}

TEST(TrimAlertList, FewerThanTenEntriesAreLeftAloneClosedOnesIncluded) {
    AlertList list;
    Fill(list, 9, {1, 4});
    EXPECT_TRUE(TrimAlertList(list).empty());
    EXPECT_EQ(list.Count(), 9u);
    EXPECT_EQ(Windows(list)[0], nullptr);
}

TEST(TrimAlertList, OverfullListIsTrimmedToNineOldestFirst) {
    // Several windows that started at once can leave more than ten entries.
    AlertList list;
    Fill(list, 13, {1});
    EXPECT_EQ(TrimAlertList(list), (std::vector<void*>{Window(2), Window(3), Window(4)}));
    EXPECT_EQ(list.Count(), 9u);
    EXPECT_EQ(Windows(list).front(), Window(5));
}

TEST(AlertColour, NamesInAnyCaseOthersOrange) {
    EXPECT_EQ(AlertColourFor("red", 1252), kColourRed);
    EXPECT_EQ(AlertColourFor("ReD", 932), kColourRed);
    EXPECT_EQ(AlertColourFor("GREEN", 932), kColourGreen);
    EXPECT_EQ(AlertColourFor("orange", 932), kColourOrange);
    EXPECT_EQ(AlertColourFor("", 932), kColourOrange);
    EXPECT_EQ(AlertColourFor("red ", 932), kColourOrange);
    EXPECT_EQ(AlertColourFor("blue", 1252), kColourOrange);
    EXPECT_EQ(AlertColourFor("\x82\x71\x82\x85\x82\x84", 932), kColourOrange);  // full-width "Red"
}

TEST(AlertColour, LastEntryForTheWindowWinsUnknownWindowIsOrange) {
    AlertList list;
    auto* first = new CAlertEntry(Window(1));
    first->SetColour(kColourRed);
    auto* other = new CAlertEntry(Window(2));
    other->SetColour(kColourGreen);
    auto* again = new CAlertEntry(Window(1));
    again->SetColour(kColourGreen);
    list.Append(first);
    list.Append(other);
    EXPECT_EQ(LookupAlertColour(list, Window(1)), kColourRed);
    list.Append(again);
    EXPECT_EQ(LookupAlertColour(list, Window(1)), kColourGreen);
    EXPECT_EQ(LookupAlertColour(list, Window(3)), kColourOrange);
    EXPECT_EQ(CAlertEntry(Window(4)).colour, kColourOrange);
}

TEST(AlertColour, ForgottenWindowKeepsItsEntryButPaintsOrange) {
    AlertList list;
    Fill(list, 3);
    for (auto* n = list.Head(); n; n = list.Next(n)) n->item->SetColour(kColourRed);
    ForgetAlertEntry(list, Window(2));
    EXPECT_EQ(Windows(list), (std::vector<void*>{Window(1), nullptr, Window(3)}));
    EXPECT_EQ(LookupAlertColour(list, Window(2)), kColourOrange);
    EXPECT_EQ(LookupAlertColour(list, Window(3)), kColourRed);
}

TEST(TrimAlertList, ConcurrentTrimsAndAppendsKeepTheListConsistent) {
    AlertList list;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&list, t] {
            for (int i = 0; i < 500; ++i) {
                TrimAlertList(list);
                list.Append(new CAlertEntry(Window(t * 1000 + i)));
                if (i % 3 == 0) ForgetAlertEntry(list, Window(t * 1000 + i));
                LookupAlertColour(list, Window(i));
            }
        });
    for (auto& th : threads) th.join();
    TrimAlertList(list);
    // Each thread's trim brings the list to nine before its append.
    EXPECT_LE(list.Count(), 9u);
    EXPECT_EQ(Windows(list).size(), list.Count());
}
