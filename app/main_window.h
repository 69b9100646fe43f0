#pragma once
// The hidden main window: class, creation and window procedure.
#include <windows.h>

#include "settings/program_names.h"

constexpr UINT kTrayCallbackMessage = WM_USER + 100;  // 1124
constexpr UINT kTrayIconId = 1111;

ATOM RegisterMainWindowClass(HINSTANCE instance, const char* className, HICON classIcon);
// Creates the window hidden (WM_CREATE runs OnCreate and adds the tray icon);
// the window is never shown.
HWND CreateMainWindow(HINSTANCE instance, const char* className);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
