#pragma once
// Starting a program with the signed-in user's own rights from an elevated
// process: the desktop shell (Explorer, which runs unelevated as that user)
// is asked to start it, as Microsoft's ExecInExplorer sample does.
#include <windows.h>

#include <string>

// True when this process runs elevated (a full administrator token under
// UAC). Wine reports every process as elevated.
bool ProcessIsElevated();

// Asks the desktop shell to start program in folder. S_OK once the shell
// took the request; a failure HRESULT when there is no desktop shell to ask
// (another shell, a session without Explorer). Needs COM on this thread.
HRESULT StartThroughDesktopShell(const std::wstring& program, const std::wstring& folder);
