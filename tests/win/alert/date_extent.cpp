// Measures the date text of an alert against the date control of the real
// alert dialog (template 102 from the program's own resources), in the
// control's own font and the process's ANSI code page.
//   alert_date_extent.exe [text...]
// Prints the code page, the font, the control's client size, the width of
// every character a date text can hold, the extent of "2026/12/31 23:59:59",
// of the widest date text of a 32-bit time (1970 to 2038) and of any text
// given on the command line, and the narrowest control width in dialog
// units that holds the widest date text.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "res/resource.h"

namespace {
INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

int Width(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The widest two-digit field with a value in [low, high].
std::string WidestField(HDC dc, int low, int high, int digits) {
    std::string best;
    int bestWidth = -1;
    for (int v = low; v <= high; ++v) {
        char text[8];
        std::snprintf(text, sizeof text, "%0*d", digits, v);
        const int w = Width(dc, text);
        if (w > bestWidth) bestWidth = w, best = text;
    }
    return best;
}

// The widest "YYYY/MM/DD hh:mm:ss" with a real year, month and day.
std::string WidestDate(HDC dc) {
    static const int kDaysIn[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::string best;
    int bestWidth = -1;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= kDaysIn[month - 1]; ++day) {
            char text[8];
            std::snprintf(text, sizeof text, "%02d/%02d", month, day);
            const int w = Width(dc, text);
            if (w > bestWidth) bestWidth = w, best = text;
        }
    }
    // Fields are measured apart: a leap day is taken whatever the year.
    return WidestField(dc, 1970, 2038, 4) + "/" + best + " " + WidestField(dc, 0, 23, 2) + ":" +
           WidestField(dc, 0, 59, 2) + ":" + WidestField(dc, 0, 59, 2);
}
}  // namespace

int main(int argc, char** argv) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ALERT), nullptr, QuietProc, 0);
    if (!dialog) {
        std::fprintf(stderr, "template %d: CreateDialogParamA failed (%lu)\n", IDD_ALERT, GetLastError());
        return 1;
    }
    HWND control = GetDlgItem(dialog, IDC_ALERT_DATE);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HDC dc = GetDC(control);
    SelectObject(dc, font);

    RECT client{};
    GetClientRect(control, &client);
    wchar_t wideFace[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, wideFace);
    char face[4 * LF_FACESIZE] = {};  // UTF-8, whatever the code page
    WideCharToMultiByte(CP_UTF8, 0, wideFace, -1, face, sizeof face, nullptr, nullptr);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT unit{0, 0, 4, 8};
    MapDialogRect(dialog, &unit);

    std::printf("code page     %u\n", GetACP());
    std::printf("font          \"%s\" height %ld ave %ld max %ld charset %d\n", face, tm.tmHeight, tm.tmAveCharWidth,
                tm.tmMaxCharWidth, tm.tmCharSet);
    std::printf("base units    %ld x %ld pixels per 4 x 8 dialog units\n", unit.right, unit.bottom);
    std::printf("control 1002  client %ld x %ld pixels\n", client.right, client.bottom);
    std::printf("widths       ");
    for (const char* c = "0123456789/: "; *c; ++c) std::printf(" '%c'=%d", *c, Width(dc, std::string(1, *c)));
    std::printf("\n");

    auto report = [&](const std::string& text) {
        RECT wrapped = client;
        DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        const int w = Width(dc, text);
        std::printf("extent        \"%s\" %d pixels, %s (%ld lines in the control)\n", text.c_str(), w,
                    w <= client.right ? "fits" : "does not fit", tm.tmHeight ? (wrapped.bottom + tm.tmHeight - 1) / tm.tmHeight : 0);
        return w;
    };
    report("00/00/00 00:00:00");
    report("2026/12/31 23:59:59");
    const std::string widest = WidestDate(dc);
    const int widestWidth = report(widest);
    for (int i = 1; i < argc; ++i) report(argv[i]);

    // The narrowest width in dialog units whose client width holds the widest date.
    for (int units = 1; units < 229; ++units) {
        RECT r{0, 0, units, 8};
        MapDialogRect(dialog, &r);
        if (r.right >= widestWidth) {
            std::printf("needed        %d dialog units (%ld pixels) for \"%s\"\n", units, r.right, widest.c_str());
            break;
        }
    }
    ReleaseDC(control, dc);
    DestroyWindow(dialog);
    return 0;
}
