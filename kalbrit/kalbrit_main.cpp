// Kalbrit.exe: the settings program of the Dovrel trap monitor. Started from
// Dovrel's tray menu without arguments; "/ini <path>" names another
// settings file to edit instead of the installed one. Started by itself with
// "/save-elevated ..." or "/save-list-elevated ..." (elevated) it only saves
// the installed Dovrel.ini and shows no window.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "kalbrit/elevated_save.h"
#include "kalbrit/kalbrit_dialog.h"
#include "kalbrit/settings_path_win32.h"
#include "kalbrit/settings_save_win32.h"
#include "settings/settings_paths.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    ElevatedSectionSave save;
    switch (ParseAnyElevatedSave(commandLine ? commandLine : "", save)) {
    case ElevatedSaveLine::Valid:
        // Elevated, this copy may write anywhere: it writes only the file
        // Dovrel reads, found by itself, whatever it is handed.
        if (!NamesInstalledSettingsFile(save.path)) return ERROR_INVALID_PARAMETER;
        return static_cast<int>(SaveSectionEditToFile(InstalledSettingsFile(), save.edit, true));
    case ElevatedSaveLine::Invalid: return ERROR_INVALID_PARAMETER;
    case ElevatedSaveLine::Absent: break;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // COM for the shell's elevation prompt, the desktop shell and the
    // Network List Manager, all asked from this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::string path = FindSettingsFile(commandLine);
    const INT_PTR result = RunKalbritDialog(instance, path);
    if (SUCCEEDED(com)) CoUninitialize();
    return result == -1 ? 1 : 0;
}
