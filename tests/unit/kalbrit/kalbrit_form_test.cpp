// Kalbrit's form logic: what it shows for a settings file, what it refuses,
// and what it writes back.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "kalbrit/command_line.h"
#include "kalbrit/trap_form.h"
#include "support/map_profile_reader.h"

namespace {

TrapForm ValidForm() {
    TrapForm form;
    form.english = true;
    form.port = "16200";
    form.timeout = "10";
    form.community = "public";
    form.allSenders = false;
    form.target = "192.168.1.10";
    form.noProhibition = false;
    form.prohibition = "255.255.255.0";
    form.acceptV2c = true;
    return form;
}

std::string Value(const std::vector<TrapSetting>& settings, const std::string& key) {
    for (const auto& s : settings)
        if (key == s.key) return s.value;
    ADD_FAILURE() << "no key " << key;
    return {};
}

}  // namespace

TEST(KalbritLoad, MissingFileShowsTheMonitorsDefaults) {
    MapProfileReader empty;
    TrapForm form = LoadTrapForm(empty);
    EXPECT_FALSE(form.english);
    EXPECT_EQ(form.port, "162");
    EXPECT_EQ(form.timeout, "5");
    EXPECT_EQ(form.community, "vandor");
    EXPECT_TRUE(form.allSenders);
    EXPECT_TRUE(form.noProhibition);
}

TEST(KalbritLoad, ReadsValuesAsTheMonitorInterpretsThem) {
    MapProfileReader r;
    r.Set("usKarn_trap", "Lang", "english");
    r.Set("usKarn_trap", "port", "16200");
    r.Set("usKarn_trap", "recTimeout", "61");
    r.Set("usKarn_trap", "trapCommunity", "");
    r.Set("usKarn_trap", "target", "10.0.0.5");
    r.Set("usKarn_trap", "prohibition", "NONE");
    TrapForm form = LoadTrapForm(r);
    EXPECT_TRUE(form.english);
    EXPECT_EQ(form.port, "16200");
    EXPECT_EQ(form.timeout, "60");
    EXPECT_EQ(form.community, "vandor") << "an empty community keeps the default";
    EXPECT_FALSE(form.allSenders);
    EXPECT_EQ(form.target, "10.0.0.5");
    EXPECT_TRUE(form.noProhibition);

    r.Set("usKarn_trap", "Lang", "Eng");
    r.Set("usKarn_trap", "recTimeout", "-3");
    r.Set("usKarn_trap", "target", "ALLS");
    r.Set("usKarn_trap", "prohibition", "255.255.0.0");
    form = LoadTrapForm(r);
    EXPECT_FALSE(form.english);
    EXPECT_EQ(form.timeout, "5");
    EXPECT_TRUE(form.allSenders);
    EXPECT_FALSE(form.noProhibition);
    EXPECT_EQ(form.prohibition, "255.255.0.0");
}

TEST(KalbritValidate, AcceptsAValidFormAndTheDefaults) {
    EXPECT_FALSE(ValidateTrapForm(ValidForm()).has_value());
    EXPECT_FALSE(ValidateTrapForm(TrapForm{}).has_value());
}

TEST(KalbritValidate, PortAndTimeoutBounds) {
    struct Case { const char* port; const char* timeout; bool ok; TrapField field; };
    const Case cases[] = {
        {"1", "1", true, TrapField::Port},       {"65535", "60", true, TrapField::Port},
        {" 162 ", "5", true, TrapField::Port},   {"0", "5", false, TrapField::Port},
        {"65536", "5", false, TrapField::Port},  {"-1", "5", false, TrapField::Port},
        {"16x", "5", false, TrapField::Port},    {"", "5", false, TrapField::Port},
        {"999999", "5", false, TrapField::Port}, {"162", "0", false, TrapField::Timeout},
        {"162", "61", false, TrapField::Timeout}, {"162", "+5", false, TrapField::Timeout},
        {"162", "", false, TrapField::Timeout},
    };
    for (const Case& c : cases) {
        TrapForm form = ValidForm();
        form.port = c.port;
        form.timeout = c.timeout;
        auto error = ValidateTrapForm(form);
        EXPECT_EQ(error.has_value(), !c.ok) << "port '" << c.port << "' timeout '" << c.timeout << "'";
        if (error && !c.ok) {
            EXPECT_EQ(error->field, c.field) << c.port << " " << c.timeout;
        }
    }
}

TEST(KalbritValidate, CommunityLimits) {
    TrapForm form = ValidForm();
    form.community = std::string(256, 'c');
    EXPECT_FALSE(ValidateTrapForm(form).has_value()) << "256 bytes is the limit";
    for (const std::string& bad : {std::string(257, 'c'), std::string(), std::string(" public"),
                                   std::string("public "), std::string("\"public\""), std::string("pub\tlic")}) {
        form.community = bad;
        auto error = ValidateTrapForm(form);
        ASSERT_TRUE(error.has_value()) << "'" << bad << "'";
        EXPECT_EQ(error->field, TrapField::Community);
    }
    form.community = "\x8c\xf6\x8a\x4a";  // Shift-JIS text is a valid community
    EXPECT_FALSE(ValidateTrapForm(form).has_value());
}

