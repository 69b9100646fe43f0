#include "win/registry_win32.h"

#include <cstring>

#include "win/handles.h"

bool ReadMachineText(const char* key, const char* name, REGSAM view, std::string& value) {
    UniqueRegKey opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, opened.Out()) != ERROR_SUCCESS) return false;
    char buffer[256] = {};
    DWORD size = sizeof(buffer) - 1;  // keep a terminating NUL whatever the stored type
    if (RegQueryValueExA(opened.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    value.assign(buffer, strnlen(buffer, sizeof(buffer)));
    return true;
}
