#pragma once
// Where Kalbrit finds Dovrel.ini.
#include <string>

// "/ini <path>" on the command line wins (used by tests); else the file
// Dovrel reads, InstalledSettingsFile() of settings/settings_paths.h.
std::string FindSettingsFile(const char* commandLine);

// Whether path names the file Dovrel reads: the same full path (after
// GetFullPathNameA, without regard to case), with no reparse point (junction,
// symbolic link, mount point) on the file or any folder above it. The
// elevated copy writes nothing else.
bool NamesInstalledSettingsFile(const std::string& path);
