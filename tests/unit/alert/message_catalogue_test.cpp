#include "alert/message_catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "support/map_profile_reader.h"

TEST(AdjustMessageNumber, FollowsTheCodeRules) {
    struct Case { int32_t n, s, expected; };
    const Case cases[] = {
        {14, 4, 4},    {14, 3, 14},   {12, 2, 13},   {124, 4, 125}, {110, 2, 111}, {2, 2, 2},
        {10, 4, 10},   {15, 0, 4},    {11, 4, 12},   {14, 2, 4},    {13, 0, 13},   {-5, 4, -5},
        {130, 0, 130}, {57, 1, 57},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdjustMessageNumber(c.n, c.s), c.expected) << "n=" << c.n << " s=" << c.s;
}

class LookupMessageTest : public ::testing::Test {
protected:
    MapProfileReader reader;
    std::string colour = "previous";
};

TEST_F(LookupMessageTest, MissingKeySectionOrEmptyValueGiveTheFallbackInOrange) {
    EXPECT_EQ(LookupMessage(reader, 0, 14, colour), "Message No is 14");
    EXPECT_EQ(colour, "orange");

    reader.Set("usKarn_msgEng", "14", "red,English only");
    colour = "red";
    EXPECT_EQ(LookupMessage(reader, 0, 14, colour), "Message No is 14");  // no Japanese section
    EXPECT_EQ(colour, "orange");

    reader.Set("usKarn_msgJp", "3", "");
    colour = "green";
    EXPECT_EQ(LookupMessage(reader, 0, 3, colour), "Message No is 3");
    EXPECT_EQ(colour, "orange");

    EXPECT_EQ(LookupMessage(reader, 0, -7, colour), "Message No is -7");
}

TEST_F(LookupMessageTest, ColourEndsAtTheFirstCommaAndNothingIsTrimmed) {
    reader.Set("usKarn_msgJp", "4", "green,a, b,c");
    EXPECT_EQ(LookupMessage(reader, 0, 4, colour), "a, b,c");
    EXPECT_EQ(colour, "green");

    reader.Set("usKarn_msgJp", "5", "red , text ");
    EXPECT_EQ(LookupMessage(reader, 0, 5, colour), " text ");
    EXPECT_EQ(colour, "red ");

    reader.Set("usKarn_msgJp", "6", "Red,");
    EXPECT_EQ(LookupMessage(reader, 0, 6, colour), "");
    EXPECT_EQ(colour, "Red");
}

TEST_F(LookupMessageTest, NoCommaOrLeadingCommaKeepsTheColourAndGivesNoText) {
    reader.Set("usKarn_msgJp", "12", "just text");
    EXPECT_EQ(LookupMessage(reader, 0, 12, colour), "");
    EXPECT_EQ(colour, "previous");

    reader.Set("usKarn_msgJp", "13", ",text after a leading comma");
    EXPECT_EQ(LookupMessage(reader, 0, 13, colour), "");
    EXPECT_EQ(colour, "previous");
}

TEST_F(LookupMessageTest, ValueIsCutTo1023BytesBeforeItIsSplit) {
    // The comma sits at byte 1023, just past what is read.
    reader.Set("usKarn_msgJp", "20", std::string(1023, 'x') + ",text");
    EXPECT_EQ(LookupMessage(reader, 0, 20, colour), "");
    EXPECT_EQ(colour, "previous");

    const std::string text(2000, 'y');
    reader.Set("usKarn_msgJp", "21", "red," + text);
    const std::string got = LookupMessage(reader, 0, 21, colour);
    EXPECT_EQ(got, std::string(1023 - 4, 'y'));
    EXPECT_EQ(colour, "red");
}

TEST_F(LookupMessageTest, LanguageOneReadsEnglishAnyOtherJapanese) {
    reader.Set("usKarn_msgEng", "1", "green,Cold start");
    reader.Set("usKarn_msgJp", "1", "red,\x83\x52\x81\x5B\x83\x8B\x83\x68");  // Shift-JIS bytes
    EXPECT_EQ(LookupMessage(reader, 1, 1, colour), "Cold start");
    EXPECT_EQ(colour, "green");
    EXPECT_EQ(LookupMessage(reader, 0, 1, colour), "\x83\x52\x81\x5B\x83\x8B\x83\x68");
    EXPECT_EQ(colour, "red");
    colour.clear();
    EXPECT_EQ(LookupMessage(reader, 2, 1, colour), "\x83\x52\x81\x5B\x83\x8B\x83\x68");
    EXPECT_EQ(colour, "red");
}

TEST_F(LookupMessageTest, ReadsTheCatalogueAfreshEveryTime) {
    reader.Set("usKarn_msgJp", "2", "red,before");
    EXPECT_EQ(LookupMessage(reader, 0, 2, colour), "before");
    reader.Set("usKarn_msgJp", "2", "green,after");
    EXPECT_EQ(LookupMessage(reader, 0, 2, colour), "after");
    EXPECT_EQ(colour, "green");
    EXPECT_EQ(reader.reads, 2);
}

class FormatAlertTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (hadTz_) savedTz_ = tz;
        SetTz("UTC0");
    }
    void TearDown() override {
        if (hadTz_) SetTz(savedTz_.c_str());
        else {
#ifdef _WIN32
            _putenv("TZ=");
#else
            unsetenv("TZ");
#endif
        }
        tzset();
    }
    static void SetTz(const char* value) {
#ifdef _WIN32
        static std::string entry;
        entry = std::string("TZ=") + value;
        _putenv(entry.c_str());
#else
        setenv("TZ", value, 1);
#endif
        tzset();
    }

private:
    bool hadTz_ = false;
    std::string savedTz_;
};

TEST_F(FormatAlertTimeTest, FormatsLocalTimeWithPaddedFields) {
    EXPECT_EQ(FormatAlertTime(994665903), "2001/07/09 08:05:03");
    EXPECT_EQ(FormatAlertTime(1009843200), "2002/01/01 00:00:00");
    EXPECT_EQ(FormatAlertTime(0), "1970/01/01 00:00:00");
    EXPECT_EQ(FormatAlertTime(1009843199), "2001/12/31 23:59:59");
}

TEST_F(FormatAlertTimeTest, TimesPast2038UseTheFullWidthOfTimeT) {
    EXPECT_EQ(FormatAlertTime(static_cast<std::time_t>(4102444800LL)), "2100/01/01 00:00:00");
}

TEST_F(FormatAlertTimeTest, FollowsTheTimeZone) {
    SetTz("JST-9");
    EXPECT_EQ(FormatAlertTime(994665903), "2001/07/09 17:05:03");
}

TEST(OutletPrefix, NumberAndNameOrNone) {
    EXPECT_EQ(OutletPrefix(3, ""), "Outlet:3[none]");
    EXPECT_EQ(OutletPrefix(2, "Server A"), "Outlet:2[Server A]");
    EXPECT_EQ(OutletPrefix(-1, "x"), "Outlet:-1[x]");
    const std::string longName(3000, 'n');
    EXPECT_EQ(OutletPrefix(12, longName), "Outlet:12[" + longName + "]");
}
