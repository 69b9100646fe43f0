#include "app/warning_dialog.h"

#include <imm.h>

#include "app/trap_app.h"
#include "resource.h"

namespace {
constexpr UINT kShiftJis = 932;

// The text the dialog shows; set by ShowWarning before the dialog opens.
std::string g_warningText;

std::wstring WideFromShiftJis(const std::string& text) {
    int n = MultiByteToWideChar(kShiftJis, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(kShiftJis, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

void CentreTopmost(HWND dialog) {
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog, &own);
    // C++ integer division rounds toward zero, as the placement requires.
    int x = (desktop.right + own.left - own.right) / 2;
    int y = (desktop.bottom + own.top - own.bottom) / 2;
    SetWindowPos(dialog, HWND_TOPMOST, x, y, own.right - own.left, own.bottom - own.top, SWP_SHOWWINDOW);
}

INT_PTR CALLBACK WarningDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ImmAssociateContext(dialog, nullptr);
        CentreTopmost(dialog);
        // On a Japanese system the Shift-JIS bytes go in as they are; on any
        // other the text goes in as UTF-16 so that it stays legible.
        if (GetACP() == kShiftJis)
            SetDlgItemTextA(dialog, IDC_WARNING_TEXT, g_warningText.c_str());
        else
            SetDlgItemTextW(dialog, IDC_WARNING_TEXT, WideFromShiftJis(g_warningText).c_str());
        return TRUE;
    case WM_COMMAND:
        // Only OK (id 1) closes the warning; Escape (id 2) does nothing.
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
}  // namespace

std::string LoadWarningText(HINSTANCE instance, UINT id) {
    const wchar_t* text = nullptr;
    // With a buffer size of 0 LoadStringW hands back a pointer into the resource.
    int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::string();
    int n = WideCharToMultiByte(kShiftJis, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(kShiftJis, 0, text, length, &bytes[0], n, nullptr, nullptr);
    return bytes;
}

void ShowWarning(const std::string& text) {
    g_warningText = text;
    HINSTANCE instance = g_app ? static_cast<HINSTANCE>(g_app->instance) : GetModuleHandleA(nullptr);
    HWND owner = g_app ? static_cast<HWND>(g_app->mainWindow) : nullptr;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WARNING), owner, WarningDialogProc, 0);
}
