#pragma once
// The Win32 side of the settings: registry, OS kind, starting a program.
#include <cstdint>

class CTrapApp;

// Fills app's two paths from HKLM\...\InstallPath (either registry view);
// false when key or value is missing.
bool ReadInstallPath(CTrapApp& app);
int32_t GetOsKind();
// Starts a program; nothing is reported to the caller.
void RunProgram(const char* commandLine);
