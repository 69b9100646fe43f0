#pragma once
// The work done while the main window is created.
#include <windows.h>

class AppAlertWork;
class CTrapReceiver;

// The receiver engine; null until OnCreate creates it, and again after Shutdown.
extern CTrapReceiver* g_receiver;
// What the engine's alert thread runs; made with the engine, released by the
// shutdown once the engine has stopped.
extern AppAlertWork* g_alertWork;

// Alert brushes, single-instance check, settings, receiver start. A failure
// shows the warning and posts WM_DESTROY to window.
void OnCreate(HWND window);
