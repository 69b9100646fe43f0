#include "alert/alert_window.h"

#include <imm.h>

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "alert/alert_brushes.h"
#include "alert/sender_fit_win32.h"
#include "res/resource.h"

namespace {
std::atomic<int> g_liveAlertWindows{0};

constexpr UINT kWmCtlColor = 0x0019;  // the 16-bit era's WM_CTLCOLOR
constexpr UINT kFlagsPlace = SWP_SHOWWINDOW;
constexpr UINT kFlagsPlaceKind2 = SWP_SHOWWINDOW | SWP_NOOWNERZORDER;
constexpr DWORD kRepaintPauseMs = 10;

// The repeat line, in dialog units: under the message, from the date's
// left edge to the dialog's right margin, one line of the dialog's font;
// the window grows by its row when the first repeat comes.
constexpr int kRepeatLineLeft = 5;
constexpr int kRepeatLineTop = 47;
constexpr int kRepeatLineWidth = 219;
constexpr int kRepeatLineHeight = 8;
constexpr int kRepeatRowHeight = 10;

// The job of a window whose WM_INITDIALOG has run; null before.
const AlertWindowJob* JobOf(HWND window) {
    return reinterpret_cast<const AlertWindowJob*>(GetWindowLongPtrA(window, DWLP_USER));
}

// The list's mutex is released before any window is told to close.
void EnforceAlertCap(AlertList& openAlerts) {
    const std::vector<void*> toClose = TrimAlertList(openAlerts);
    for (void* window : toClose) RequestAlertClose(static_cast<HWND>(window));
}

HWND MakeRepeatLine(HWND window, HINSTANCE instance) {
    RECT line{kRepeatLineLeft, kRepeatLineTop, kRepeatLineLeft + kRepeatLineWidth, kRepeatLineTop + kRepeatLineHeight};
    MapDialogRect(window, &line);
    HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, line.left, line.top,
                                   line.right - line.left, line.bottom - line.top, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ALERT_REPEATS)), instance, nullptr);
    if (!control) return nullptr;
    SendMessageA(control, WM_SETFONT, SendDlgItemMessageA(window, IDC_ALERT_DATE, WM_GETFONT, 0, 0), FALSE);
    RECT row{0, 0, 0, kRepeatRowHeight};
    MapDialogRect(window, &row);
    RECT frame{};
    GetWindowRect(window, &frame);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + row.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return control;
}

// The count and latest time, once the trap has come more than once.
void ShowRepeats(HWND window, const AlertWindowJob& job) {
    if (!job.repeat || !job.context.repeats) return;
    const std::string text = job.context.repeats->LineOf(*job.repeat);
    if (text.empty()) return;
    HWND line = GetDlgItem(window, IDC_ALERT_REPEATS);
    if (!line) line = MakeRepeatLine(window, job.context.instance);
    if (line) SetWindowTextA(line, text.c_str());
}

// Before the window goes: a repeat from now on opens a new window. Taken
// under the records' lock, so no repeat is posted to a destroyed handle.
void StopTakingRepeats(const AlertWindowJob* job) {
    if (job && job->repeat && job->context.repeats) job->context.repeats->Close(*job->repeat);
}

void InitAlertWindow(HWND window, const AlertWindowJob& job) {
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(&job));
    ImmAssociateContext(window, nullptr);
    PlaceAlertWindow(window, job.context.osKind);
    const COLORREF colour = AlertColourFor(job.texts.colourName.c_str(), GetACP());
    SetDlgItemTextA(window, IDC_ALERT_DATE, job.texts.dateText.c_str());
    ShowSenderLine(window, job.texts);
    SetDlgItemTextA(window, IDC_ALERT_MESSAGE, job.texts.messageText.c_str());
    if (job.repeat && job.context.repeats) {
        // Repeats that came while the window was being created are shown now.
        job.context.repeats->Attach(*job.repeat, window);
        ShowRepeats(window, job);
    }
    if (!job.context.openAlerts) return;
    auto* entry = new (std::nothrow) CAlertEntry(window);
    if (!entry) return;
    entry->SetColour(colour);
    if (!job.context.openAlerts->Append(entry)) delete entry;
}
}  // namespace

int LiveAlertWindowCount() { return g_liveAlertWindows.load(); }
void NoteAlertWindowThreadStarting() { g_liveAlertWindows.fetch_add(1); }
void NoteAlertWindowThreadNotStarted() { g_liveAlertWindows.fetch_sub(1); }

DWORD WINAPI AlertWindowThread(LPVOID param) {
    auto* job = static_cast<AlertWindowJob*>(param);
    const INT_PTR result = ShowAlertWindow(*job);
    StopTakingRepeats(job);  // a dialog that never came up
    delete job;
    // Last: from here on the shutdown may release what the window used.
    g_liveAlertWindows.fetch_sub(1);
    return static_cast<DWORD>(result);
}

INT_PTR ShowAlertWindow(const AlertWindowJob& job) {
    if (job.context.openAlerts) EnforceAlertCap(*job.context.openAlerts);
    return DialogBoxParamA(job.context.instance, MAKEINTRESOURCEA(IDD_ALERT), job.context.owner, AlertDialogProc,
                           reinterpret_cast<LPARAM>(&job));
}

void RequestAlertClose(HWND window) { PostMessageA(window, WM_COMMAND, 1, 0); }

INT_PTR CALLBACK AlertDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const WORD id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            StopTakingRepeats(JobOf(window));
            EndDialog(window, 1);
        }
        return FALSE;
    }
    if (message == WM_INITDIALOG && lParam) InitAlertWindow(window, *reinterpret_cast<const AlertWindowJob*>(lParam));
    const AlertWindowJob* job = JobOf(window);
    if (job && message == kAlertRepeatedMessage) {
        ShowRepeats(window, *job);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return TRUE;
    }
    // Also when the window goes without a close command (its owner ended).
    if (message == WM_DESTROY) StopTakingRepeats(job);
    // Without an open-alert list the window keeps the system colours.
    if (!job || !job->context.openAlerts) return FALSE;

    // Messages before WM_INITDIALOG find no entry and paint orange.
    const COLORREF colour = LookupAlertColour(*job->context.openAlerts, window);
    HBRUSH brush = AlertBrushFor(colour);

    switch (message) {
    case WM_INITDIALOG:
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
        ForgetAlertEntry(*job->context.openAlerts, window);
        return FALSE;
    default:
        return FALSE;
    }
}

void PlaceAlertWindow(HWND window, int32_t osKind) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 osKind == 2 ? kFlagsPlaceKind2 : kFlagsPlace);
}

HBRUSH PaintAlertBackground(HWND dialog, HDC dc, HBRUSH brush, COLORREF colour) {
    SetBkColor(dc, colour);
    RECT client{};
    GetClientRect(dialog, &client);
    if (brush) FillRect(dc, &client, brush);
    return brush;
}
