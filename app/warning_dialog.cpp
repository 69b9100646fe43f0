#include "app/warning_dialog.h"

#include <imm.h>

#include "app/trap_app.h"
#include "core/mbcs.h"
#include "res/resource.h"
#include "win/text_win32.h"

namespace {

void CentreTopmost(HWND dialog) {
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog, &own);
    // C++ integer division rounds toward zero, as the placement requires.
    int x = (desktop.right + own.left - own.right) / 2;
    int y = (desktop.bottom + own.top - own.bottom) / 2;
    SetWindowPos(dialog, HWND_TOPMOST, x, y, own.right - own.left, own.bottom - own.top, SWP_SHOWWINDOW);
}

INT_PTR CALLBACK WarningDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ImmAssociateContext(dialog, nullptr);
        CentreTopmost(dialog);
        SetDlgItemTextA(dialog, IDC_WARNING_TEXT, reinterpret_cast<const char*>(lParam));
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

std::string LoadWarningText(HINSTANCE instance, UINT id, UINT codePage) {
    // The dialog is an ANSI window: outside code page 932 Japanese would turn
    // into question marks, so the English text of the same warning is used.
    const UINT textId = codePage == kShiftJisCodePage ? id : id + IDS_ENGLISH_OFFSET;
    const wchar_t* text = nullptr;
    // With a buffer size of 0 LoadStringW hands back a pointer into the resource.
    int length = LoadStringW(instance, textId, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::string();
    return Narrow(std::wstring(text, static_cast<std::size_t>(length)), codePage);
}

void ShowWarning(const std::string& text) {
    HINSTANCE instance = g_app ? static_cast<HINSTANCE>(g_app->instance) : GetModuleHandleA(nullptr);
    HWND owner = g_app ? static_cast<HWND>(g_app->mainWindow) : nullptr;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WARNING), owner, WarningDialogProc,
                    reinterpret_cast<LPARAM>(text.c_str()));
}
