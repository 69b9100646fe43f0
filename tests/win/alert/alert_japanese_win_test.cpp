// A Japanese catalogue text, stored in Shift-JIS, reaches the alert window
// byte for byte on a system whose ANSI code page is 932.
#include <gtest/gtest.h>

#include "alert_test_support.h"

using namespace alert_test;

namespace {
// "停電が発生しました" (a power failure has occurred) in Shift-JIS.
const char kPowerFailureSjis[] = "\x92\xe2\x93\x64\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// "コンセント" (outlet).
const char kOutletSjis[] = "\x83\x52\x83\x93\x83\x5a\x83\x93\x83\x67";
// "表示" (display): its second byte is 0x5C, a backslash in ASCII.
const char kDisplaySjis[] = "\x95\x5c\x8e\xa6";

class JapaneseAlert : public ::testing::Test, public AlertAppFixture {};
}  // namespace

TEST_F(JapaneseAlert, ShiftJisTextReachesTheWindowUnchanged) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    ini.Write(std::string("[usKarn_msgJp]\r\n3=red,") + kPowerFailureSjis + "\r\n" + "130=green," + kDisplaySjis +
              kOutletSjis + "\r\n");
    QueueEvent(3, "127.0.0.1");
    QueueEvent(130, "127.0.0.1", 0, 2, kOutletSjis);
    ASSERT_EQ(RunPass(), 2);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 2; }));
    const std::vector<HWND> windows = ListedWindows();
    Sleep(150);

    EXPECT_EQ(ControlText(windows[0], IDC_ALERT_MESSAGE), kPowerFailureSjis);
    EXPECT_EQ(ControlText(windows[1], IDC_ALERT_MESSAGE),
              std::string("Outlet:2[") + kOutletSjis + "]" + kDisplaySjis + kOutletSjis);
    // The Unicode text the control holds is the Japanese one.
    wchar_t wide[64] = {};
    GetDlgItemTextW(windows[0], IDC_ALERT_MESSAGE, wide, 64);
    EXPECT_EQ(std::wstring(wide), L"\u505c\u96fb\u304c\u767a\u751f\u3057\u307e\u3057\u305f");

    // The first window may finish its start-up after the second one (the
    // first use of the Japanese font is slow) and end up on top, so the
    // second one's colour is read once the first has gone.
    RequestAlertClose(windows[0]);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(windows[0]); }));
    Sleep(150);
    EXPECT_EQ(BackgroundPixel(windows[1]), kColourGreen);
}

TEST_F(JapaneseAlert, FullWidthColourNamesAreNotColours) {
    ASSERT_EQ(GetACP(), 932u);
    // Full-width "ｒｅｄ" is another name: orange.
    ini.Write("[usKarn_msgJp]\r\n1=\x82\x92\x82\x85\x82\x84,text\r\n");
    QueueEvent(1, "127.0.0.1");
    ASSERT_EQ(RunPass(), 1);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 1 && IsWindowVisible(ListedWindows()[0]); }));
    Sleep(150);
    EXPECT_EQ(BackgroundPixel(ListedWindows()[0]), kColourOrange);
}

TEST_F(JapaneseAlert, DateAndTimeFitOnTheDateLine) {
    ASSERT_EQ(GetACP(), 932u);
    ini.Write("[usKarn_msgJp]\r\n1=red,text\r\n");
    QueueEvent(1, "127.0.0.1");
    ASSERT_EQ(RunPass(), 1);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 1 && IsWindowVisible(ListedWindows()[0]); }));
    const std::string text = ControlText(ListedWindows()[0], IDC_ALERT_DATE);
    ASSERT_EQ(text.size(), 19u) << text;
    EXPECT_TRUE(FitsOnOneLine(GetDlgItem(ListedWindows()[0], IDC_ALERT_DATE), text));
}

TEST_F(JapaneseAlert, ARepeatFitsUnderTheMessageInItsWindow) {
    ASSERT_EQ(GetACP(), 932u);
    // "停電が発生しました" six times over: the message takes its whole area.
    CheckRepeatMergedIntoItsWindow(*this, 0, "usKarn_msgJp",
                                   std::string(kPowerFailureSjis) + kPowerFailureSjis + kPowerFailureSjis +
                                       kPowerFailureSjis + kPowerFailureSjis + kPowerFailureSjis);
}
