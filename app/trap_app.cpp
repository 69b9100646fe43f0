#include "app/trap_app.h"

CTrapApp* g_app = nullptr;
int32_t g_osKind = 0;

CTrapApp::~CTrapApp() {
    pendingEvents.FreeAll();
    // The open-alert list is walked by alert-window threads, so its entries
    // are deleted under its mutex; their windows are left open.
    auto lock = openAlerts.Lock();
    while (auto* node = openAlerts.HeadLocked()) delete openAlerts.UnlinkLocked(node);
}

int32_t OsKindFrom(uint32_t platformId, uint32_t majorVersion) {
    constexpr uint32_t kPlatformWin32Windows = 1;  // VER_PLATFORM_WIN32_WINDOWS
    if (platformId == kPlatformWin32Windows) return 1;
    if (majorVersion == 5) return 2;
    return 0;
}
