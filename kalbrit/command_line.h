#pragma once
// Kalbrit's command line. Started by Dovrel it gets no arguments (or, from
// an older Dovrel, its own unquoted path split at a space); only the
// explicit switch  /ini <path>  names another settings file, so stray text
// is never taken for one.
#include <string>

// True and the path when the line holds "/ini" (any case) followed by a
// path, quoted if it has spaces.
bool SettingsFileSwitch(const std::string& commandLine, std::string& path);
