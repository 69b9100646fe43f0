#include "kalbrit/dovrel_control_win32.h"

#include <objbase.h>

#include "settings/program_names.h"
#include "settings/settings_paths.h"
#include "win/desktop_shell_win32.h"
#include "win/handles.h"
#include "win/text_win32.h"

namespace {

constexpr DWORD kExitWaitMs = 10000;     // after FinWin, which itself waits up to 20 s
constexpr DWORD kComeUpWaitMs = 8000;    // a start on a busy machine
constexpr DWORD kSteadyMs = 1500;        // no warning for this long after the window is up
constexpr DWORD kPollMs = 100;
// The shell could not be asked to start Dovrel (an error code of our own).
constexpr DWORD kErrorNoDesktopShell = 0x20000001;


using FinWinFunction = int(__cdecl*)(const char*);

#if defined(_WIN64)
constexpr char kOwnArchFolder[] = "\\x64";
#else
constexpr char kOwnArchFolder[] = "\\x86";
#endif

// Finwin.dll beside Dovrel.exe when it matches this program's architecture
// (it then fails to load with ERROR_BAD_EXE_FORMAT), else the one in the
// x86\ or x64\ subfolder.
HMODULE LoadOwnFinwin(const std::string& folder, std::string& tried) {
    for (const std::string& path :
         {folder + "\\" + kFinwinFileName, folder + kOwnArchFolder + "\\" + kFinwinFileName}) {
        tried = path;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (module) return module;
    }
    return nullptr;
}

struct DialogSearch {
    DWORD processId;
    bool found;
};


// A visible start-up warning of the process, told by its caption: the alert
// windows are dialogs too, so the class alone is not enough.
BOOL CALLBACK FindWarning(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[32] = {};
    if (pid == search->processId && IsWindowVisible(window) && GetWindowTextA(window, title, sizeof title) &&
        lstrcmpA(title, kWarningCaption) == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool ShowsWarning(DWORD processId) {
    DialogSearch search{processId, false};
    EnumWindows(FindWarning, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsWindowOf(HWND window, DWORD processId) {
    DWORD pid = 0;
    return window && GetWindowThreadProcessId(window, &pid) && pid == processId;
}

// Ends the running Dovrel and waits for its process, whose instance mutex
// would otherwise make the new one refuse to start.
bool EndDovrel(const std::string& folder, DovrelStart& outcome) {
    HWND window = FindDovrelWindow();
    if (!window) return true;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));

    std::string tried;
    {
        UniqueModule finwin(LoadOwnFinwin(folder, tried));
        auto finWin = finwin.Get() ? reinterpret_cast<FinWinFunction>(
                                         reinterpret_cast<void (*)()>(GetProcAddress(finwin.Get(), "FinWin")))
                                   : nullptr;
        if (!finWin) {
            outcome = {DovrelStart::FinwinMissing, ERROR_SUCCESS, tried};
            return false;
        }
        finWin(kMainWindowTitle);
    }

    const bool gone = process ? WaitForSingleObject(process.Get(), kExitWaitMs) == WAIT_OBJECT_0 : !IsWindow(window);
    if (!gone) outcome = {DovrelStart::StillRunning, ERROR_SUCCESS, {}};
    return gone;
}

// The process of the Dovrel window that has come up, opened to wait on;
// null while none is up. The old Dovrel has ended, so any is the new one.
HANDLE OpenNewDovrel(DWORD& processId) {
    HWND window = FindDovrelWindow();
    if (!window || !GetWindowThreadProcessId(window, &processId)) return nullptr;
    return OpenProcess(SYNCHRONIZE, FALSE, processId);
}

// Waits until the new Dovrel's window is up and it has shown no warning for
// a moment, or it has ended or shows its warning. started is its process
// when this program started it, null when the desktop shell did (its
// process is then found through its window).
bool ComesUp(HANDLE started, DWORD startedId) {
    UniqueHandle process(started);
    DWORD processId = startedId;
    const ULONGLONG deadline = GetTickCount64() + kComeUpWaitMs;
    ULONGLONG upSince = 0;
    for (;;) {
        if (!process) process.Reset(OpenNewDovrel(processId));
        if (process) {
            if (WaitForSingleObject(process.Get(), kPollMs) == WAIT_OBJECT_0) return false;
            if (ShowsWarning(processId)) return false;
        } else {
            Sleep(kPollMs);
        }
        const ULONGLONG now = GetTickCount64();
        if (process && IsWindowOf(FindDovrelWindow(), processId)) {
            if (!upSince) upSince = now;
            if (now - upSince >= kSteadyMs) return true;
        } else {
            upSince = 0;
        }
        if (now >= deadline) return false;
    }
}

// Starts exe in folder with the signed-in user's own rights: directly when
// this Kalbrit runs with them, else through the desktop shell, never with
// administrator rights. The started process and its id when this program
// started it; no process (and ERROR_SUCCESS) when the shell did.
DWORD StartUnelevated(const std::string& exe, const std::string& folder, HANDLE& process, DWORD& processId) {
    process = nullptr;
    processId = 0;
    if (ProcessIsElevated()) {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const HRESULT hr = StartThroughDesktopShell(Widen(exe, CP_ACP), Widen(folder, CP_ACP));
        if (SUCCEEDED(com)) CoUninitialize();
        return SUCCEEDED(hr) ? ERROR_SUCCESS : kErrorNoDesktopShell;
    }
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started))
        return GetLastError();
    UniqueHandle thread(started.hThread);
    process = started.hProcess;
    processId = started.dwProcessId;
    return ERROR_SUCCESS;
}

}  // namespace

HWND FindDovrelWindow() { return FindWindowA(kMainWindowClass, kMainWindowTitle); }

DovrelStart RestartDovrel() {
    std::string folder;
    if (!FindInstallValue(kInstallValue, folder) || folder.empty()) return {DovrelStart::NoInstallPath, ERROR_SUCCESS, {}};
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();

    DovrelStart outcome{DovrelStart::Running, ERROR_SUCCESS, {}};
    if (!EndDovrel(folder, outcome)) return outcome;

    // Dovrel parses what the network sends and starts Kalbrit from its
    // menu: it runs with the user's own rights, in the install folder, as a
    // start from the Start menu.
    const std::string exe = folder + "\\" + kProgramFileName;
    HANDLE process = nullptr;
    DWORD processId = 0;
    const DWORD error = StartUnelevated(exe, folder, process, processId);
    if (error == kErrorNoDesktopShell) return {DovrelStart::NotStartedElevated, ERROR_SUCCESS, exe};
    if (error != ERROR_SUCCESS) return {DovrelStart::NotStarted, error, exe};
    if (!ComesUp(process, processId)) outcome = {DovrelStart::Failed, ERROR_SUCCESS, exe};
    return outcome;
}
