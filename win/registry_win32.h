#pragma once
// Reading a text value under HKEY_LOCAL_MACHINE.
#include <windows.h>

#include <string>

// The value as text, whatever its registry type, read in the given view
// (KEY_WOW64_64KEY or KEY_WOW64_32KEY; 32-bit Windows has one view and
// ignores the flag); at most 255 bytes. False when key or value is missing.
bool ReadMachineText(const char* key, const char* name, REGSAM view, std::string& value);
