// The message catalogue read from real settings files with the
// private-profile API.
#include <gtest/gtest.h>

#include "alert/message_catalogue.h"
#include "alert_test_support.h"
#include "win/win32_profile_reader.h"

using alert_test::TempIni;

namespace {

class WinCatalogue : public ::testing::Test {
protected:
    std::string Lookup(int32_t language, int32_t n) {
        Win32ProfileReader reader(ini.Path());
        return LookupMessage(reader, language, n, colour);
    }
    TempIni ini;
    std::string colour = "previous";
};

}  // namespace

TEST_F(WinCatalogue, MissingFileSectionKeyOrEmptyValueGiveTheFallbackInOrange) {
    {
        Win32ProfileReader missing(ini.Path() + ".absent");
        EXPECT_EQ(LookupMessage(missing, 0, 14, colour), "Message No is 14");
        EXPECT_EQ(colour, "orange");
    }
    ini.Write("[usKarn_trap]\r\nport=162\r\n");
    colour = "red";
    EXPECT_EQ(Lookup(0, 3), "Message No is 3");
    EXPECT_EQ(colour, "orange");

    ini.Write("[usKarn_msgJp]\r\n1=red,cold\r\n2=\r\n");
    colour = "red";
    EXPECT_EQ(Lookup(0, 4), "Message No is 4");
    EXPECT_EQ(colour, "orange");
    colour = "green";
    EXPECT_EQ(Lookup(0, 2), "Message No is 2");
    EXPECT_EQ(colour, "orange");
}

TEST_F(WinCatalogue, ColourEndsAtTheFirstCommaAndBlanksInsideAreKept) {
    ini.Write("[usKarn_msgJp]\r\n"
              "4=green,a,b, c\r\n"
              "5=Red, text\r\n"
              "6=red ,x\r\n");
    EXPECT_EQ(Lookup(0, 4), "a,b, c");
    EXPECT_EQ(colour, "green");
    EXPECT_EQ(Lookup(0, 5), " text");
    EXPECT_EQ(colour, "Red");
    EXPECT_EQ(Lookup(0, 6), "x");
    EXPECT_EQ(colour, "red ");
}

TEST_F(WinCatalogue, ValueOver1023BytesIsCutBeforeItIsSplit) {
    ini.Write("[usKarn_msgJp]\r\n20=red," + std::string(1500, 'y') + "\r\n21=" + std::string(1023, 'x') +
              ",late comma\r\n");
    EXPECT_EQ(Lookup(0, 20), std::string(1019, 'y'));
    EXPECT_EQ(colour, "red");
    colour = "green";
    EXPECT_EQ(Lookup(0, 21), "");
    EXPECT_EQ(colour, "green");
}

TEST_F(WinCatalogue, LanguageChoosesTheSection) {
    ini.Write("[usKarn_msgEng]\r\n1=green,Cold start\r\n[usKarn_msgJp]\r\n1=red,\x83\x52\x81\x5B\x83\x8B\r\n");
    EXPECT_EQ(Lookup(1, 1), "Cold start");
    EXPECT_EQ(colour, "green");
    EXPECT_EQ(Lookup(0, 1), "\x83\x52\x81\x5B\x83\x8B");
    EXPECT_EQ(colour, "red");
    colour.clear();
    EXPECT_EQ(Lookup(2, 1), "\x83\x52\x81\x5B\x83\x8B");
    EXPECT_EQ(colour, "red");
}

TEST_F(WinCatalogue, NoCommaOrLeadingCommaKeepsThePreviousColour) {
    ini.Write("[usKarn_msgJp]\r\n1=red,first\r\n2=no comma\r\n3=,lead\r\n");
    EXPECT_EQ(Lookup(0, 1), "first");
    EXPECT_EQ(Lookup(0, 2), "");
    EXPECT_EQ(colour, "red");
    EXPECT_EQ(Lookup(0, 3), "");
    EXPECT_EQ(colour, "red");
}

TEST_F(WinCatalogue, AChangedFileShowsInTheNextLookup) {
    ini.Write("[usKarn_msgJp]\r\n7=red,old\r\n");
    EXPECT_EQ(Lookup(0, 7), "old");
    ini.Write("[usKarn_msgJp]\r\n7=green,new\r\n");
    EXPECT_EQ(Lookup(0, 7), "new");
    EXPECT_EQ(colour, "green");
}
