#include "app/settings_win32.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "app/trap_app.h"
#include "settings/settings_paths.h"
#include "win/handles.h"

bool ReadInstallPath(CTrapApp& app) {
    const SettingsPaths paths = FindSettingsPaths();
    if (paths.settingsProgram.empty()) return false;
    app.settingsPath = paths.settingsFile;
    app.settingsProgramPath = paths.settingsProgram;
    return true;
}

static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA has no pointers: 148 bytes in both builds");
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "32-bit STARTUPINFOA is 68 bytes");

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
        UniqueHandle thread(process.hThread), started(process.hProcess);
    }
}
