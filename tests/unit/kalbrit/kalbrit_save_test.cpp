// What Kalbrit writes: the trap section edited inside the file's own bytes,
// and the values handed to its elevated copy on the command line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kalbrit/device_list.h"
#include "kalbrit/elevated_save.h"
#include "kalbrit/kalbrit_texts.h"
#include "kalbrit/trap_section_edit.h"

namespace {

std::vector<TrapSetting> Settings(const std::string& community = "public2") {
    TrapForm form;
    form.english = true;
    form.port = "16210";
    form.timeout = "7";
    form.community = community;
    form.allSenders = false;
    form.target = "127.0.0.1";
    form.noProhibition = false;
    form.prohibition = "255.0.0.0";
    form.acceptV2c = true;
    form.mergeRepeats = true;
    return TrapSettingsFromForm(form);
}

std::string InstalledFile() {
    std::ifstream in(std::string(DOVREL_TEST_DATA) + "/../../installer/Dovrel.ini", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t lf = bytes.find('\n', at);
        std::size_t next = lf == std::string::npos ? bytes.size() : lf + 1;
        out.push_back(bytes.substr(at, next - at));
        at = next;
    }
    return out;
}

}  // namespace

TEST(KalbritSectionEdit, InstalledFileChangesOnlyInTheSixKeyLines) {
    const std::string before = InstalledFile();
    ASSERT_NE(before.find("[usKarn_msgJp]"), std::string::npos);
    const std::string after = WithTrapSettings(before, Settings());
    std::vector<std::string> a = Lines(before), b = Lines(after);
    ASSERT_EQ(a.size(), b.size());
    std::vector<std::string> changed;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) changed.push_back(b[i]);
    const std::vector<std::string> expected = {"Lang=English\r\n",          "port=16210\r\n",
                                               "recTimeout=7\r\n",          "trapCommunity=public2\r\n",
                                               "target=127.0.0.1\r\n",      "prohibition=255.0.0.0\r\n"};
    EXPECT_EQ(changed, expected);
    EXPECT_EQ(after.substr(after.find("\n[usKarn_msgEng]")), before.substr(before.find("\n[usKarn_msgEng]")));
}

// A file of an earlier version has neither switch. Saved unchanged it stays
// byte for byte; a switch turned on adds its one line, and turned off again
// changes only that line.
TEST(KalbritSectionEdit, SwitchesAFileLacksAreWrittenOnlyWhenTurnedOn) {
    const std::string before =
        "[usKarn_trap]\r\nLang=Japanese\r\nport=162\r\nrecTimeout=5\r\ntrapCommunity=vandor\r\n"
        "target=alls\r\nprohibition=none\r\n; end of the trap section\r\n\r\n[usKarn_msgEng]\r\n1=orange,x\r\n";
    TrapForm form;  // what LoadTrapForm makes of that file
    EXPECT_EQ(WithTrapSettings(before, TrapSettingsFromForm(form)), before);

    form.mergeRepeats = true;
    const std::string merging = WithTrapSettings(before, TrapSettingsFromForm(form));
    std::string expected = before;
    expected.insert(expected.find("; end"), "mergeRepeats=1\r\n");
    EXPECT_EQ(merging, expected);

    form.mergeRepeats = false;
    form.acceptV2c = true;
    expected = merging;
    expected.replace(expected.find("mergeRepeats=1"), 14, "mergeRepeats=0");
    expected.insert(expected.find("; end"), "acceptV2c=1\r\n");  // after the section's last key
    EXPECT_EQ(WithTrapSettings(merging, TrapSettingsFromForm(form)), expected);
}

TEST(KalbritSectionEdit, NamesMatchWithoutCaseAndOnlyTheFirstSectionAndKeyChange) {
    const std::string before =
        "; [usKarn_trap] in a comment\n"
        "[other]\nport=1\n"
        "  [USKARN_TRAP]  \n"
        "PORT = 9\n"
        "port=10\n"
        "\n"
        "[usKarn_msgJp]\n10=red,\x83\x5b\x83\x5d\n"  // Shift-JIS whose trail bytes are '[' and ']'
        "[usKarn_trap]\nport=11\n";
    const std::string after = WithTrapSettings(before, {{"port", "162"}});
    EXPECT_EQ(after,
              "; [usKarn_trap] in a comment\n"
              "[other]\nport=1\n"
              "  [USKARN_TRAP]  \n"
              "PORT =162\n"
              "port=10\n"
              "\n"
              "[usKarn_msgJp]\n10=red,\x83\x5b\x83\x5d\n"
              "[usKarn_trap]\nport=11\n");
}

