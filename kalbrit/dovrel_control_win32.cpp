#include "kalbrit/dovrel_control_win32.h"

#include "app/main_window.h"
#include "win/install_path_win32.h"

namespace {

constexpr DWORD kExitWaitMs = 10000;     // after FinWin, which itself waits up to 20 s
constexpr DWORD kComeUpWaitMs = 8000;    // a start on a busy machine
constexpr DWORD kSteadyMs = 1500;        // no warning for this long after the window is up
constexpr DWORD kPollMs = 100;

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
    for (const std::string& path : {folder + "\\Finwin.dll", folder + kOwnArchFolder + "\\Finwin.dll"}) {
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

// Caption of Dovrel's start-up warning (res/shell.rc), the same in every
// language; its alert windows are dialogs too, so the class alone is not enough.
constexpr char kWarningTitle[] = "Warning(Tesvane)";

// A visible start-up warning of the process.
BOOL CALLBACK FindWarning(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[32] = {};
    if (pid == search->processId && IsWindowVisible(window) && GetWindowTextA(window, title, sizeof title) &&
        lstrcmpA(title, kWarningTitle) == 0) {
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
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);

    std::string tried;
    HMODULE finwin = LoadOwnFinwin(folder, tried);
    auto finWin = finwin ? reinterpret_cast<FinWinFunction>(reinterpret_cast<void (*)()>(GetProcAddress(finwin, "FinWin"))) : nullptr;
    if (!finWin) {
        if (finwin) FreeLibrary(finwin);
        if (process) CloseHandle(process);
        outcome = {DovrelStart::FinwinMissing, ERROR_SUCCESS, tried};
        return false;
    }
    finWin(kMainWindowTitle);
    FreeLibrary(finwin);

    bool gone = process ? WaitForSingleObject(process, kExitWaitMs) == WAIT_OBJECT_0 : !IsWindow(window);
    if (process) CloseHandle(process);
    if (!gone) outcome = {DovrelStart::StillRunning, ERROR_SUCCESS, {}};
    return gone;
}

// Waits until the new Dovrel's window is up and it has shown no warning for
// a moment, or it has ended or shows its warning.
bool ComesUp(const PROCESS_INFORMATION& started) {
    const ULONGLONG deadline = GetTickCount64() + kComeUpWaitMs;
    ULONGLONG upSince = 0;
    for (;;) {
        if (WaitForSingleObject(started.hProcess, kPollMs) == WAIT_OBJECT_0) return false;
        if (ShowsWarning(started.dwProcessId)) return false;
        const ULONGLONG now = GetTickCount64();
        if (IsWindowOf(FindDovrelWindow(), started.dwProcessId)) {
            if (!upSince) upSince = now;
            if (now - upSince >= kSteadyMs) return true;
        } else {
            upSince = 0;
        }
        if (now >= deadline) return false;
    }
}

}  // namespace

HWND FindDovrelWindow() { return FindWindowA(kMainWindowClass, kMainWindowTitle); }

DovrelStart RestartDovrel() {
    std::string folder;
    if (!QueryInstallPath(folder) || folder.empty()) return {DovrelStart::NoInstallPath, ERROR_SUCCESS, {}};
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();

    DovrelStart outcome{DovrelStart::Running, ERROR_SUCCESS, {}};
    if (!EndDovrel(folder, outcome)) return outcome;

    // Started by this (the user's own, unelevated) Kalbrit, so Dovrel gets
    // the user's rights; in the install folder, as a start from the Start menu.
    const std::string exe = folder + "\\Dovrel.exe";
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started))
        return {DovrelStart::NotStarted, GetLastError(), exe};
    CloseHandle(started.hThread);
    const bool up = ComesUp(started);
    CloseHandle(started.hProcess);
    if (!up) outcome = {DovrelStart::Failed, ERROR_SUCCESS, exe};
    return outcome;
}
