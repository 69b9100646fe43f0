#include "alert/alert_history.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "alert/message_catalogue.h"

namespace {
std::string Same(const std::string& s) { return s; }

// Sets TZ for one test and puts the old value back.
class ScopedTz {
public:
    explicit ScopedTz(const char* value) {
        if (const char* old = std::getenv("TZ")) old_ = old, had_ = true;
        Set(value);
    }
    ~ScopedTz() { had_ ? Set(old_.c_str()) : Set(nullptr); }

private:
    static void Set(const char* value) {
#ifdef _WIN32
        _putenv_s("TZ", value ? value : "");
        _tzset();
#else
        value ? setenv("TZ", value, 1) : unsetenv("TZ");
        tzset();
#endif
    }
    std::string old_;
    bool had_ = false;
};

constexpr std::time_t k2002 = 1009843200;  // 2002-01-01 00:00:00 UTC
}  // namespace

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField("UPS on battery"), "UPS on battery");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
}

TEST(IsoLocalTime, OffsetAgreesWithTheWindowsDateText) {
    {
        ScopedTz tz("JST-9");
        EXPECT_EQ(IsoLocalTime(k2002), "2002-01-01T09:00:00+09:00");
        EXPECT_EQ(FormatAlertTime(k2002), "2002/01/01 09:00:00");
    }
    {
        // West of UTC the local date is the day before.
        ScopedTz tz("EST5");
        EXPECT_EQ(IsoLocalTime(k2002), "2001-12-31T19:00:00-05:00");
    }
    {
        ScopedTz tz("IST-5:30");
        EXPECT_EQ(IsoLocalTime(k2002), "2002-01-01T05:30:00+05:30");
    }
}

TEST(HistoryLine, ColumnsInOrderWithTheAddressAloneTheTextQuotedAndTheNameLast) {
    ScopedTz tz("GMT0");
    AlertTexts texts;
    texts.dateText = "2002/01/01 00:00:00";
    texts.senderLine = "From: 192.0.2.7";
    texts.messageText = "Outlet:2[A, \"B\"]off";
    texts.colourName = "red";
    EXPECT_EQ(HistoryLine(texts, k2002, 125, 4, Same),
              "2002-01-01T00:00:00+00:00,192.0.2.7,125,4,red,\"Outlet:2[A, \"\"B\"\"]off\",\r\n");
    // A named sender: the name last, defused and quoted like the texts.
    texts.senderName = "=Rack, 4";
    EXPECT_EQ(HistoryLine(texts, k2002, 125, 4, Same),
              "2002-01-01T00:00:00+00:00,192.0.2.7,125,4,red,\"Outlet:2[A, \"\"B\"\"]off\",\"'=Rack, 4\"\r\n");
}

TEST(HistoryNeedsRotation, OnlyWhenTheRecordWouldPassTheLimit) {
    EXPECT_FALSE(HistoryNeedsRotation(kHistoryLimitBytes - 10, 10));
    EXPECT_TRUE(HistoryNeedsRotation(kHistoryLimitBytes - 10, 11));
    // A single oversized record still goes into a new, empty file.
    EXPECT_FALSE(HistoryNeedsRotation(0, kHistoryLimitBytes + 1));
}
