#include "settings/settings_paths.h"

SettingsPaths PathsFromInstallPath(const std::string& installPath) {
    SettingsPaths paths;
    paths.settingsFile = installPath + "\\" + kSettingsFileName;
    paths.settingsProgram = installPath + "\\" + kSettingsProgramName;
    return paths;
}

std::string SettingsProgramCommandLine(const std::string& settingsProgramPath) {
    if (settingsProgramPath.empty()) return kSettingsProgramName;
    return "\"" + settingsProgramPath + "\"";
}
