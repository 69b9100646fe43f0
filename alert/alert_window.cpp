#include "alert/alert_window.h"

#include <imm.h>

#include <atomic>
#include <new>
#include <vector>

#include "alert/alert_brushes.h"
#include "alert/alert_list.h"
#include "app/trap_app.h"
#include "resource.h"

namespace {
std::atomic<int> g_liveAlertWindows{0};

constexpr UINT kWmCtlColor = 0x0019;  // the 16-bit era's WM_CTLCOLOR
constexpr UINT kFlagsPlace = SWP_SHOWWINDOW;
constexpr UINT kFlagsPlaceKind2 = SWP_SHOWWINDOW | SWP_NOOWNERZORDER;
constexpr DWORD kRepaintPauseMs = 10;
}  // namespace

int LiveAlertWindowCount() { return g_liveAlertWindows.load(); }
void NoteAlertWindowThreadStarting() { g_liveAlertWindows.fetch_add(1); }
void NoteAlertWindowThreadNotStarted() { g_liveAlertWindows.fetch_sub(1); }

DWORD WINAPI AlertWindowThread(LPVOID param) {
    auto* texts = static_cast<AlertTexts*>(param);
    HINSTANCE instance = g_app ? static_cast<HINSTANCE>(g_app->instance) : GetModuleHandleA(nullptr);
    HWND owner = g_app ? static_cast<HWND>(g_app->mainWindow) : nullptr;
    const INT_PTR result = ShowAlertWindow(instance, owner, texts);
    delete texts;
    // Last: from here on the shutdown may release what the window used.
    g_liveAlertWindows.fetch_sub(1);
    return static_cast<DWORD>(result);
}

INT_PTR ShowAlertWindow(HINSTANCE instance, HWND owner, AlertTexts* texts) {
    EnforceAlertCap();
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ALERT), owner, AlertDialogProc,
                           reinterpret_cast<LPARAM>(texts));
}

void RequestAlertClose(HWND window) { PostMessageA(window, WM_COMMAND, 1, 0); }

void EnforceAlertCap() {
    if (!g_app) return;
    // The list's mutex is released before any window is told to close.
    const std::vector<void*> toClose = TrimAlertList(g_app->openAlerts);
    for (void* window : toClose) RequestAlertClose(static_cast<HWND>(window));
}

INT_PTR CALLBACK AlertDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const WORD id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) EndDialog(window, 1);
        return FALSE;
    }
    if (!g_app) {
        // Without the application state the window keeps the system colours.
        if (message == WM_INITDIALOG && lParam) InitAlertWindow(window, *reinterpret_cast<AlertTexts*>(lParam));
        return FALSE;
    }

    const COLORREF colour = LookupAlertColour(g_app->openAlerts, window);
    HBRUSH brush = AlertBrushFor(colour);

    switch (message) {
    case WM_INITDIALOG:
        if (lParam) InitAlertWindow(window, *reinterpret_cast<AlertTexts*>(lParam));
        // Hidden and shown again so the window repaints in its own colour.
        ShowWindow(window, SW_HIDE);
        Sleep(kRepaintPauseMs);
        ShowWindow(window, SW_SHOW);
        return FALSE;
    case WM_ERASEBKGND:
        PaintAlertBackground(window, reinterpret_cast<HDC>(wParam), brush, colour);
        return FALSE;
    case kWmCtlColor:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(PaintAlertBackground(window, reinterpret_cast<HDC>(wParam), brush, colour));
    case WM_DESTROY:
        ForgetAlertWindow(window);
        return FALSE;
    default:
        return FALSE;
    }
}

void InitAlertWindow(HWND window, const AlertTexts& texts) {
    ImmAssociateContext(window, nullptr);
    PlaceAlertWindow(window);
    const COLORREF colour = AlertColourFor(texts.colourName.c_str(), GetACP());
    SetDlgItemTextA(window, IDC_ALERT_DATE, texts.dateText.c_str());
    SetDlgItemTextA(window, IDC_ALERT_FROM, texts.senderLine.c_str());
    SetDlgItemTextA(window, IDC_ALERT_MESSAGE, texts.messageText.c_str());
    if (!g_app) return;
    auto* entry = new (std::nothrow) CAlertEntry(window);
    if (!entry) return;
    entry->SetColour(colour);
    if (!g_app->openAlerts.Append(entry)) delete entry;
}

void PlaceAlertWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 g_osKind == 2 ? kFlagsPlaceKind2 : kFlagsPlace);
}

HBRUSH PaintAlertBackground(HWND dialog, HDC dc, HBRUSH brush, COLORREF colour) {
    SetBkColor(dc, colour);
    RECT client{};
    GetClientRect(dialog, &client);
    if (brush) FillRect(dc, &client, brush);
    return brush;
}

void ForgetAlertWindow(HWND window) {
    if (g_app) ForgetAlertEntry(g_app->openAlerts, window);
}
