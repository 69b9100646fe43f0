#include "app/startup.h"

#include "alert/alert_brushes.h"
#include "app/trap_app.h"
#include "app/warning_dialog.h"
#include "resource.h"
#include "snmp/trap_receiver.h"
#include "win/win32_profile_reader.h"

CTrapReceiver* g_receiver = nullptr;

namespace {
// Held for the life of the process; the system releases it at exit.
HANDLE g_instanceMutex = nullptr;

void FailStart(HWND window, UINT textId) {
    ShowWarning(LoadWarningText(static_cast<HINSTANCE>(g_app->instance), textId, GetACP()));
    PostMessageA(window, WM_DESTROY, 0, 0);
}
}  // namespace

void OnCreate(HWND window) {
    CreateAlertBrushes();

    HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName);
    if (other) {
        CloseHandle(other);
        FailStart(window, IDS_ALREADY_RUNNING);
        return;
    }
    g_instanceMutex = CreateMutexA(nullptr, FALSE, kInstanceMutexName);

    Win32ProfileReader settings(g_app->settingsPath);
    if (!g_app->LoadSettings(settings)) {
        FailStart(window, IDS_SETTINGS_READ_FAILED);
        return;
    }

    g_receiver = new CTrapReceiver;
    if (!g_receiver->Start()) FailStart(window, IDS_START_FAILED);
}
