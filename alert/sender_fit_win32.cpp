#include "alert/sender_fit_win32.h"

#include <string>

#include "alert/sender_line.h"
#include "res/resource.h"

namespace {
// "…" in the ANSI code page where it has one (0x85 in 1252, 0x81 0x63 in
// 932), else three dots.
std::string Ellipsis() {
    char bytes[8] = {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, L"\u2026", 1, bytes, sizeof bytes, nullptr, &usedDefault);
    return n > 0 && !usedDefault ? std::string(bytes, n) : std::string("...");
}
}  // namespace

void ShowSenderLine(HWND dialog, const AlertTexts& texts) {
    if (texts.senderName.empty()) {
        SetDlgItemTextA(dialog, IDC_ALERT_FROM, texts.senderLine.c_str());
        return;
    }
    HWND control = GetDlgItem(dialog, IDC_ALERT_FROM);
    // A name may hold '&', which the static control would take for a mnemonic.
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_NOPREFIX);
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    auto width = [dc](const std::string& text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    const std::string line = FitNamedSenderLine(texts.senderName, SenderAddress(texts.senderLine), Ellipsis(),
                                                GetACP(), client.right - client.left, width);
    SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    SetWindowTextA(control, line.c_str());
}
