#pragma once
// The program's one application-state object and its settings.
#include <cstdint>
#include <string>

#include "core/owned_list.h"
#include "snmp/trap_records.h"

class ProfileReader;
class CAlertEntry;

// Window and module handles kept as opaque pointers so this header stays
// free of windows.h; the Win32 layer casts them to HWND / HINSTANCE.
using WindowHandle = void*;
using InstanceHandle = void*;

extern const char kSettingsFileName[];     // "Dovrel.ini"
extern const char kSettingsProgramName[];  // "Kalbrit.exe"
extern const char kTrapSection[];          // "usKarn_trap"
extern const char kDefaultCommunity[];     // "vandor"

class CTrapApp {
public:
    CTrapApp();
    ~CTrapApp();
    CTrapApp(const CTrapApp&) = delete;
    CTrapApp& operator=(const CTrapApp&) = delete;

    // Sets both paths from the registry's InstallPath value, used as text
    // and joined with a backslash, nothing trimmed.
    void ApplyInstallPath(const std::string& installPath);
    // Reads the trap section; never fails (missing file or key: defaults).
    bool LoadSettings(ProfileReader& reader);

    WindowHandle mainWindow = nullptr;
    InstanceHandle instance = nullptr;
    std::string settingsPath;
    std::string settingsProgramPath;
    int32_t language = 0;           // 1 = English catalogue
    int32_t port = 162;
    int32_t receiveTimeout = 5;     // seconds, 1..60
    std::string community;
    std::string targetText;
    uint32_t targetAddress = 0;     // network byte order
    std::string prohibitionText;
    uint32_t prohibitionAddress = 0;
    TrapEventQueue pendingEvents;
    OwnedList<CAlertEntry> openAlerts;
};

// The one CTrapApp and the OS kind (1 = 9x family, 2 = major version 5,
// 0 = any other); both written before the worker threads start.
extern CTrapApp* g_app;
extern int32_t g_osKind;

// Command line of the Setting command: the settings-program path in double
// quotes, so that a folder with a space (C:\Program Files\...) is neither
// searched piece by piece (C:\Program.exe first) nor split for the program;
// the bare "Kalbrit.exe" when there is no path.
std::string SettingsProgramCommandLine(const std::string& settingsProgramPath);

// OS kind from GetVersionExA's platform id and major version.
int32_t OsKindFrom(uint32_t platformId, uint32_t majorVersion);
