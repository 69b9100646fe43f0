#include "app/activity_win32.h"

#include "alert/status_query.h"
#include "app/app_alert_work.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/trap_app.h"
#include "app/tray_icon.h"
#include "app/tray_tip.h"

namespace {
uint64_t AlertsAnnounced() { return g_alertWork ? g_alertWork->AlertsAnnounced() : 0; }
}  // namespace

void RefreshTrayTip(HWND window) {
    if (ShutdownDone() || !g_app) return;
    const RefusalSummary summary = SummarizeRefusals(g_app->refusals.Snapshot());
    SetTrayTip(window, TrayTipText(summary, AlertsAnnounced(), g_app->settings.language != kEnglishLanguage, GetACP()));
}

// Any process on the desktop may send this message, so the answer is only
// ever an integer: lParam is never read (no pointer of the sender's is
// followed or written through), and the work is a copy of a few counters
// under their mutex: nothing a stranger can make allocate, wait or grow.
LRESULT AnswerStatusQueryMessage(WPARAM selector) {
    if (ShutdownDone() || !g_app) return 0;
    return static_cast<LRESULT>(
        AnswerStatusQuery(static_cast<uint32_t>(selector), g_app->refusals.Snapshot(), AlertsAnnounced()));
}
