#include "app/main_window.h"

#include "alert/status_query.h"
#include "app/activity_win32.h"
#include "app/settings_win32.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/trap_app.h"
#include "app/tray_icon.h"
#include "res/resource.h"
#include "settings/settings_paths.h"

ATOM RegisterMainWindowClass(HINSTANCE instance, const char* className, HICON classIcon) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = classIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance, const char* className) {
    HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, className, kMainWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 80, 60, nullptr, nullptr, instance, nullptr);
    if (window) {
        ShowWindow(window, SW_HIDE);
        UpdateWindow(window);
    }
    return window;
}

namespace {
void RunSettingsProgram() {
    RunProgram(SettingsProgramCommandLine(g_app->settingsProgramPath).c_str());
}
}  // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        // The icon is added even when OnCreate failed and posted WM_DESTROY.
        OnCreate(window);
        AddTrayIcon(window);
        return 0;
    case WM_DESTROY:
        // Every close request ends here; the window itself goes with the process.
        Shutdown();
        RemoveTrayIcon(window);
        PostQuitMessage(0);
        // A close request dispatched from inside the tray menu's modal loop
        // would otherwise wait for the user to dismiss the menu.
        EndMenu();
        return 0;
    case WM_COMMAND:
        // Once the shutdown has run, late commands find nothing to act on.
        if (ShutdownDone()) return 0;
        if (LOWORD(wParam) == IDM_QUIT)
            PostMessageA(window, WM_DESTROY, 0, 0);
        else if (LOWORD(wParam) == IDM_SETTING)
            RunSettingsProgram();
        return 0;
    case kTrayCallbackMessage:
        if (!ShutdownDone() && lParam == WM_RBUTTONDOWN) ShowTrayMenu(window);
        return 0;
    case kActivityChangedMessage:
        RefreshTrayTip(window);
        return 0;
    case kStatusQueryMessage:
        return AnswerStatusQueryMessage(wParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
