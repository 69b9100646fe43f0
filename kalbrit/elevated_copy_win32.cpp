#include "kalbrit/elevated_copy_win32.h"

#include <shellapi.h>

#include "kalbrit/elevated_save.h"

namespace {

// Runs owner's messages until process ends, so that the window does not
// turn "Not responding" while the consent prompt and the copy run.
void WaitPumping(HANDLE process) {
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) return;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                WaitForSingleObject(process, INFINITE);
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace

ElevatedOutcome SaveWithElevatedCopy(HWND owner, const std::string& path, const std::vector<TrapSetting>& settings) {
    wchar_t exe[32768];
    DWORD n = GetModuleFileNameW(nullptr, exe, 32768);
    if (n == 0 || n >= 32768) return {ElevatedOutcome::NotStarted, GetLastError()};
    // Hex digits and ASCII words only: widening byte by byte is exact.
    const std::string arguments = ElevatedSaveArguments(path, settings);
    const std::wstring wideArguments(arguments.begin(), arguments.end());

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = exe;
    info.lpParameters = wideArguments.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) {
        DWORD error = GetLastError();
        return {error == ERROR_CANCELLED ? ElevatedOutcome::Declined : ElevatedOutcome::NotStarted, error};
    }
    if (!info.hProcess) return {ElevatedOutcome::NotStarted, ERROR_INVALID_HANDLE};

    EnableWindow(owner, FALSE);
    WaitPumping(info.hProcess);
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);

    DWORD code = ERROR_INVALID_FUNCTION;
    if (!GetExitCodeProcess(info.hProcess, &code)) code = GetLastError();
    CloseHandle(info.hProcess);
    return code == ERROR_SUCCESS ? ElevatedOutcome{ElevatedOutcome::Saved, 0} : ElevatedOutcome{ElevatedOutcome::Failed, code};
}
