#include "settings/trap_settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/settings_paths.h"
#include "support/map_profile_reader.h"

namespace {


struct Settings {
    MapProfileReader file;
    TrapSettings app;
    void Load() { EXPECT_TRUE(LoadTrapSettings(file, app)); }
    void Set(const char* key, const char* value) { file.Set("usKarn_trap", key, value); }
};

}  // namespace

TEST(TrapSettings, DefaultsWhenNothingIsSet) {
    Settings s;
    s.Load();
    EXPECT_EQ(s.app.language, 0);
    EXPECT_EQ(s.app.port, 162);
    EXPECT_EQ(s.app.receiveTimeout, 5);
    EXPECT_EQ(s.app.community, "vandor");
    EXPECT_TRUE(s.app.targetText.empty());
    EXPECT_EQ(s.app.targetAddress, 0u);
    EXPECT_TRUE(s.app.prohibitionText.empty());
    EXPECT_EQ(s.app.prohibitionAddress, 0u);
}

TEST(TrapSettings, ReceiveTimeoutLimits) {
    const struct { const char* value; int expected; } cases[] = {
        {"0", 5}, {"-3", 5}, {"61", 60}, {"60", 60}, {"1", 1}, {"abc", 5}, {"12", 12}};
    for (const auto& c : cases) {
        Settings s;
        s.Set("recTimeout", c.value);
        s.Load();
        EXPECT_EQ(s.app.receiveTimeout, c.expected) << "recTimeout=" << c.value;
    }
}

TEST(TrapSettings, PortIsTakenAsRead) {
    Settings s;
    s.Set("port", "70000");
    s.Load();
    EXPECT_EQ(s.app.port, 70000);
    Settings t;
    t.Set("port", "trap");
    t.Load();
    EXPECT_EQ(t.app.port, 0) << "a non-numeric port reads as 0";
}

TEST(TrapSettings, LanguageKeywordInAnyCase) {
    for (const char* v : {"English", "english", "ENGLISH", "eNgLiSh"}) {
        Settings s;
        s.Set("Lang", v);
        s.Load();
        EXPECT_EQ(s.app.language, 1) << v;
    }
    for (const char* v : {"Eng", "English ", "Japanese", "", "Englishx"}) {
        Settings s;
        s.Set("Lang", v);
        s.Load();
        EXPECT_EQ(s.app.language, 0) << v;
    }
}

TEST(TrapSettings, EmptyCommunityKeepsDefault) {
    Settings s;
    s.Set("trapCommunity", "");
    s.Load();
    EXPECT_EQ(s.app.community, "vandor");
    Settings t;
    t.Set("trapCommunity", "Public");
    t.Load();
    EXPECT_EQ(t.app.community, "Public");
}

TEST(TrapSettings, TargetAndProhibitionKeywords) {
    for (const char* v : {"alls", "ALLS", "AlLs", ""}) {
        Settings s;
        s.Set("target", v);
        s.Set("prohibition", v[0] ? "NONE" : "");
        s.Load();
        EXPECT_TRUE(s.app.targetText.empty()) << v;
        EXPECT_EQ(s.app.targetAddress, 0u);
        EXPECT_TRUE(s.app.prohibitionText.empty());
    }
    Settings s;
    s.Set("target", "192.168.1.10");
    s.Set("prohibition", "255.255.255.0");
    s.Load();
    EXPECT_EQ(s.app.targetText, "192.168.1.10");
    const unsigned char target[4] = {192, 168, 1, 10};
    uint32_t expected;
    memcpy(&expected, target, 4);
    EXPECT_EQ(s.app.targetAddress, expected) << "network byte order";
    EXPECT_EQ(s.app.prohibitionText, "255.255.255.0");
    const unsigned char mask[4] = {255, 255, 255, 0};
    memcpy(&expected, mask, 4);
    EXPECT_EQ(s.app.prohibitionAddress, expected);
}

TEST(TrapSettings, LongValuesAreCutAt511Bytes) {
    Settings s;
    s.Set("trapCommunity", std::string(600, 'c').c_str());
    s.Load();
    EXPECT_EQ(s.app.community.size(), 511u);
}

TEST(SettingsPaths, InstallPathIsJoinedWithABackslash) {
    const SettingsPaths none;
    EXPECT_EQ(none.settingsFile, "Dovrel.ini") << "without an install path the bare name";
    EXPECT_TRUE(none.settingsProgram.empty());
    const SettingsPaths app = PathsFromInstallPath("C:\\App");
    EXPECT_EQ(app.settingsFile, "C:\\App\\Dovrel.ini");
    EXPECT_EQ(app.settingsProgram, "C:\\App\\Kalbrit.exe");
    EXPECT_EQ(PathsFromInstallPath("C:\\App\\").settingsFile, "C:\\App\\\\Dovrel.ini") << "nothing is trimmed";
}

