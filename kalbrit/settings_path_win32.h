#pragma once
// Where Kalbrit finds Dovrel.ini.
#include <string>

// A path given on the command line wins; else InstallPath under
// HKLM\Software\Orvanta\Quillmont\CurrentVersion followed by "\Dovrel.ini";
// else Dovrel.ini beside Kalbrit.exe.
std::string FindSettingsFile(const char* commandLine);
