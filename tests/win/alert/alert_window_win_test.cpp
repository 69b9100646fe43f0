// Real alert windows started by the alert pass, read back with Win32 calls
// and screen pixels.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "alert_test_support.h"

using namespace alert_test;

namespace {

class AlertWindowTest : public ::testing::Test, public AlertAppFixture {
protected:
    void SetUp() override {
        ini.Write("[usKarn_msgJp]\r\n"
                  "1=red,Cold start\r\n"
                  "2=orange,Warm start\r\n"
                  "3=green,Link up\r\n"
                  "4=GREEN,Power restored\r\n"
                  "5=no comma here\r\n"
                  "125=Red,outlet on\r\n");
    }

    // Runs a pass for one event and returns its window once it shows.
    HWND ShowOne(int32_t number, const std::string& from = "127.0.0.1") {
        const size_t before = ListedWindows().size();
        QueueEvent(number, from);
        EXPECT_EQ(RunPass(), 1);
        HWND window = nullptr;
        WaitFor([&] {
            auto listed = ListedWindows();
            if (listed.size() <= before && listed.size() < static_cast<size_t>(kMaxOpenAlerts)) return false;
            window = listed.back();
            return window && IsWindowVisible(window);
        });
        Sleep(150);  // the hide, pause and show of WM_INITDIALOG, and the repaint
        return window;
    }

    // Shows the alert on a thread of the test's own, to see the dialog's result.
    std::future<INT_PTR> ShowDirect(const AlertTexts& texts) {
        return std::async(std::launch::async,
                          [texts] { return ShowAlertWindow(AlertWindowJob{texts, AppWindows(), nullptr}); });
    }
};

HWND WaitForListedWindow(size_t index) {
    HWND w = nullptr;
    WaitFor([&] {
        auto listed = ListedWindows();
        if (listed.size() <= index) return false;
        w = listed[index];
        return w && IsWindowVisible(w);
    });
    return w;
}

}  // namespace

TEST_F(AlertWindowTest, ShowsTheTextsAtTheTopLeftAlwaysOnTop) {
    QueueEvent(124, "192.0.2.7", 4, 3, "");
    ASSERT_EQ(RunPass(), 1);
    HWND w = WaitForListedWindow(0);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(g_app->pendingEvents.Count() == 0);

    EXPECT_EQ(ControlText(w, IDC_ALERT_MESSAGE), "Outlet:3[none]outlet on");
    EXPECT_EQ(ControlText(w, IDC_ALERT_FROM), "From: 192.0.2.7");
    const std::string date = ControlText(w, IDC_ALERT_DATE);
    ASSERT_EQ(date.size(), 19u) << date;
    EXPECT_EQ(date[4], '/');
    EXPECT_EQ(date[13], ':');

    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_GT(r.right - r.left, 100);
    EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(VisibleAlertWindows(), std::vector<HWND>{w});
    EXPECT_EQ(LiveAlertWindowCount(), 1);
}

TEST_F(AlertWindowTest, ShowsARepeatInTheWindowOfItsTrapInEnglish) {
    CheckRepeatMergedIntoItsWindow(*this, 1, "usKarn_msgEng",
                                   "UPS on battery: the UPS is operating on battery power; "
                                   "it will shut down when the battery runs out unless power returns");
}

TEST_F(AlertWindowTest, EmptyTextsReplaceThePlaceholders) {
    QueueEvent(5, "");
    ASSERT_EQ(RunPass(), 1);
    HWND w = WaitForListedWindow(0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ControlText(w, IDC_ALERT_MESSAGE), "");
    EXPECT_EQ(ControlText(w, IDC_ALERT_FROM), "From: ");
}

TEST_F(AlertWindowTest, BackgroundIsTheAlertColour) {
    struct Case { int32_t number; COLORREF colour; const char* name; };
    const Case cases[] = {
        {1, kColourRed, "red"},        {2, kColourOrange, "orange"}, {3, kColourGreen, "green"},
        {4, kColourGreen, "GREEN"},    {5, kColourGreen, "no comma keeps green"},
        {99, kColourOrange, "fallback"},
    };
    for (const auto& c : cases) {
        HWND w = ShowOne(c.number);
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(BackgroundPixel(w), c.colour) << c.name;
        // The texts' own background is the alert colour too.
        RECT client{};
        GetClientRect(w, &client);
        EXPECT_EQ(ClientPixel(w, client.right - 4, 4), c.colour) << c.name;
    }
}

TEST_F(AlertWindowTest, TheNewestWindowCoversTheOlderOnes) {
    HWND red = ShowOne(1);
    HWND green = ShowOne(3);
    ASSERT_TRUE(red && green);
    RECT a{}, b{};
    GetWindowRect(red, &a);
    GetWindowRect(green, &b);
    EXPECT_TRUE(EqualRect(&a, &b));
    EXPECT_EQ(BackgroundPixel(green), kColourGreen);
}

