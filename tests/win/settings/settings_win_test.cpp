// The trap settings read through GetPrivateProfileStringA/IntA, and the
// install path through the registry, under Wine: what the real API adds to
// the native tests (case-insensitive names, numbers that are no numbers,
// registry views and value types).
#include <windows.h>
#include <winsock.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/settings_win32.h"
#include "app/trap_app.h"
#include "settings/program_names.h"
#include "settings/settings_paths.h"
#include "win/win32_profile_reader.h"

namespace {

std::string TempFile(const char* name) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// A settings file on disk, removed again at the end of the test.
class IniFile {
public:
    explicit IniFile(const std::string& body) : path_(TempFile("dovrel_settings_test.ini")) {
        std::ofstream(path_, std::ios::binary) << body;
    }
    ~IniFile() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void Load(TrapSettings& settings, const std::string& path) {
    Win32ProfileReader reader(path);
    EXPECT_TRUE(LoadTrapSettings(reader, settings));
}

// The InstallPath value of one registry view, restored at the end of the test.
class SavedViewValue {
public:
    explicit SavedViewValue(REGSAM view) : view_(view) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_QUERY_VALUE | view_, &key) == ERROR_SUCCESS) {
            char buffer[512] = {};
            DWORD size = sizeof(buffer) - 1;
            had_ = RegQueryValueExA(key, kInstallValue, nullptr, &oldType_, reinterpret_cast<BYTE*>(buffer), &size) ==
                   ERROR_SUCCESS;
            old_.assign(buffer, size);
            RegCloseKey(key);
        }
    }
    ~SavedViewValue() {
        if (had_) Write(old_.c_str(), oldType_);
        else Write(nullptr, REG_SZ);
    }
    // Sets the value, or with null removes it.
    void Write(const char* value, DWORD type) const {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        if (value) {
            RegSetValueExA(key, kInstallValue, 0, type, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>(strlen(value) + 1));
        } else {
            RegDeleteValueA(key, kInstallValue);
        }
        RegCloseKey(key);
    }

private:
    REGSAM view_;
    bool had_ = false;
    DWORD oldType_ = REG_SZ;
    std::string old_;
};

// Sets (or, with a null value, removes) the InstallPath value for one test,
// in one registry view (64-bit by default, as the installer writes it on
// 64-bit Windows) with the other view emptied, and restores both.
class InstallPathValue {
public:
    explicit InstallPathValue(const char* value, DWORD type = REG_SZ, REGSAM view = KEY_WOW64_64KEY) {
        (view == KEY_WOW64_64KEY ? view32_ : view64_).Write(nullptr, REG_SZ);
        (view == KEY_WOW64_64KEY ? view64_ : view32_).Write(value, type);
    }

private:
    SavedViewValue view64_{KEY_WOW64_64KEY};
    SavedViewValue view32_{KEY_WOW64_32KEY};
};

}  // namespace

TEST(SettingsFile, MissingFileGivesDefaults) {
    TrapSettings app;
    Load(app, TempFile("no_such_dovrel_settings.ini"));
    EXPECT_EQ(app.language, 0);
    EXPECT_EQ(app.port, 162);
    EXPECT_EQ(app.receiveTimeout, 5);
    EXPECT_EQ(app.community, "vandor");
    EXPECT_TRUE(app.targetText.empty());
    EXPECT_TRUE(app.prohibitionText.empty());
}

TEST(SettingsFile, ReadsEveryKeyOfTheTrapSection) {
    IniFile ini(
        "[usKarn_msgEng]\r\nport=1\r\n"
        "[USKARN_TRAP]\r\n"
        "lang=ENGLISH\r\nPort=16200\r\nrecTimeout=12\r\ntrapCommunity=Sk1-net\r\n"
        "target=192.168.1.10\r\nprohibition=255.255.255.0\r\n");
    TrapSettings app;
    Load(app, ini.Path());
    EXPECT_EQ(app.language, 1);
    EXPECT_EQ(app.port, 16200) << "section and key names compare without regard to case";
    EXPECT_EQ(app.receiveTimeout, 12);
    EXPECT_EQ(app.community, "Sk1-net");
    EXPECT_EQ(app.targetText, "192.168.1.10");
    EXPECT_EQ(app.targetAddress, inet_addr("192.168.1.10"));
    EXPECT_EQ(app.prohibitionText, "255.255.255.0");
    EXPECT_EQ(app.prohibitionAddress, inet_addr("255.255.255.0"));
}

