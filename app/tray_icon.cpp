#include "app/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "app/main_window.h"
#include "app/tray_tip.h"
#include "res/resource.h"

namespace {
// The tooltip the shell was last given.
std::string g_shownTip = kTrayTipName;
// The 16 x 16 icon handed to the shell; released once the icon is removed.
HICON g_trayIcon = nullptr;

// The program's instance, as recorded in the window (the same as g_app's):
// these functions never depend on the application object.
HINSTANCE WindowInstance(HWND window) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

// The record's version-2 form: 488 bytes in 32-bit programs, wider in
// 64-bit ones, where the handles are.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == 488, "32-bit tray record is 488 bytes");

NOTIFYICONDATAA EmptyRecord(HWND window) {
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof(record));
    // The platform's own version-2 size (the 488 bytes of 32-bit Windows
    // are a different size on 64-bit).
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = kTrayIconId;
    return record;
}
}  // namespace

void AddTrayIcon(HWND window) {
    NOTIFYICONDATAA record = EmptyRecord(window);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kTrayCallbackMessage;
    if (!g_trayIcon)
        g_trayIcon = static_cast<HICON>(LoadImageA(WindowInstance(window),
                                                   MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 16, 16,
                                                   LR_DEFAULTCOLOR));
    record.hIcon = g_trayIcon;
    std::strncpy(record.szTip, g_shownTip.c_str(), sizeof(record.szTip) - 1);
    Shell_NotifyIconA(NIM_ADD, &record);
}

void SetTrayTip(HWND window, const std::string& tip) {
    if (tip == g_shownTip) return;
    NOTIFYICONDATAA record = EmptyRecord(window);
    record.uFlags = NIF_TIP;
    std::strncpy(record.szTip, tip.c_str(), sizeof(record.szTip) - 1);
    if (Shell_NotifyIconA(NIM_MODIFY, &record)) g_shownTip = tip;
}

void RemoveTrayIcon(HWND window) {
    NOTIFYICONDATAA record = EmptyRecord(window);
    Shell_NotifyIconA(NIM_DELETE, &record);
    if (g_trayIcon) {
        DestroyIcon(g_trayIcon);
        g_trayIcon = nullptr;
    }
}

void ShowTrayMenu(HWND window) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetForegroundWindow(window);
    HMENU menu = LoadMenuA(WindowInstance(window), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (menu) {
        HMENU popup = GetSubMenu(menu, 0);
        // TPM_BOTTOMALIGN | TPM_RIGHTBUTTON (0x22). A close request that
        // arrives meanwhile is handled inside this modal loop; nothing below
        // touches the application object.
        TrackPopupMenu(popup, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
        DestroyMenu(menu);
    }
    PostMessageA(window, kTrayCallbackMessage, 0, 0);
}