TEST(KalbritSectionEdit, MissingKeysFollowTheLastKeyLineAndMissingSectionIsAdded) {
    EXPECT_EQ(WithTrapSettings("[usKarn_trap]\r\nport=1\r\n; note\r\n\r\n[x]\r\na=b", {{"port", "2"}, {"Lang", "English"}}),
              "[usKarn_trap]\r\nport=2\r\nLang=English\r\n; note\r\n\r\n[x]\r\na=b");
    EXPECT_EQ(WithTrapSettings("[usKarn_trap]\nport=1", {{"port", "2"}, {"Lang", "English"}}),
              "[usKarn_trap]\nport=2\nLang=English\n");
    EXPECT_EQ(WithTrapSettings("[usKarn_trap]\r\n[x]\r\n", {{"port", "2"}}), "[usKarn_trap]\r\nport=2\r\n[x]\r\n");
    EXPECT_EQ(WithTrapSettings("[x]\na=b", {{"port", "2"}}), "[x]\na=b\n[usKarn_trap]\nport=2\n");
    EXPECT_EQ(WithTrapSettings("", {{"port", "2"}}), "[usKarn_trap]\r\nport=2\r\n");
    EXPECT_EQ(WithTrapSettings("\xEF\xBB\xBF[usKarn_trap]\r\nport=1\r\n", {{"port", "2"}}),
              "\xEF\xBB\xBF[usKarn_trap]\r\nport=2\r\n");
}

// The Devices list's save: only the lines of [usKarn_names] change; a key
// set twice keeps its place, a removed key loses every line, comments and
// lines Dovrel skips stay, and the catalogue after it keeps every byte.
TEST(KalbritSectionEdit, NamesSectionChangesOnlyItsOwnKeyLines) {
    const std::string installed = InstalledFile();
    const std::size_t catalogue = installed.find("\r\n[usKarn_msgEng]") + 2;
    ASSERT_GT(catalogue, 2u);
    const std::string names =
        "[usKarn_names]\r\n; devices\r\n192.0.2.10=Old name\r\n192.0.2.11=Gone\r\nups.example=kept\r\n"
        "192.0.2.11=Gone twice\r\n\r\n";
    const std::string file = installed.substr(0, catalogue) + names + installed.substr(catalogue);

    SectionEdit edit{"usKarn_names", {{"192.0.2.10", "Server room UPS"}, {"192.0.2.12", "Rack 4 PDU"}}, {"192.0.2.11"}};
    const std::string expected = installed.substr(0, catalogue) +
                                 "[usKarn_names]\r\n; devices\r\n192.0.2.10=Server room UPS\r\nups.example=kept\r\n"
                                 "192.0.2.12=Rack 4 PDU\r\n\r\n" +
                                 installed.substr(catalogue);
    EXPECT_EQ(WithSectionEdit(file, edit), expected);

    // Without the section it is added at the end; removing from no section changes nothing.
    EXPECT_EQ(WithSectionEdit(installed, edit),
              installed + "[usKarn_names]\r\n192.0.2.10=Server room UPS\r\n192.0.2.12=Rack 4 PDU\r\n");
    EXPECT_EQ(WithSectionEdit(installed, SectionEdit{"usKarn_names", {}, {"192.0.2.11"}}), installed);
    // The last line removed where the file had no final line break: no blank line is left.
    EXPECT_EQ(WithSectionEdit("[usKarn_names]\r\na=1\r\nb=2", SectionEdit{"usKarn_names", {{"c", "3"}}, {"b"}}),
              "[usKarn_names]\r\na=1\r\nc=3\r\n");
}

