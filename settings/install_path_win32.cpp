#include <windows.h>

#include "settings/settings_paths.h"
#include "win/registry_win32.h"

bool FindInstallValue(const char* name, std::string& value) {
    return ReadMachineText(kInstallKey, name, KEY_WOW64_64KEY, value) ||
           ReadMachineText(kInstallKey, name, KEY_WOW64_32KEY, value);
}

SettingsPaths FindSettingsPaths() {
    std::string installPath;
    return FindInstallValue(kInstallValue, installPath) ? PathsFromInstallPath(installPath) : SettingsPaths{};
}

std::string InstalledSettingsFile() {
    const SettingsPaths paths = FindSettingsPaths();
    if (!paths.settingsProgram.empty()) return paths.settingsFile;
    // The bare name means the Windows folder to the profile functions.
    char windows[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return kSettingsFileName;
    return std::string(windows, n) + "\\" + kSettingsFileName;
}
