#include "kalbrit/elevated_copy_win32.h"

#include <shellapi.h>

#include "win/handles.h"
#include "win/sent_messages.h"

ElevatedOutcome RunElevatedSave(HWND owner, const std::string& arguments) {
    wchar_t exe[32768];
    DWORD n = GetModuleFileNameW(nullptr, exe, 32768);
    if (n == 0 || n >= 32768) return {ElevatedOutcome::NotStarted, GetLastError()};
    // Hex digits and ASCII words only: widening byte by byte is exact.
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
    UniqueHandle process(info.hProcess);

    EnableWindow(owner, FALSE);
    // The owner keeps painting while the consent prompt and the copy run.
    WaitDispatchingMessages(process.Get());
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);

    DWORD code = ERROR_INVALID_FUNCTION;
    if (!GetExitCodeProcess(process.Get(), &code)) code = GetLastError();
    return code == ERROR_SUCCESS ? ElevatedOutcome{ElevatedOutcome::Saved, 0} : ElevatedOutcome{ElevatedOutcome::Failed, code};
}