TEST_F(AlertWindowTest, EnterEscAndTheCloseBoxEndTheDialogWithResultOne) {
    struct Way { const char* name; UINT message; WPARAM wParam; };
    const Way ways[] = {
        {"Enter", WM_KEYDOWN, VK_RETURN},
        {"Esc", WM_KEYDOWN, VK_ESCAPE},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
        {"close request", WM_COMMAND, 1},
    };
    for (const auto& way : ways) {
        const size_t index = ListedWindows().size();
        auto result = ShowDirect(AlertTexts{"2001/07/09 08:05:03", "From: 127.0.0.1", way.name, "red"});
        HWND w = WaitForListedWindow(index);
        ASSERT_NE(w, nullptr) << way.name;
        PostMessageA(w, way.message, way.wParam, 0);
        ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready) << way.name;
        EXPECT_EQ(result.get(), 1) << way.name;
        EXPECT_FALSE(IsWindow(w)) << way.name;
        auto listed = ListedWindows();
        ASSERT_EQ(listed.size(), index + 1) << way.name;
        EXPECT_EQ(listed.back(), nullptr) << way.name;  // entry stays, window forgotten
    }
}

TEST_F(AlertWindowTest, OtherCommandsLeaveTheWindowOpen) {
    auto result = ShowDirect(AlertTexts{"d", "f", "m", "green"});
    HWND w = WaitForListedWindow(0);
    ASSERT_NE(w, nullptr);
    PostMessageA(w, WM_COMMAND, IDC_ALERT_MESSAGE, 0);
    EXPECT_EQ(result.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    EXPECT_TRUE(IsWindow(w));
    RequestAlertClose(w);
    EXPECT_EQ(result.get(), 1);
}

TEST_F(AlertWindowTest, TheEleventhAlertClosesTheOldestWindow) {
    // The oldest is shown on the test's thread, to read its result.
    auto oldest = ShowDirect(AlertTexts{"d", "f", "oldest", "red"});
    HWND first = WaitForListedWindow(0);
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 9; ++i) QueueEvent(2, "127.0.0.1");
    ASSERT_EQ(RunPass(), 9);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 10 && VisibleAlertWindows().size() == 10; }));
    const std::vector<HWND> before = ListedWindows();
    for (HWND w : before) ASSERT_NE(w, nullptr);

    QueueEvent(3, "127.0.0.1");
    ASSERT_EQ(RunPass(), 1);
    ASSERT_EQ(oldest.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(oldest.get(), 1);
    ASSERT_TRUE(WaitFor([&] { return ListedWindows().size() == 10 && ListedWindows().back() != before.back(); }));
    const std::vector<HWND> after = ListedWindows();
    EXPECT_EQ(std::vector<HWND>(after.begin(), after.end() - 1), std::vector<HWND>(before.begin() + 1, before.end()));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(WaitFor([] { return VisibleAlertWindows().size() == 10; }));
}

TEST_F(AlertWindowTest, ClosedEntriesArePrunedBeforeAnyWindowIsClosed) {
    for (int i = 0; i < 10; ++i) QueueEvent(2, "127.0.0.1");
    ASSERT_EQ(RunPass(), 10);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 10 && VisibleAlertWindows().size() == 10; }));
    const std::vector<HWND> before = ListedWindows();
    for (int i : {1, 4, 8}) PostMessageA(before[i], WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([] { return VisibleAlertWindows().size() == 7; }));

    QueueEvent(1, "127.0.0.1");
    ASSERT_EQ(RunPass(), 1);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 8 && ListedWindows().back() != nullptr; }));
    const std::vector<HWND> after = ListedWindows();
    const std::vector<HWND> kept = {before[0], before[2], before[3], before[5], before[6], before[7], before[9]};
    EXPECT_EQ(std::vector<HWND>(after.begin(), after.begin() + 7), kept);
    EXPECT_EQ(VisibleAlertWindows().size(), 8u);
}

TEST_F(AlertWindowTest, EveryAlertThreadEndsAfterItsWindowCloses) {
    for (int i = 0; i < 3; ++i) QueueEvent(1, "127.0.0.1");
    ASSERT_EQ(RunPass(), 3);
    EXPECT_EQ(LiveAlertWindowCount(), 3);
    ASSERT_TRUE(WaitFor([] { return VisibleAlertWindows().size() == 3; }));
    CloseAllAlertWindows();
    EXPECT_EQ(LiveAlertWindowCount(), 0);
    EXPECT_NE(Dispatcher().lastThreadId, 0u);
    // The count drops as the thread's last action, just before it returns.
    HANDLE last = OpenThread(SYNCHRONIZE, FALSE, Dispatcher().lastThreadId);
    if (last) {
        EXPECT_EQ(WaitForSingleObject(last, 5000), WAIT_OBJECT_0);
        CloseHandle(last);
    }
}

TEST_F(AlertWindowTest, ShowsTextsWithoutTheApplicationStateAndStillCloses) {
    // A window without an open-alert list to join neither touches one nor
    // crashes; it keeps the system colours.
    AlertWindowJob job{{"2001/07/09 08:05:03", "From: 127.0.0.1", "late alert", "red"}, AppWindows(), nullptr};
    job.context.openAlerts = nullptr;
    auto result = std::async(std::launch::async, [&job] { return ShowAlertWindow(job); });
    HWND w = nullptr;
    const bool shown = WaitFor([&] {
        auto windows = VisibleAlertWindows();
        if (windows.empty()) return false;
        w = windows.front();
        return true;
    });
    if (shown) {
        EXPECT_EQ(ControlText(w, IDC_ALERT_MESSAGE), "late alert");
        Sleep(150);
        EXPECT_NE(BackgroundPixel(w), kColourRed);
        PostMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
    }
    const bool ended = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    ASSERT_TRUE(shown);
    ASSERT_TRUE(ended);
    EXPECT_EQ(result.get(), 1);
    EXPECT_EQ(g_app->openAlerts.Count(), 0u);
}
