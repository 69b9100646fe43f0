#include "alert/alert_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "alert/message_catalogue.h"
#include "alert/repeat_windows.h"
#include "core/work_gate.h"
#include "support/map_profile_reader.h"

namespace {

// Records every platform call in order and keeps the texts each started
// window thread was given.
class RecordingPlatform final : public AlertPlatform {
public:
    void DismissScreenSaver() override { calls.push_back("saver"); }
    void Beep() override { calls.push_back("beep"); }
    bool StartAlertWindow(AlertTexts* texts, std::shared_ptr<RepeatWindow> repeat) override {
        calls.push_back("start");
        if (failStarts) {
            delete texts;
            return false;
        }
        started.emplace_back(texts);
        repeats.push_back(std::move(repeat));
        return true;
    }
    void RaiseRepeatedWindow(void* window) override { raised.push_back(window); }
    void Pause(int ms) override { calls.push_back("pause " + std::to_string(ms)); }
    void RecordAlert(const AlertTexts& texts, std::time_t arrival, int32_t n, int32_t specific) override {
        records.push_back(texts.messageText + "|" + std::to_string(arrival) + "|" + std::to_string(n) + "|" +
                          std::to_string(specific));
    }

    std::vector<std::string> calls;
    std::vector<std::string> records;
    std::vector<std::unique_ptr<AlertTexts>> started;
    std::vector<std::shared_ptr<RepeatWindow>> repeats;  // each started window's record
    std::vector<void*> raised;
    bool failStarts = false;
};

// Lets a number of Enter() calls through, then refuses; checks balance.
class CountingGate final : public WorkGate {
public:
    explicit CountingGate(int allowed) : allowed_(allowed) {}
    bool Enter() override {
        if (allowed_-- <= 0) return false;
        ++inside;
        return true;
    }
    void Leave() override { --inside; }
    int inside = 0;

private:
    int allowed_;
};

class RunAlertPassTest : public ::testing::Test {
public:
    // Events are plain records: that each is freed exactly once is checked
    // by the sanitizer build (leaks, double frees), the queue count here.
    void TearDown() override { queue.FreeAll(); }

    TrapEvent* Queue(int32_t number, int32_t code, const std::string& from = "192.0.2.1",
                        int32_t outlet = 0, const std::string& outletName = "") {
        auto* e = new TrapEvent;
        e->arrivalTime = 1009843200;  // 2002-01-01 00:00:00 UTC
        e->fromText = from;
        e->messageNumber = number;
        e->specificCode = code;
        e->outletNumber = outlet;
        e->outletName = outletName;
        queue.Append(e);
        return e;
    }

    int Run(WorkGate& gate) { return RunAlertPass(dispatcher, queue, catalogue, 0, platform, gate); }
    int Run() {
        OpenGate gate;
        return Run(gate);
    }
    // As with mergeRepeats=1.
    int RunMerging() {
        OpenGate gate;
        return RunAlertPass(dispatcher, queue, catalogue, 0, platform, gate, &repeats);
    }
    std::size_t Count(const std::string& call) const {
        return static_cast<std::size_t>(std::count(platform.calls.begin(), platform.calls.end(), call));
    }

    CAlertDispatcher dispatcher;
    TrapEventQueue queue;
    MapProfileReader catalogue;
    RecordingPlatform platform;
    RepeatWindows repeats;
};

}  // namespace

TEST_F(RunAlertPassTest, EmptyQueueDoesNothing) {
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(catalogue.reads, 0);
}

TEST_F(RunAlertPassTest, ThreeEventsInQueueOrderWithOneScreenSaverDismissal) {
    catalogue.Set("usKarn_msgJp", "1", "green,one");
    catalogue.Set("usKarn_msgJp", "2", "red,two");
    catalogue.Set("usKarn_msgJp", "3", "orange,three");
    Queue(1, 0, "10.0.0.1");
    Queue(2, 0, "10.0.0.2");
    Queue(3, 0, "10.0.0.3");

    EXPECT_EQ(Run(), 3);

    const std::vector<std::string> expected = {"saver", "beep", "start", "pause 200", "beep", "start",
                                               "pause 200", "beep", "start", "pause 200"};
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(queue.Count(), 0u);
    ASSERT_EQ(platform.started.size(), 3u);
    EXPECT_EQ(platform.started[0]->messageText, "one");
    EXPECT_EQ(platform.started[0]->senderLine, "From: 10.0.0.1");
    EXPECT_EQ(platform.started[1]->messageText, "two");
    EXPECT_EQ(platform.started[1]->colourName, "red");
    EXPECT_EQ(platform.started[2]->senderLine, "From: 10.0.0.3");
    EXPECT_EQ(platform.started[2]->colourName, "orange");
    EXPECT_FALSE(platform.started[0]->dateText.empty());
}

