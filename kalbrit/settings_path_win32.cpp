#include "kalbrit/settings_path_win32.h"

#include <windows.h>

#include "app/trap_app.h"
#include "kalbrit/command_line.h"
#include "win/install_path_win32.h"

std::string FindSettingsFile(const char* commandLine) {
    std::string path;
    if (SettingsFileSwitch(commandLine ? commandLine : "", path)) return path;

    // The same derivation as Dovrel's, so both name one file.
    CTrapApp paths;
    std::string installPath;
    if (QueryInstallPath(installPath)) {
        paths.ApplyInstallPath(installPath);
        return paths.settingsPath;
    }
    // Dovrel then reads the bare name, which the profile functions look up
    // in the Windows folder.
    char windows[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return kSettingsFileName;
    return std::string(windows, n) + "\\" + kSettingsFileName;
}
