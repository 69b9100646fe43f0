#include "kalbrit/settings_path_win32.h"

#include <windows.h>

#include "app/trap_app.h"
#include "kalbrit/command_line.h"
#include "win/install_path_win32.h"

std::string FindSettingsFile(const char* commandLine) {
    std::string path;
    if (SettingsFileSwitch(commandLine ? commandLine : "", path)) {
        // A full path, so that the elevated copy, which starts in another
        // folder, writes the same file.
        char full[MAX_PATH] = {};
        DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
        return n > 0 && n < MAX_PATH ? std::string(full, n) : path;
    }

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
