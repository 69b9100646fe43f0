#include "app/trap_app.h"

#include "alert/alert_list.h"
#include "core/ipv4.h"
#include "core/mbcs.h"
#include "core/profile_reader.h"

const char kSettingsFileName[] = "Dovrel.ini";
const char kSettingsProgramName[] = "Kalbrit.exe";
const char kTrapSection[] = "usKarn_trap";
const char kDefaultCommunity[] = "vandor";

CTrapApp* g_app = nullptr;
int32_t g_osKind = 0;

namespace {
constexpr unsigned kTextBufferSize = 512;  // values of up to 511 bytes
constexpr int kDefaultPort = 162;
constexpr int kDefaultReceiveTimeout = 5;
constexpr int kMaxReceiveTimeout = 60;
}  // namespace

CTrapApp::CTrapApp() : community(kDefaultCommunity) {}

CTrapApp::~CTrapApp() {
    pendingEvents.FreeAll();
    // The open-alert list is walked by alert-window threads, so its entries
    // are deleted under its mutex; their windows are left open.
    auto lock = openAlerts.Lock();
    while (auto* node = openAlerts.HeadLocked()) delete openAlerts.UnlinkLocked(node);
}

void CTrapApp::ApplyInstallPath(const std::string& installPath) {
    settingsPath = installPath + "\\" + kSettingsFileName;
    settingsProgramPath = installPath + "\\" + kSettingsProgramName;
}

std::string SettingsProgramCommandLine(const std::string& settingsProgramPath) {
    if (settingsProgramPath.empty()) return kSettingsProgramName;
    return "\"" + settingsProgramPath + "\"";
}

bool CTrapApp::LoadSettings(ProfileReader& reader) {
    std::string value;

    reader.GetString(kTrapSection, "Lang", "", value, kTextBufferSize);
    if (!value.empty() && MbsEqualNoCase(value.c_str(), "English", 932)) language = 1;

    port = reader.GetInt(kTrapSection, "port", kDefaultPort);

    receiveTimeout = reader.GetInt(kTrapSection, "recTimeout", kDefaultReceiveTimeout);
    if (receiveTimeout <= 0) receiveTimeout = kDefaultReceiveTimeout;
    if (receiveTimeout > kMaxReceiveTimeout) receiveTimeout = kMaxReceiveTimeout;

    reader.GetString(kTrapSection, "trapCommunity", kDefaultCommunity, value, kTextBufferSize);
    if (!value.empty()) community = value;

    reader.GetString(kTrapSection, "target", "", value, kTextBufferSize);
    if (!value.empty() && !MbsEqualNoCase(value.c_str(), "alls", 932)) {
        targetText = value;
        targetAddress = InetAddr(value.c_str());
    }

    reader.GetString(kTrapSection, "prohibition", "", value, kTextBufferSize);
    if (!value.empty() && !MbsEqualNoCase(value.c_str(), "none", 932)) {
        prohibitionText = value;
        prohibitionAddress = InetAddr(value.c_str());
    }
    return true;
}

int32_t OsKindFrom(uint32_t platformId, uint32_t majorVersion) {
    constexpr uint32_t kPlatformWin32Windows = 1;  // VER_PLATFORM_WIN32_WINDOWS
    if (platformId == kPlatformWin32Windows) return 1;
    if (majorVersion == 5) return 2;
    return 0;
}
