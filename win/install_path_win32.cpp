#include "win/install_path_win32.h"

#include <windows.h>

#include <cstring>

#include "win/handles.h"

namespace {

bool QueryInView(REGSAM view, const char* name, std::string& value) {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_QUERY_VALUE | view, key.Out()) != ERROR_SUCCESS)
        return false;
    char buffer[256] = {};
    DWORD size = sizeof(buffer) - 1;  // keep a terminating NUL whatever the stored type
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    value.assign(buffer, strnlen(buffer, sizeof(buffer)));
    return true;
}

}  // namespace

bool QueryInstallValue(const char* name, std::string& value) {
    return QueryInView(KEY_WOW64_64KEY, name, value) || QueryInView(KEY_WOW64_32KEY, name, value);
}

bool QueryInstallPath(std::string& value) { return QueryInstallValue(kInstallValue, value); }
