#pragma once
// Where Kalbrit finds Dovrel.ini.
#include <string>

// "/ini <path>" on the command line wins (used by tests); else the file
// Dovrel reads: InstallPath (either registry view) followed by
// "\Dovrel.ini", else Dovrel.ini in the Windows folder.
std::string FindSettingsFile(const char* commandLine);
