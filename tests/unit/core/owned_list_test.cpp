#include "core/owned_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Counted {
    static std::atomic<int> alive;  // made and freed on different threads
    int value;
    explicit Counted(int v) : value(v) { ++alive; }
    ~Counted() { --alive; }
};
std::atomic<int> Counted::alive{0};

std::vector<int> Values(OwnedList<Counted>& list) {
    std::vector<int> out;
    for (auto* n = list.Head(); n; n = list.Next(n)) out.push_back(n->item->value);
    return out;
}

}  // namespace

TEST(OwnedList, AppendsAtTailAndUnlinksAnywhere) {
    {
        OwnedList<Counted> list;
        for (int i = 1; i <= 4; ++i) list.Append(new Counted(i));
        EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3, 4}));

        auto* second = list.Next(list.Head());
        delete list.Unlink(second);  // middle
        EXPECT_EQ(Values(list), (std::vector<int>{1, 3, 4}));
        delete list.Unlink(list.Head());  // head
        auto* last = list.Next(list.Head());
        delete list.Unlink(last);  // tail
        EXPECT_EQ(Values(list), (std::vector<int>{3}));
        list.Append(new Counted(5));  // tail link is right after unlinking the old tail
        EXPECT_EQ(Values(list), (std::vector<int>{3, 5}));
        EXPECT_EQ(list.Count(), 2u);
        EXPECT_EQ(Counted::alive, 2);
    }
    EXPECT_EQ(Counted::alive, 0) << "destroying the owner frees every element once";
}

TEST(OwnedList, ElementAppendedDuringWalkIsReachedWhenSuccessorNotYetTaken) {
    OwnedList<Counted> list;
    list.Append(new Counted(1));
    auto* node = list.Head();
    list.Append(new Counted(2));  // appended before the successor is read
    auto* next = list.Next(node);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->item->value, 2);
    delete list.Unlink(node);
    auto* after = list.Next(next);
    list.Append(new Counted(3));  // appended after the successor was read: next walk
    EXPECT_EQ(after, nullptr);
    EXPECT_EQ(Values(list), (std::vector<int>{2, 3}));
}

TEST(OwnedList, ProducerAndConsumerKeepOrderAndLoseNothing) {
    OwnedList<Counted> list;
    constexpr int kCount = 20000;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        for (int i = 0; i < kCount; ++i) list.Append(new Counted(i));
        done = true;
    });
    std::vector<int> seen;
    while (!done || list.Head()) {
        for (auto* n = list.Head(); n;) {
            auto* next = list.Next(n);
            Counted* c = list.Unlink(n);
            seen.push_back(c->value);
            delete c;
            n = next;
        }
    }
    producer.join();
    ASSERT_EQ(seen.size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(seen[i], i);
    EXPECT_EQ(Counted::alive, 0);
}