// The name goes beside the sender line, which stays the From text's own, and
// an unnamed sender after a named one gets no name carried over.
TEST_F(RunAlertPassTest, NamedSenderGetsItsNameAndTheNextSenderNone) {
    MapProfileReader file;
    file.Set("usKarn_names", "10.0.0.1", "Server room UPS");
    DeviceNames names;
    names.Load(file, 1252);
    dispatcher.deviceNames = &names;
    Queue(1, 0, "10.0.0.1");
    Queue(1, 0, "10.0.0.2");

    EXPECT_EQ(Run(), 2);
    ASSERT_EQ(platform.started.size(), 2u);
    EXPECT_EQ(platform.started[0]->senderLine, "From: 10.0.0.1");
    EXPECT_EQ(platform.started[0]->senderName, "Server room UPS");
    EXPECT_EQ(platform.started[1]->senderLine, "From: 10.0.0.2");
    EXPECT_EQ(platform.started[1]->senderName, "");
}

TEST_F(RunAlertPassTest, EventIsFreedOnlyAfterItsPause) {
    // The event must still be queued while the pause after its thread start runs.
    class PeekingPlatform final : public AlertPlatform {
    public:
        explicit PeekingPlatform(TrapEventQueue& q) : q_(q) {}
        void DismissScreenSaver() override {}
        void Beep() override {}
        bool StartAlertWindow(AlertTexts* texts, std::shared_ptr<RepeatWindow>) override {
            delete texts;
            return true;
        }
        void RaiseRepeatedWindow(void*) override {}
        void Pause(int) override { countsDuringPause.push_back(q_.Count()); }
        void RecordAlert(const AlertTexts&, std::time_t, int32_t, int32_t) override {}
        std::vector<size_t> countsDuringPause;

    private:
        TrapEventQueue& q_;
    } peeking(queue);
    Queue(1, 0);
    Queue(2, 0);
    OpenGate gate;
    RunAlertPass(dispatcher, queue, catalogue, 0, peeking, gate);
    EXPECT_EQ(peeking.countsDuringPause, (std::vector<size_t>{2, 1}));
}

TEST_F(RunAlertPassTest, MessageNumbersAreAdjustedBeforeLookupAndOutletCheck) {
    catalogue.Set("usKarn_msgJp", "4", "red,key four");
    catalogue.Set("usKarn_msgJp", "14", "red,key fourteen");
    catalogue.Set("usKarn_msgJp", "125", "green,outlet on");
    catalogue.Set("usKarn_msgJp", "110", "red,switched");
    catalogue.Set("usKarn_msgJp", "130", "red,outlet off");
    Queue(14, 4);
    Queue(14, 3);
    Queue(124, 4, "h", 5, "Rack 1");
    Queue(130, 0, "h", 2, "");
    Queue(110, 0, "h", 7, "named");

    Run();

    ASSERT_EQ(platform.started.size(), 5u);
    EXPECT_EQ(platform.started[0]->messageText, "key four");
    EXPECT_EQ(platform.started[1]->messageText, "key fourteen");
    EXPECT_EQ(platform.started[2]->messageText, "Outlet:5[Rack 1]outlet on");
    EXPECT_EQ(platform.started[3]->messageText, "Outlet:2[none]outlet off");
    EXPECT_EQ(platform.started[4]->messageText, "switched");
    // The history gets the shown text (prefix included) under the adjusted
    // number, with the trap's own specific code.
    const std::vector<std::string> records = {
        "key four|1009843200|4|4", "key fourteen|1009843200|14|3", "Outlet:5[Rack 1]outlet on|1009843200|125|4",
        "Outlet:2[none]outlet off|1009843200|130|0", "switched|1009843200|110|0"};
    EXPECT_EQ(platform.records, records);
}

