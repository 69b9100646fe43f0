#include "app/settings_win32.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "app/trap_app.h"
#include "win/handles.h"

bool ReadInstallPath(CTrapApp& app) {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return false;
    char buffer[256] = {};
    DWORD size = sizeof(buffer) - 1;  // keep a terminating NUL whatever the stored type
    if (RegQueryValueExA(key.Get(), kInstallValue, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    app.ApplyInstallPath(std::string(buffer, strnlen(buffer, sizeof(buffer))));
    return true;
}

int32_t GetOsKind() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExA(&info)) return 0;
    return OsKindFrom(info.dwPlatformId, info.dwMajorVersion);
}

void RunProgram(const char* commandLine) {
    char buffer[2048] = {};
    strncpy(buffer, commandLine ? commandLine : "", sizeof(buffer) - 1);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);  // the platform's own size (68 on 32-bit Windows)
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    startup.wShowWindow = SW_HIDE;

    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        // Nothing watches the started program.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
