#include "kalbrit/history_table.h"

#include <gtest/gtest.h>

#include "alert/alert_history.h"

namespace {
std::string Same(const std::string& s) { return s; }
}  // namespace

TEST(ParseHistory, ReadsBackWhatDovrelWrites) {
    AlertTexts texts;
    texts.senderLine = "From: 192.0.2.7";
    texts.colourName = "Green";
    texts.messageText = "Outlet:2[A, \"B\"]\r\nnext line";
    std::string file = HistoryFileHead() + HistoryLine(texts, 0, 125, 4, Same);
    file += "2002-01-01T00:00:00+09:00,192.0.2.8,1,1,red,unfini";  // still being written

    const auto entries = ParseHistory(file);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].sender, "192.0.2.7");
    EXPECT_EQ(entries[0].text, texts.messageText);
    EXPECT_EQ(entries[0].colour, "Green");
}

// A text a spreadsheet would run as a formula is written with a leading
// apostrophe, and the view shows exactly the text of the alert.
TEST(ParseHistory, FormulaLikeTextsAreDefusedInTheFileAndShownAsTheyWere) {
    for (const std::string text : {"=HYPERLINK(\"http://x\")", "+1", "-2", "@SUM(A1)", "\tTAB", "\rCR", "'quoted",
                                   "'=both", "plain 'x"}) {
        AlertTexts texts;
        texts.senderLine = "From: 192.0.2.7";
        texts.colourName = text;
        texts.messageText = text;
        const std::string line = HistoryLine(texts, 0, 1, 0, Same);
        const std::size_t textField = line.find(",1,0,") + 5;
        const bool defused = text[0] != 'p';
        EXPECT_EQ(line.compare(textField, 1, "'") == 0 || line.compare(textField, 2, "\"'") == 0, defused) << line;
        const auto entries = ParseHistory(HistoryFileHead() + line);
        ASSERT_EQ(entries.size(), 1u) << text;
        EXPECT_EQ(entries[0].colour, text);
        EXPECT_EQ(entries[0].text, text);
    }
}

// Files written before the name column, and records of both kinds in one
// file (an old file appended to by a newer Dovrel), read alike.
TEST(ParseHistory, RecordsWithAndWithoutTheNameColumn) {
    AlertTexts texts;
    texts.senderLine = "From: 192.0.2.7";
    texts.colourName = "red";
    texts.messageText = "on battery";
    texts.senderName = "@UPS, room 2";
    const std::string oldHead = "\xEF\xBB\xBFtime,sender,message number,specific-trap code,colour,text\r\n";
    const auto entries = ParseHistory(oldHead + "2002-01-01T00:00:00+09:00,192.0.2.8,1,1,green,old record\r\n" +
                                      HistoryLine(texts, 0, 3, 1, Same));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "old record");
    EXPECT_EQ(entries[0].name, "");
    EXPECT_EQ(HistorySender(entries[0]), "192.0.2.8");
    EXPECT_EQ(entries[1].text, "on battery");
    EXPECT_EQ(entries[1].name, "@UPS, room 2");
    EXPECT_EQ(HistorySender(entries[1]), "@UPS, room 2 (192.0.2.7)");
}

TEST(NewestHistory, NewestFirstAcrossTheRotatedFile) {
    auto at = [](const char* time) { return HistoryEntry{time, "", "", "", ""}; };
    const std::vector<HistoryEntry> older = {at("1"), at("2")}, newer = {at("3"), at("4")};
    const auto three = NewestHistory(older, newer, 3);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[0].time, "4");
    EXPECT_EQ(three[1].time, "3");
    EXPECT_EQ(three[2].time, "2");
}