TEST_F(RunAlertPassTest, OutletPrefixAlsoPrecedesFallbackAndEmptyTexts) {
    catalogue.Set("usKarn_msgJp", "121", "no comma here");
    Queue(139, 0, "h", 1, "A");
    Queue(121, 0, "h", 3, "");
    Queue(140, 0, "h", 3, "");
    Run();
    ASSERT_EQ(platform.started.size(), 3u);
    EXPECT_EQ(platform.started[0]->messageText, "Outlet:1[A]Message No is 139");
    EXPECT_EQ(platform.started[1]->messageText, "Outlet:3[none]");
    EXPECT_EQ(platform.started[2]->messageText, "Message No is 140");
}

TEST_F(RunAlertPassTest, ColourCarriesOverWhenTheValueHasNoComma) {
    catalogue.Set("usKarn_msgJp", "1", "red,first");
    catalogue.Set("usKarn_msgJp", "2", "plain text");
    Queue(1, 0);
    Queue(2, 0);
    Run();
    ASSERT_EQ(platform.started.size(), 2u);
    EXPECT_EQ(platform.started[1]->colourName, "red");
    EXPECT_EQ(platform.started[1]->messageText, "");

    // ...and across passes, since the dispatcher keeps the current texts.
    Queue(2, 0);
    Run();
    ASSERT_EQ(platform.started.size(), 3u);
    EXPECT_EQ(platform.started[2]->colourName, "red");
}

TEST_F(RunAlertPassTest, EachThreadGetsItsOwnCopy) {
    catalogue.Set("usKarn_msgJp", "1", "green,first");
    catalogue.Set("usKarn_msgJp", "2", "red,second");
    Queue(1, 0, "a");
    Queue(2, 0, "b");
    Run();
    ASSERT_EQ(platform.started.size(), 2u);
    EXPECT_NE(platform.started[0].get(), platform.started[1].get());
    EXPECT_NE(platform.started[0].get(), &dispatcher.current);
    EXPECT_EQ(platform.started[0]->messageText, "first");
    EXPECT_EQ(platform.started[0]->colourName, "green");
    EXPECT_EQ(dispatcher.current.messageText, "second");
    dispatcher.current.messageText = "changed later";
    EXPECT_EQ(platform.started[1]->messageText, "second");
}

TEST_F(RunAlertPassTest, FailedThreadStartStillPausesAndFreesTheEvent) {
    platform.failStarts = true;
    Queue(1, 0);
    Queue(2, 0);
    Run();
    const std::vector<std::string> expected = {"saver", "beep", "start", "pause 200", "beep", "start", "pause 200"};
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(queue.Count(), 0u);
}

TEST_F(RunAlertPassTest, GateRefusalStopsBetweenEvents) {
    Queue(1, 0);
    Queue(2, 0);
    Queue(3, 0);
    CountingGate gate(3);  // the screen saver, then one whole event: announce, unlink
    EXPECT_EQ(Run(gate), 1);
    EXPECT_EQ(gate.inside, 0);
    EXPECT_EQ(platform.started.size(), 1u);
    EXPECT_EQ(queue.Count(), 2u);
    EXPECT_EQ(queue.Head()->item->messageNumber, 2);
}

TEST_F(RunAlertPassTest, GateRefusalAfterThePauseLeavesTheEventQueued) {
    Queue(1, 0);
    Queue(2, 0);
    CountingGate gate(2);  // the screen saver and the first announcement
    EXPECT_EQ(Run(gate), 1);
    EXPECT_EQ(gate.inside, 0);
    EXPECT_EQ(queue.Count(), 2u);  // freed later by the queue's owner, never twice
}

TEST_F(RunAlertPassTest, RefusedAtOnceAnnouncesNothing) {
    Queue(1, 0);
    CountingGate gate(0);
    EXPECT_EQ(Run(gate), 0);
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(queue.Count(), 1u);
}