TEST(KalbritValidate, AddressesMustBeCanonicalDottedIPv4) {
    unsigned long v = 0;
    ASSERT_TRUE(ParseDottedIPv4("192.168.1.10", v));
    EXPECT_EQ(v, 0xC0A8010AUL);
    ASSERT_TRUE(ParseDottedIPv4("0.0.0.0", v));
    EXPECT_EQ(v, 0UL);
    EXPECT_FALSE(ParseDottedIPv4("1.2.3.4 ", v)) << "blanks are the caller's to trim";
    ASSERT_TRUE(ParseDottedIPv4("255.255.255.255", v));
    EXPECT_EQ(v, 0xFFFFFFFFUL);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.04", "1..2.3", "1.2 .3.4", "a.b.c.d",
                            "1.2.3.-4", "1.2.3.4/24", "0x1.2.3.4", "1234.1.1.1"}) {
        EXPECT_FALSE(ParseDottedIPv4(bad, v)) << bad;
        TrapForm form = ValidForm();
        form.target = bad;
        auto error = ValidateTrapForm(form);
        ASSERT_TRUE(error.has_value()) << bad;
        EXPECT_EQ(error->field, TrapField::Target);
    }
    TrapForm form = ValidForm();
    form.allSenders = true;
    form.noProhibition = true;
    form.target = "not an address";
    EXPECT_FALSE(ValidateTrapForm(form).has_value()) << "the target text is ignored with all senders";
}

TEST(KalbritValidate, RefusesMasksThatWouldBlockEveryTrap) {
    TrapForm form = ValidForm();
    form.prohibition = "255.255.255.256";
    EXPECT_EQ(ValidateTrapForm(form)->field, TrapField::Prohibition);
    form.prohibition = "0.0.0.0";
    EXPECT_EQ(ValidateTrapForm(form)->field, TrapField::Prohibition);
    form.prohibition = "255.255.255.0";
    form.target = "0.0.0.7";
    EXPECT_EQ(ValidateTrapForm(form)->field, TrapField::Prohibition) << "target AND mask is zero";
    form.target = "192.168.1.10";
    form.allSenders = true;
    EXPECT_EQ(ValidateTrapForm(form)->field, TrapField::Prohibition) << "mask without a target";
    form.allSenders = false;
    form.target = "0.0.0.0";
    EXPECT_EQ(ValidateTrapForm(form)->field, TrapField::Target);
}

TEST(KalbritSettings, FormBecomesTheTrapValues) {
    TrapForm form = ValidForm();
    form.port = " 0162 ";
    form.target = " 10.1.2.3";
    auto settings = TrapSettingsFromForm(form);
    const char* order[] = {"Lang", "port", "recTimeout", "trapCommunity", "target", "prohibition", "acceptV2c",
                           "mergeRepeats"};
    ASSERT_EQ(settings.size(), std::size(order));
    for (std::size_t i = 0; i < std::size(order); ++i) EXPECT_STREQ(settings[i].key, order[i]);
    EXPECT_EQ(Value(settings, "Lang"), "English");
    EXPECT_EQ(Value(settings, "port"), "162");
    EXPECT_EQ(Value(settings, "recTimeout"), "10");
    EXPECT_EQ(Value(settings, "trapCommunity"), "public");
    EXPECT_EQ(Value(settings, "target"), "10.1.2.3");
    EXPECT_EQ(Value(settings, "prohibition"), "255.255.255.0");
    EXPECT_EQ(Value(settings, "acceptV2c"), "1");
    EXPECT_EQ(Value(settings, "mergeRepeats"), "0");

    form.english = false;
    form.allSenders = true;
    form.noProhibition = true;
    settings = TrapSettingsFromForm(form);
    EXPECT_EQ(Value(settings, "Lang"), "Japanese");
    EXPECT_EQ(Value(settings, "target"), "alls");
    EXPECT_EQ(Value(settings, "prohibition"), "none");
}

TEST(KalbritSettings, WrittenValuesLoadBackToTheSameForm) {
    TrapForm form = ValidForm();
    MapProfileReader file;
    for (const auto& s : TrapSettingsFromForm(form)) file.Set("usKarn_trap", s.key, s.value);
    TrapForm back = LoadTrapForm(file);
    EXPECT_EQ(back.english, form.english);
    EXPECT_EQ(back.port, form.port);
    EXPECT_EQ(back.timeout, form.timeout);
    EXPECT_EQ(back.community, form.community);
    EXPECT_EQ(back.allSenders, form.allSenders);
    EXPECT_EQ(back.target, form.target);
    EXPECT_EQ(back.noProhibition, form.noProhibition);
    EXPECT_EQ(back.prohibition, form.prohibition);
    EXPECT_EQ(back.acceptV2c, form.acceptV2c);
    EXPECT_EQ(back.mergeRepeats, form.mergeRepeats);
    form.acceptV2c = false;
    form.mergeRepeats = true;
    for (const auto& s : TrapSettingsFromForm(form)) file.Set("usKarn_trap", s.key, s.value);
    back = LoadTrapForm(file);
    EXPECT_FALSE(back.acceptV2c);
    EXPECT_TRUE(back.mergeRepeats);
}

// Only the explicit switch names a settings file: a line split at a space
// (an unquoted C:\Program Files\... path) must not become one.
TEST(KalbritCommandLine, OnlyTheIniSwitchNamesAFile) {
    std::string path;
    EXPECT_TRUE(SettingsFileSwitch("/ini \"C:\\a b\\Dovrel.ini\"", path));
    EXPECT_EQ(path, "C:\\a b\\Dovrel.ini");
    EXPECT_TRUE(SettingsFileSwitch("  -INI  D:\\x.ini ", path));
    EXPECT_EQ(path, "D:\\x.ini");

    path = "unchanged";
    for (const char* line : {"", "Files\\Dovrel\\Kalbrit.exe", "\"C:\\a b\\Dovrel.ini\"", "/ini", "/ini \"\"",
                             "/inifile x.ini"})
        EXPECT_FALSE(SettingsFileSwitch(line, path)) << line;
    EXPECT_EQ(path, "unchanged");
}
