#include "app/shutdown.h"

#include <winsock.h>

#include "alert/alert_brushes.h"
#include "alert/alert_window.h"
#include "app/app_alert_work.h"
#include "app/startup.h"
#include "app/trap_app.h"
#include "snmp/trap_receiver.h"

namespace {
bool g_shutdownDone = false;
}

bool ShutdownDone() { return g_shutdownDone; }

void Shutdown() {
    if (g_shutdownDone) return;
    g_shutdownDone = true;

    // The engine's threads read g_app's settings and queues and run the
    // alert work, so they end before either is released.
    if (g_receiver) {
        g_receiver->Stop();
        delete g_receiver;
        g_receiver = nullptr;
    }
    delete g_alertWork;
    g_alertWork = nullptr;
    if (g_app) {
        g_app->pendingEvents.FreeAll();
        // Open alert windows read the open-alert list and the brushes until
        // the process ends; then both stay and the process reclaims them.
        if (LiveAlertWindowCount() == 0) {
            delete g_app;
            g_app = nullptr;
            DeleteAlertBrushes();
        }
    }
    WSACleanup();
}
