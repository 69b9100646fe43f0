#include "app/startup.h"

#include "alert/alert_brushes.h"
#include "app/app_alert_work.h"
#include "app/snmpv3_reception.h"
#include "app/trap_app.h"
#include "app/warning_dialog.h"
#include "res/resource.h"
#include "settings/program_names.h"
#include "snmp/trap_receiver.h"
#include "win/cng_crypto.h"
#include "win/handles.h"
#include "win/win32_profile_reader.h"

CTrapReceiver* g_receiver = nullptr;
AppAlertWork* g_alertWork = nullptr;

namespace {
void FailStart(HWND window, UINT textId) {
    ShowWarning(LoadWarningText(static_cast<HINSTANCE>(g_app->instance), textId, GetACP()));
    PostMessageA(window, WM_DESTROY, 0, 0);
}
}  // namespace

void OnCreate(HWND window) {
    CreateAlertBrushes();

    if (UniqueHandle other{OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName)}) {
        FailStart(window, IDS_ALREADY_RUNNING);
        return;
    }
    // Held for the life of the process; the system releases it at exit.
    CreateMutexA(nullptr, FALSE, kInstanceMutexName);

    Win32ProfileReader settings(g_app->settingsPath);
    if (!LoadTrapSettings(settings, g_app->settings)) {
        FailStart(window, IDS_SETTINGS_READ_FAILED);
        return;
    }
    g_app->deviceNames.Load(settings, GetACP());

    AlertWindowContext windows;
    windows.instance = static_cast<HINSTANCE>(g_app->instance);
    windows.owner = window;
    windows.openAlerts = &g_app->openAlerts;
    windows.osKind = g_osKind;
    windows.repeats = g_app->settings.mergeRepeats ? &g_app->repeatWindows : nullptr;
    g_alertWork = new AppAlertWork(g_app->pendingEvents, g_app->settingsPath, g_app->settings.language, windows,
                                   g_app->refusals, &g_app->deviceNames);
    // Engine time counts from now on the clock the receive thread reads.
    g_app->crypto = std::make_unique<CngCrypto>();
    g_app->usm = MakeUsmReceiver(settings, *g_app->crypto, static_cast<int64_t>(GetTickCount64() / 1000));
    g_receiver = new CTrapReceiver;
    g_receiver->SetUsmReceiver(g_app->usm.get());
    if (!g_receiver->Start(g_app->settings, g_app->pendingEvents, *g_alertWork, g_app->refusals))
        FailStart(window, IDS_START_FAILED);
}
