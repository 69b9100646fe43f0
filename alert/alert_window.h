#pragma once
// The alert window: a modal dialog (template 102) on a thread of its own,
// and the cap of ten open alert windows.
#include <windows.h>

#include "alert/alert_texts.h"

// Entry of an alert-window thread; owns texts (an AlertTexts*) and frees it.
DWORD WINAPI AlertWindowThread(LPVOID texts);

// Alert-window threads started and not yet finished. The count goes up
// before the thread is created and down as the thread's very last action,
// so while it is above zero an alert window may still read CTrapApp's
// open-alert list and the alert brushes.
int LiveAlertWindowCount();
void NoteAlertWindowThreadStarting();
void NoteAlertWindowThreadNotStarted();

INT_PTR ShowAlertWindow(HINSTANCE instance, HWND owner, AlertTexts* texts);
void EnforceAlertCap();
INT_PTR CALLBACK AlertDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InitAlertWindow(HWND window, const AlertTexts& texts);
void PlaceAlertWindow(HWND window);
HBRUSH PaintAlertBackground(HWND dialog, HDC dc, HBRUSH brush, COLORREF colour);
void ForgetAlertWindow(HWND window);

// The close request of the cap: WM_COMMAND with control id 1, as Enter.
void RequestAlertClose(HWND window);