TEST(KalbritElevatedSave, AnyCommunityAndPathComeThroughUnchanged) {
    std::string every;
    for (int c = 0x20; c < 0x100; ++c)
        if (c != 0x7F) every += static_cast<char>(c);
    for (const std::string& community :
         {std::string("a \"quoted\" \\\\ value=x"), std::string("\x8c\xf6\x8a\x4a"), every.substr(1, 256)}) {
        const std::string path = "C:\\Program Files\\Dovrel \x95\x5c\\Dovrel.ini";
        ElevatedSave save;
        ASSERT_EQ(ParseElevatedSave(ElevatedSaveArguments(path, Settings(community)), save), ElevatedSaveLine::Valid)
            << community;
        EXPECT_EQ(save.path, path);
        ASSERT_EQ(save.settings.size(), Settings(community).size());
        for (std::size_t i = 0; i < save.settings.size(); ++i) {
            EXPECT_STREQ(save.settings[i].key, Settings(community)[i].key);
            EXPECT_EQ(save.settings[i].value, Settings(community)[i].value);
        }
    }
}

TEST(KalbritElevatedSave, OnlyTheFormsOwnValuesAreAccepted) {
    ElevatedSave save;
    EXPECT_EQ(ParseElevatedSave("", save), ElevatedSaveLine::Absent);
    EXPECT_EQ(ParseElevatedSave("/ini \"C:\\x.ini\"", save), ElevatedSaveLine::Absent);

    const std::string good = ElevatedSaveArguments("C:\\x.ini", Settings());
    std::vector<std::string> bad = {
        good + " extra",
        good.substr(0, good.rfind(' ')),                          // a key missing
        "/save-elevated 433a5c782e696e69" + good.substr(good.find(" Lang")) + "0",  // odd hex
        "/save-elevated zz" + good.substr(good.find(" Lang")),
        "/save-elevated " + good.substr(good.find(" Lang") + 1),  // no path
    };
    auto with = [](std::vector<TrapSetting> s, std::size_t i, const std::string& v) {
        s[i].value = v;
        return ElevatedSaveArguments("C:\\x.ini", s);
    };
    bad.push_back(with(Settings(), 1, "0"));                 // port the form refuses
    bad.push_back(with(Settings(), 1, "0162"));              // not as the form writes it
    bad.push_back(with(Settings(), 3, "a\r\n[usKarn_msgEng]"));  // a line break would add lines
    bad.push_back(with(Settings(), 5, "0.0.0.0"));
    bad.push_back(with(Settings(), 7, "2"));                  // a switch is 0 or 1
    for (const std::string& line : bad) EXPECT_EQ(ParseElevatedSave(line, save), ElevatedSaveLine::Invalid) << line;
}

TEST(KalbritTexts, JapaneseForAJapaneseUiOrCodePage932) {
    EXPECT_EQ(ChooseUiLanguage(0x0411, 1252), UiLanguage::Japanese);
    EXPECT_EQ(ChooseUiLanguage(0x0409, 932), UiLanguage::Japanese);
    EXPECT_EQ(ChooseUiLanguage(0x0409, 1252), UiLanguage::English);
    EXPECT_EQ(ChooseUiLanguage(0x0412, 949), UiLanguage::English);
}

TEST(KalbritTexts, EveryMessageHasBothLanguages) {
    for (int i = 0; i <= static_cast<int>(KalbritText::ColourGreen); ++i) {
        auto id = static_cast<KalbritText>(i);
        EXPECT_GT(std::string(TextOf(id, UiLanguage::English)).size(), 0u) << i;
        EXPECT_NE(std::string(TextOf(id, UiLanguage::Japanese)), TextOf(id, UiLanguage::English)) << i;
    }
    const DeviceListRules devices;
    for (int i = 0; i <= static_cast<int>(ListProblem::Full); ++i) {
        auto id = static_cast<ListProblem>(i);
        EXPECT_GT(std::string(devices.ProblemText(id, UiLanguage::English)).size(), 0u) << i;
        EXPECT_NE(std::string(devices.ProblemText(id, UiLanguage::Japanese)), devices.ProblemText(id, UiLanguage::English))
            << i;
    }
    for (int i = 0; i <= static_cast<int>(FormProblem::MaskBlocksAll); ++i) {
        auto id = static_cast<FormProblem>(i);
        EXPECT_GT(std::string(ProblemText(id, UiLanguage::English)).size(), 0u) << i;
        EXPECT_NE(std::string(ProblemText(id, UiLanguage::Japanese)), ProblemText(id, UiLanguage::English)) << i;
    }
}
