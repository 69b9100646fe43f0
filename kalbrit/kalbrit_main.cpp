// Kalbrit.exe: the settings program of the Dovrel trap monitor. Started from
// Dovrel's tray menu without arguments; "/ini <path>" names another
// settings file to edit instead of the installed one. Started by itself with
// "/save-elevated ..." (elevated) it only saves and shows no window.
#include <windows.h>
#include <commctrl.h>

#include "kalbrit/elevated_save.h"
#include "kalbrit/kalbrit_dialog.h"
#include "kalbrit/settings_path_win32.h"
#include "kalbrit/settings_save_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    ElevatedSave save;
    switch (ParseElevatedSave(commandLine ? commandLine : "", save)) {
    case ElevatedSaveLine::Valid: return static_cast<int>(SaveTrapSettingsToFile(save.path, save.settings, true));
    case ElevatedSaveLine::Invalid: return ERROR_INVALID_PARAMETER;
    case ElevatedSaveLine::Absent: break;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    std::string path = FindSettingsFile(commandLine);
    return RunKalbritDialog(instance, path) == -1 ? 1 : 0;
}
