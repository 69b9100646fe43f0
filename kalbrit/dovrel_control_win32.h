#pragma once
// Ending and starting the installed Dovrel from Kalbrit: ended through
// Finwin.dll, started from the install folder with this process's rights.
#include <windows.h>

#include <string>

// Dovrel's hidden main window, present while it runs.
HWND FindDovrelWindow();

struct DovrelStart {
    enum Kind {
        Running,        // its window is up and it shows no warning
        NoInstallPath,  // InstallPath is not in the registry
        FinwinMissing,  // no Finwin.dll of this program's architecture; detail = path tried
        StillRunning,   // the old Dovrel did not end
        NotStarted,     // CreateProcess failed; error, detail = path
        NotStartedElevated,  // this Kalbrit is elevated and no desktop shell could start Dovrel; detail = path
        Failed,         // it ended or shows its start-up warning instead of running
    } kind;
    DWORD error = ERROR_SUCCESS;
    std::string detail;
};

// Ends the running Dovrel (if any) with FinWin("Dovrel.exe"), waits until it
// has gone, starts <InstallPath>\Dovrel.exe with the user's own rights (never
// elevated: through the desktop shell when this Kalbrit is elevated) and
// waits a few seconds for it to come up. Blocks the caller for up to half a
// minute.
DovrelStart RestartDovrel();
