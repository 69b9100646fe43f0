#include "app/trap_app.h"

#include <gtest/gtest.h>

#include <cstring>

#include "alert/alert_list.h"
#include "map_profile_reader.h"

namespace {


struct Settings {
    MapProfileReader file;
    CTrapApp app;
    void Load() { EXPECT_TRUE(app.LoadSettings(file)); }
    void Set(const char* key, const char* value) { file.Set("usKarn_trap", key, value); }
};

}  // namespace

TEST(TrapAppSettings, DefaultsWhenNothingIsSet) {
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
    EXPECT_TRUE(s.app.settingsPath.empty());
    EXPECT_TRUE(s.app.settingsProgramPath.empty());
}

TEST(TrapAppSettings, ReceiveTimeoutLimits) {
    const struct { const char* value; int expected; } cases[] = {
        {"0", 5}, {"-3", 5}, {"61", 60}, {"60", 60}, {"1", 1}, {"abc", 5}, {"12", 12}};
    for (const auto& c : cases) {
        Settings s;
        s.Set("recTimeout", c.value);
        s.Load();
        EXPECT_EQ(s.app.receiveTimeout, c.expected) << "recTimeout=" << c.value;
    }
}

TEST(TrapAppSettings, PortIsTakenAsRead) {
    Settings s;
    s.Set("port", "70000");
    s.Load();
    EXPECT_EQ(s.app.port, 70000);
    Settings t;
    t.Set("port", "trap");
    t.Load();
    EXPECT_EQ(t.app.port, 0) << "a non-numeric port reads as 0";
}

TEST(TrapAppSettings, LanguageKeywordInAnyCase) {
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

TEST(TrapAppSettings, EmptyCommunityKeepsDefault) {
    Settings s;
    s.Set("trapCommunity", "");
    s.Load();
    EXPECT_EQ(s.app.community, "vandor");
    Settings t;
    t.Set("trapCommunity", "Public");
    t.Load();
    EXPECT_EQ(t.app.community, "Public");
}

TEST(TrapAppSettings, TargetAndProhibitionKeywords) {
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

TEST(TrapAppSettings, LongValuesAreCutAt511Bytes) {
    Settings s;
    s.Set("trapCommunity", std::string(600, 'c').c_str());
    s.Load();
    EXPECT_EQ(s.app.community.size(), 511u);
}

TEST(TrapAppPaths, InstallPathIsJoinedWithABackslash) {
    CTrapApp app;
    app.ApplyInstallPath("C:\\App");
    EXPECT_EQ(app.settingsPath, "C:\\App\\Dovrel.ini");
    EXPECT_EQ(app.settingsProgramPath, "C:\\App\\Kalbrit.exe");
    CTrapApp trailing;
    trailing.ApplyInstallPath("C:\\App\\");
    EXPECT_EQ(trailing.settingsPath, "C:\\App\\\\Dovrel.ini") << "nothing is trimmed";
}

namespace {
struct CountedEntry : CAlertEntry {
    static int alive;
    explicit CountedEntry(void* w) : CAlertEntry(w) { ++alive; }
    ~CountedEntry() override { --alive; }
};
int CountedEntry::alive = 0;
}  // namespace

TEST(TrapAppLifetime, DestructionDeletesEveryOpenAlertEntryOnce) {
    auto* app = new CTrapApp();
    for (int i = 0; i < 3; ++i) app->pendingEvents.Append(new TrapEvent());
    for (int i = 0; i < 4; ++i) app->openAlerts.Append(new CountedEntry(reinterpret_cast<void*>(i + 1)));
    EXPECT_EQ(CountedEntry::alive, 4);
    delete app;  // pending events: the sanitizer build reports any left behind
    EXPECT_EQ(CountedEntry::alive, 0);
}

TEST(OsKind, FromVersionInformation) {
    EXPECT_EQ(OsKindFrom(1, 4), 1);   // Windows 9x
    EXPECT_EQ(OsKindFrom(2, 5), 2);   // Windows 2000 / XP
    EXPECT_EQ(OsKindFrom(2, 4), 0);   // NT 4
    EXPECT_EQ(OsKindFrom(2, 10), 0);  // later NT
}
