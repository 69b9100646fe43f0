#pragma once
// The releasing sequence run on WM_DESTROY.

// Stops and deletes the receiver engine, frees the pending events, releases
// the application object and the alert brushes (unless alert windows still
// use them) and cleans up Windows Sockets. Runs once; later calls do nothing.
void Shutdown();
// True once Shutdown has run: late tray and menu messages are ignored.
bool ShutdownDone();