TEST_F(RunAlertPassTest, EventAppendedDuringThePassIsReachedWhenItsPredecessorIsStillQueued) {
    // An event appended while the pass pauses on the last event is left for the next pass
    // because the successor was noted before.
    class AppendingPlatform final : public AlertPlatform {
    public:
        explicit AppendingPlatform(RunAlertPassTest& t) : t_(t) {}
        void DismissScreenSaver() override {}
        void Beep() override {}
        bool StartAlertWindow(AlertTexts* texts, std::shared_ptr<RepeatWindow>) override {
            messages.push_back(texts->messageText);
            delete texts;
            return true;
        }
        void RaiseRepeatedWindow(void*) override {}
        void Pause(int) override {
            if (!appended) t_.Queue(2, 0);
            appended = true;
        }
        void RecordAlert(const AlertTexts&, std::time_t, int32_t, int32_t) override {}
        std::vector<std::string> messages;
        bool appended = false;

    private:
        RunAlertPassTest& t_;
    } appending(*this);
    Queue(1, 0);
    OpenGate gate;
    EXPECT_EQ(RunAlertPass(dispatcher, queue, catalogue, 0, appending, gate), 1);
    EXPECT_EQ(appending.messages, (std::vector<std::string>{"Message No is 1"}));
    EXPECT_EQ(queue.Count(), 1u);
}

TEST_F(RunAlertPassTest, RepeatsOfAnOpenWindowAreMergedYetEachIsBeepedAndRecorded) {
    catalogue.Set("usKarn_msgJp", "3", "red,on battery");
    for (int i = 0; i < 5; ++i) Queue(3, 1, "192.0.2.10")->arrivalTime += i * 60;
    Queue(3, 1, "192.0.2.11");  // another device's alert

    EXPECT_EQ(RunMerging(), 6);

    EXPECT_EQ(Count("beep"), 6u);
    EXPECT_EQ(platform.records.size(), 6u);
    ASSERT_EQ(platform.started.size(), 2u) << "one window per device";
    EXPECT_EQ(platform.started[1]->senderLine, "From: 192.0.2.11");
    ASSERT_NE(platform.repeats[0], nullptr);
    EXPECT_EQ(repeats.CountOf(*platform.repeats[0]), 5u);
    EXPECT_EQ(repeats.CountOf(*platform.repeats[1]), 1u);
    EXPECT_EQ(repeats.LineOf(*platform.repeats[1]), "") << "a single trap shows no repeat line";
    // The line names the count and the time of the latest arrival, not the first.
    EXPECT_EQ(repeats.LineOf(*platform.repeats[0]), RepeatLineText(5, FormatAlertTime(1009843200 + 4 * 60), 0));
    // Neither window existed yet, so there was none to raise.
    EXPECT_TRUE(platform.raised.empty());

    // Once the window is up, a repeat raises it.
    int window = 0;
    repeats.Attach(*platform.repeats[0], &window);
    Queue(3, 1, "192.0.2.10");
    RunMerging();
    EXPECT_EQ(platform.raised, std::vector<void*>{&window});
    EXPECT_EQ(platform.started.size(), 2u);
    EXPECT_EQ(repeats.CountOf(*platform.repeats[0]), 6u);
}

TEST_F(RunAlertPassTest, WithoutMergingEveryRepeatOpensItsOwnWindow) {
    Queue(3, 1, "192.0.2.10");
    Queue(3, 1, "192.0.2.10");
    Queue(3, 1, "192.0.2.10");
    Run();
    EXPECT_EQ(platform.started.size(), 3u);
    for (const auto& repeat : platform.repeats) EXPECT_EQ(repeat, nullptr);
    EXPECT_EQ(repeats.OpenCount(), 0u);
}

TEST_F(RunAlertPassTest, AfterItsWindowClosesATrapOpensANewWindow) {
    Queue(3, 1, "192.0.2.10");
    RunMerging();
    ASSERT_EQ(platform.repeats.size(), 1u);
    repeats.Close(*platform.repeats[0]);
    Queue(3, 1, "192.0.2.10");
    RunMerging();
    ASSERT_EQ(platform.started.size(), 2u);
    EXPECT_NE(platform.repeats[1], platform.repeats[0]);
    EXPECT_EQ(repeats.CountOf(*platform.repeats[1]), 1u);
}

TEST_F(RunAlertPassTest, AWindowThatDidNotStartTakesNoRepeats) {
    platform.failStarts = true;
    Queue(3, 1, "192.0.2.10");
    RunMerging();
    EXPECT_EQ(repeats.OpenCount(), 0u);
    platform.failStarts = false;
    Queue(3, 1, "192.0.2.10");
    RunMerging();
    EXPECT_EQ(Count("start"), 2u) << "the repeat must open the window the first could not";
    EXPECT_EQ(platform.started.size(), 1u);
}
