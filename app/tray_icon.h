#pragma once
// The notification-area icon and its menu.
#include <windows.h>

#include <string>

void AddTrayIcon(HWND window);
void RemoveTrayIcon(HWND window);
// Shows tip (ANSI bytes, at most 127) as the icon's tooltip; nothing is
// asked of the shell when it is the tooltip already shown.
void SetTrayTip(HWND window, const std::string& tip);
// Opens the tray menu with its bottom-left corner at the cursor.
void ShowTrayMenu(HWND window);
