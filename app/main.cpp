// Entry of Dovrel.exe: time zone, Windows Sockets, the application object,
// the hidden main window and its message loop.
#include <winsock.h>
#include <windows.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

#include "alert/alert_window.h"
#include "app/main_window.h"
#include "app/settings_win32.h"
#include "app/trap_app.h"
#include "res/resource.h"
#include "settings/program_names.h"

namespace {
// Timestamps show Japan Standard Time unless the user set TZ.
void SetUpTimeZone() {
    if (std::getenv("TZ")) return;
    std::setlocale(LC_ALL, "Japanese");
    _putenv("TZ=JST-9");
    _tzset();
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int) {
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    SetUpTimeZone();

    WSADATA wsa;
    if (WSAStartup(0x0101, &wsa) != 0) return 1;

    g_app = new CTrapApp;
    g_app->instance = instance;
    if (!ReadInstallPath(*g_app)) g_app->settingsPath = kSettingsFileName;
    g_osKind = GetOsKind();

    if (!previous && !RegisterMainWindowClass(instance, kMainWindowClass, icon)) return 1;
    HWND window = CreateMainWindow(instance, kMainWindowClass);
    if (!window) return 1;
    // A failed start-up has already run the shutdown, which may have released g_app.
    if (g_app) g_app->mainWindow = window;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    const int exitCode = static_cast<int>(message.wParam);
    // Alert windows still open run on their own threads: end the process at
    // once rather than run static destructors under them.
    if (LiveAlertWindowCount() > 0) ExitProcess(static_cast<UINT>(exitCode));
    return exitCode;
}
