#pragma once
// Saving through an elevated copy of Kalbrit, for a settings file the user
// may not write (under Program Files or the Windows folder): the copy is
// started with the verb "runas", gets the values on its command line, writes
// them with the same all-or-nothing save and ends with the Win32 error code
// of that save (0 when saved).
#include <windows.h>

#include <string>

struct ElevatedOutcome {
    enum Kind { Saved, Declined, NotStarted, Failed } kind;
    DWORD error;  // ShellExecuteEx's error for NotStarted, the copy's exit code for Failed
};

// Starts the elevated copy with arguments (ElevatedSaveArguments or
// ElevatedListArguments) and owner as the parent of the consent prompt, and
// waits for it; owner is disabled meanwhile but keeps painting.
ElevatedOutcome RunElevatedSave(HWND owner, const std::string& arguments);

