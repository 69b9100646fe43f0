#include "alert/alert_platform_win32.h"

#include <windows.h>

#include "alert/alert_history_win32.h"
#include "alert/alert_window.h"
#include "app/trap_app.h"
#include "core/work_gate.h"
#include "win/win32_profile_reader.h"

namespace {
constexpr DWORD kScreenSaverDesktopAccess = DESKTOP_READOBJECTS | DESKTOP_WRITEOBJECTS;  // 0x81

BOOL CALLBACK CloseScreenSaverWindow(HWND window, LPARAM) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    // Leaves the screen saver enabled for the next idle time.
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
    return TRUE;
}
}  // namespace

Win32AlertPlatform::~Win32AlertPlatform() {
    if (dispatcher_.lastThread) CloseHandle(static_cast<HANDLE>(dispatcher_.lastThread));
    dispatcher_.lastThread = nullptr;
}

void Win32AlertPlatform::DismissScreenSaver() {
    if (g_osKind == 0) {
        HDESK desktop = OpenDesktopA("Screen-saver", 0, FALSE, kScreenSaverDesktopAccess);
        if (!desktop) return;  // no screen saver running
        EnumDesktopWindows(desktop, CloseScreenSaverWindow, 0);
        CloseDesktop(desktop);
        return;
    }
    if (HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr)) PostMessageA(saver, WM_CLOSE, 0, 0);
}

void Win32AlertPlatform::Beep() { MessageBeep(MB_ICONEXCLAMATION); }

bool Win32AlertPlatform::StartAlertWindow(AlertTexts* texts) {
    NoteAlertWindowThreadStarting();
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, AlertWindowThread, texts, 0, &id);
    if (!thread) {
        NoteAlertWindowThreadNotStarted();
        delete texts;
        return false;
    }
    if (dispatcher_.lastThread) CloseHandle(static_cast<HANDLE>(dispatcher_.lastThread));
    dispatcher_.lastThread = thread;
    dispatcher_.lastThreadId = id;
    return true;
}

void Win32AlertPlatform::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void Win32AlertPlatform::RecordAlert(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber,
                                     int32_t specificCode) {
    AppendAlertHistory(texts, arrival, messageNumber, specificCode);
}

int RunAppAlertPass(CAlertDispatcher& dispatcher, WorkGate& gate) {
    if (!g_app) return 0;
    Win32ProfileReader catalogue(g_app->settingsPath);
    Win32AlertPlatform platform(dispatcher);
    return RunAlertPass(dispatcher, g_app->pendingEvents, catalogue, g_app->language, platform, gate);
}
