#pragma once
// The notification-area icon and its menu.
#include <windows.h>

void AddTrayIcon(HWND window);
void RemoveTrayIcon(HWND window);
// Opens the tray menu with its bottom-left corner at the cursor.
void ShowTrayMenu(HWND window);
