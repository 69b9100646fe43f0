// The program shell in-process under Wine: resources, the main window's
// class and creation, start-up and a shutdown that runs twice.
#include <winsock.h>
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "alert/alert_brushes.h"
#include "alert/alert_list.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/trap_app.h"
#include "app/warning_dialog.h"
#include "res/resource.h"

namespace {
constexpr int kPort = 22301;

std::string ShiftJisFromUtf8(const char* utf8) {
    wchar_t wide[256] = {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    char bytes[512] = {};
    WideCharToMultiByte(932, 0, wide, n, bytes, sizeof(bytes), nullptr, nullptr);
    return bytes;
}

bool TrayIconExists(HWND window) {
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = kTrayIconId;
    record.uFlags = NIF_TIP;
    lstrcpyA(record.szTip, "Pelmora");
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

bool CanBindPort(int port) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) return false;
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(port));
    bool ok = bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
    closesocket(s);
    return ok;
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroup {
    WORD reserved, type, count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)
}  // namespace

TEST(ShellResources, WarningTextsReachTheDialogAsShiftJisUnderCodePage932) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(LoadWarningText(self, IDS_ALREADY_RUNNING, 932), ShiftJisFromUtf8("既に本アプリケーションは起動しています"));
    EXPECT_EQ(LoadWarningText(self, IDS_SETTINGS_READ_FAILED, 932), ShiftJisFromUtf8("INIファイル読込み失敗\n"));
    EXPECT_EQ(LoadWarningText(self, IDS_START_FAILED, 932), ShiftJisFromUtf8("起動に失敗しました。終了します"));
}

// An ANSI window outside code page 932 cannot show Japanese: each warning
// has an English text of the same meaning, and Western or Korean systems
// alike get it.
TEST(ShellResources, WarningTextsAreEnglishUnderOtherCodePages) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (UINT codePage : {1252u, 949u}) {
        EXPECT_EQ(LoadWarningText(self, IDS_ALREADY_RUNNING, codePage), "This application is already running.");
        EXPECT_EQ(LoadWarningText(self, IDS_SETTINGS_READ_FAILED, codePage), "Failed to read the INI file.");
        EXPECT_EQ(LoadWarningText(self, IDS_START_FAILED, codePage), "Start-up failed. The program will now end.");
    }
}

TEST(ShellResources, IconGroupHolds32And16PixelImagesOf16Colours) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(IDI_PROGRAM), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_NE(found, nullptr);
    auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(self, found)));
    ASSERT_EQ(group->count, 2);
    std::vector<int> sizes;
    for (int i = 0; i < group->count; ++i) {
        sizes.push_back(group->entries[i].width);
        EXPECT_EQ(group->entries[i].width, group->entries[i].height);
        EXPECT_EQ(group->entries[i].bitCount, 4);
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
    HANDLE small = LoadImageA(self, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    EXPECT_NE(small, nullptr);
    DestroyIcon(static_cast<HICON>(small));
}

TEST(ShellResources, TrayMenuHasSettingSeparatorQuit) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    char text[64] = {};
    GetMenuStringA(menu, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "LPOP MENU");
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_SETTING));
    GetMenuStringA(popup, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Setting");
    EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(IDM_QUIT));
    GetMenuStringA(popup, 2, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&QUIT");
    DestroyMenu(menu);
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(ShellResources, WarningDialogTemplate) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_WARNING), nullptr,
                                     InertDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    char text[64] = {};
    GetWindowTextA(dialog, text, sizeof(text));
    EXPECT_STREQ(text, "Warning(Tesvane)");
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU) << "no system menu";
    HWND edit = GetDlgItem(dialog, IDC_WARNING_TEXT);
    ASSERT_NE(edit, nullptr);
    LONG editStyle = GetWindowLongA(edit, GWL_STYLE);
    EXPECT_EQ(editStyle & (ES_READONLY | ES_MULTILINE | ES_CENTER), ES_READONLY | ES_MULTILINE | ES_CENTER);
    EXPECT_FALSE(editStyle & WS_BORDER);
    HWND ok = GetDlgItem(dialog, IDOK);
    ASSERT_NE(ok, nullptr);
    GetWindowTextA(ok, text, sizeof(text));
    EXPECT_STREQ(text, "OK");
    EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    DestroyWindow(dialog);
}

