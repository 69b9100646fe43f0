#pragma once
// Where the settings file and the settings program are: derived from the
// install folder that the installer records in the registry.
#include <string>

#include "settings/program_names.h"

struct SettingsPaths {
    // The bare name, which the profile functions look up in the Windows
    // folder, until an install folder is known.
    std::string settingsFile = kSettingsFileName;
    std::string settingsProgram;  // empty without an install folder
};

// installPath, a backslash and the file name: used as text, nothing
// trimmed (a value ending in a backslash gives a doubled one).
SettingsPaths PathsFromInstallPath(const std::string& installPath);

// Command line of the Setting command: the settings-program path in double
// quotes, so that a folder with a space (C:\Program Files\...) is neither
// searched piece by piece (C:\Program.exe first) nor split for the program;
// the bare "Kalbrit.exe" when there is no path.
std::string SettingsProgramCommandLine(const std::string& settingsProgramPath);

#ifdef _WIN32
// A value the installer records under kInstallKey (kInstallValue, the
// install folder, or another) as text, whatever its type, from the 64-bit
// registry view and then the 32-bit one, so that programs of both
// architectures find the same value. False when neither has it.
bool FindInstallValue(const char* name, std::string& value);
// Dovrel's paths: from InstallPath, else the bare settings-file name.
SettingsPaths FindSettingsPaths();
// The settings file Dovrel reads as a full path: <InstallPath>\Dovrel.ini,
// else Dovrel.ini in the Windows folder.
std::string InstalledSettingsFile();
#endif
