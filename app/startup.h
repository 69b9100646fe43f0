#pragma once
// The work done while the main window is created.
#include <windows.h>

class CTrapReceiver;

constexpr char kInstanceMutexName[] = "Wymmeras";

// The receiver engine; null until OnCreate creates it, and again after Shutdown.
extern CTrapReceiver* g_receiver;

// Alert brushes, single-instance check, settings, receiver start. A failure
// shows the warning and posts WM_DESTROY to window.
void OnCreate(HWND window);