TEST(ShellResources, VersionInformationNamesDovrel) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    auto value = [&](const char* name) {
        char* text = nullptr;
        std::string key = std::string("\\StringFileInfo\\041104B0\\") + name;
        return VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) && text
                   ? std::string(text)
                   : std::string("<missing>");
    };
    EXPECT_EQ(value("FileDescription"), "Dovrel");
    EXPECT_EQ(value("ProductName"), "Dovrel");
    EXPECT_EQ(value("OriginalFilename"), "Dovrel.exe");
}

// One start-up and shutdown of the shell per process: the globals are the program's.
TEST(ShellLifecycle, StartsHiddenAndReleasesEverythingOnceOnTwoDestroys) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string ini = std::string(folder) + "dovrel-shell-test.ini";
    {
        std::ofstream out(ini);
        out << "[usKarn_trap]\r\nport=" << kPort << "\r\nrecTimeout=1\r\n";
    }
    // One share of Windows Sockets for the program (WinMain's), one for this test.
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(0x0101, &wsa), 0);
    ASSERT_EQ(WSAStartup(0x0101, &wsa), 0);

    HINSTANCE self = GetModuleHandleA(nullptr);
    g_app = new CTrapApp;
    g_app->instance = self;
    g_app->settingsPath = ini;

    HICON icon = LoadIconA(self, MAKEINTRESOURCEA(IDI_PROGRAM));
    ASSERT_NE(RegisterMainWindowClass(self, kMainWindowClass, icon), 0);
    WNDCLASSEXA cls = {};
    cls.cbSize = sizeof(cls);
    ASSERT_TRUE(GetClassInfoExA(self, kMainWindowClass, &cls));
    EXPECT_EQ(cls.style, 11u);
    EXPECT_EQ(cls.lpfnWndProc, MainWndProc);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(cls.hbrBackground), 6);
    EXPECT_EQ(cls.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(cls.hIcon, icon);

    HWND window = CreateMainWindow(self, kMainWindowClass);
    ASSERT_NE(window, nullptr);
    g_app->mainWindow = window;
    char title[64] = {};
    GetWindowTextA(window, title, sizeof(title));
    EXPECT_STREQ(title, "Dovrel.exe");
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT r = {};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.bottom - r.top, 60);

    // Start-up ran inside creation: brushes, mutex, settings, engine, tray icon.
    EXPECT_NE(AlertBrushFor(kColourRed), nullptr);
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName);
    EXPECT_NE(mutex, nullptr);
    if (mutex) CloseHandle(mutex);
    EXPECT_EQ(g_app->settings.port, kPort);
    ASSERT_NE(g_receiver, nullptr);
    EXPECT_FALSE(CanBindPort(kPort)) << "the engine holds its port";
    EXPECT_TRUE(TrayIconExists(window));

    // Two close requests in a row, then late menu and tray messages.
    PostMessageA(window, WM_DESTROY, 0, 0);
    PostMessageA(window, WM_DESTROY, 0, 0);
    PostMessageA(window, WM_COMMAND, IDM_SETTING, 0);
    PostMessageA(window, WM_COMMAND, IDM_QUIT, 0);
    PostMessageA(window, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    MSG message = {};
    int handled = 0;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
        ++handled;
    }
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_GE(handled, 5);

    EXPECT_EQ(g_receiver, nullptr);
    EXPECT_EQ(g_app, nullptr) << "no alert window was open, so the application object went";
    EXPECT_EQ(AlertBrushFor(kColourRed), nullptr);
    EXPECT_TRUE(CanBindPort(kPort)) << "the engine's socket is closed";
    EXPECT_FALSE(TrayIconExists(window));

    // Windows Sockets was cleaned up exactly once: this test's share is left.
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    EXPECT_NE(s, INVALID_SOCKET) << "cleaned up more than once";
    if (s != INVALID_SOCKET) closesocket(s);
    WSACleanup();
    EXPECT_EQ(socket(AF_INET, SOCK_DGRAM, 0), INVALID_SOCKET) << "not cleaned up at all";
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    DeleteFileA(ini.c_str());
}
