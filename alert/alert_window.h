#pragma once
// The alert window: a modal dialog (template 102) on a thread of its own,
// and the cap of ten open alert windows.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "alert/alert_list.h"
#include "alert/alert_texts.h"
#include "alert/repeat_windows.h"

// What every alert window needs besides its texts, handed down by the
// program that composes the alert work.
struct AlertWindowContext {
    HINSTANCE instance = nullptr;  // holds dialog template 102
    HWND owner = nullptr;
    AlertList* openAlerts = nullptr;  // null: the window keeps the system colours
    int32_t osKind = 0;               // placement flags (see PlaceAlertWindow)
    // Where open windows take the repeats of their trap (mergeRepeats=1);
    // null: every trap opens a window of its own.
    RepeatWindows* repeats = nullptr;
};

// One alert window's texts and context; the alert-window thread owns it.
struct AlertWindowJob {
    AlertTexts texts;
    AlertWindowContext context;
    std::shared_ptr<RepeatWindow> repeat;  // this window's record in context.repeats, or null
};

// Posted to an alert window that took a repeat: it shows the count and the
// latest time under its message and comes to the top.
constexpr UINT kAlertRepeatedMessage = WM_APP + 1;

// Entry of an alert-window thread; owns job (an AlertWindowJob*) and frees it.
DWORD WINAPI AlertWindowThread(LPVOID job);

// Alert-window threads started and not yet finished. The count goes up
// before the thread is created and down as the thread's very last action,
// so while it is above zero an alert window may still read its open-alert
// list and the alert brushes.
int LiveAlertWindowCount();
void NoteAlertWindowThreadStarting();
void NoteAlertWindowThreadNotStarted();

// Trims the open-alert list to nine and shows the window; returns
// DialogBoxParamA's result.
INT_PTR ShowAlertWindow(const AlertWindowJob& job);
INT_PTR CALLBACK AlertDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PlaceAlertWindow(HWND window, int32_t osKind);
HBRUSH PaintAlertBackground(HWND dialog, HDC dc, HBRUSH brush, COLORREF colour);

// The close request of the cap: WM_COMMAND with control id 1, as Enter.
void RequestAlertClose(HWND window);