// GetPrivateProfileIntA reads what is no number as 0 (the limits are tested natively).
TEST(SettingsFile, NumbersThatAreNoNumbers) {
    IniFile ini("[usKarn_trap]\r\nrecTimeout=soon\r\nport=abc\r\n");
    TrapSettings app;
    Load(app, ini.Path());
    EXPECT_EQ(app.receiveTimeout, 5) << "0 seconds becomes the default";
    EXPECT_EQ(app.port, 0) << "a port that is no number reads as 0";
}

TEST(InstallPath, ValueGivesBothPaths) {
    InstallPathValue value("C:\\App");
    CTrapApp app;
    ASSERT_TRUE(ReadInstallPath(app));
    EXPECT_EQ(app.settingsPath, "C:\\App\\Dovrel.ini");
    EXPECT_EQ(app.settingsProgramPath, "C:\\App\\Kalbrit.exe");
}

TEST(InstallPath, TrailingBackslashIsNotTrimmed) {
    InstallPathValue value("C:\\App\\");
    CTrapApp app;
    ASSERT_TRUE(ReadInstallPath(app));
    EXPECT_EQ(app.settingsPath, "C:\\App\\\\Dovrel.ini");
    EXPECT_EQ(app.settingsProgramPath, "C:\\App\\\\Kalbrit.exe");
}

TEST(InstallPath, ExpandableStringIsUsedAsText) {
    InstallPathValue value("%SystemDrive%\\App", REG_EXPAND_SZ);
    CTrapApp app;
    ASSERT_TRUE(ReadInstallPath(app));
    EXPECT_EQ(app.settingsPath, "%SystemDrive%\\App\\Dovrel.ini");
}

// A 32-bit and a 64-bit Dovrel on 64-bit Windows find the value whichever
// view holds it; the 64-bit view wins when both do.
TEST(InstallPath, FoundInEitherRegistryView) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        InstallPathValue value("C:\\OneView", REG_SZ, view);
        CTrapApp app;
        ASSERT_TRUE(ReadInstallPath(app)) << "view " << view;
        EXPECT_EQ(app.settingsPath, "C:\\OneView\\Dovrel.ini") << "view " << view;
    }
    SavedViewValue view32(KEY_WOW64_32KEY);
    InstallPathValue value("C:\\Native");
    view32.Write("C:\\Redirected", REG_SZ);
    std::string found;
    ASSERT_TRUE(FindInstallValue(kInstallValue, found));
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    // On 32-bit Windows (no WOW64 for anyone) the two views are one key.
    if (sizeof(void*) == 8 || wow64) {
        EXPECT_EQ(found, "C:\\Native");
    }
}

TEST(InstallPath, MissingValueLeavesPathsEmpty) {
    InstallPathValue value(nullptr);
    CTrapApp app;
    EXPECT_FALSE(ReadInstallPath(app));
    EXPECT_TRUE(app.settingsPath.empty());
    EXPECT_TRUE(app.settingsProgramPath.empty());
}

TEST(InstallPath, SettingsFileFoundThroughTheRegistry) {
    IniFile ini("[usKarn_trap]\r\nport=23999\r\n");
    std::string dir = ini.Path().substr(0, ini.Path().find_last_of('\\'));
    // The install folder holds Dovrel.ini; copy the test file there under that name.
    std::string target = dir + "\\Dovrel.ini";
    ASSERT_TRUE(CopyFileA(ini.Path().c_str(), target.c_str(), FALSE));
    InstallPathValue value(dir.c_str());
    CTrapApp app;
    ASSERT_TRUE(ReadInstallPath(app));
    Load(app.settings, app.settingsPath);
    EXPECT_EQ(app.settings.port, 23999);
    DeleteFileA(target.c_str());
}

TEST(OsKindUnderWine, IsOneOfTheThreeKinds) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(GetOsKind(), OsKindFrom(info.dwPlatformId, info.dwMajorVersion));
}
