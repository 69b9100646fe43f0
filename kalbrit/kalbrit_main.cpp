// Kalbrit.exe: the settings program of the Dovrel trap monitor. Started from
// Dovrel's tray menu without arguments; "/ini <path>" names another
// settings file to edit instead of the installed one.
#include <windows.h>

#include "kalbrit/kalbrit_dialog.h"
#include "kalbrit/settings_path_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::string path = FindSettingsFile(commandLine);
    return RunKalbritDialog(instance, path) == -1 ? 1 : 0;
}
