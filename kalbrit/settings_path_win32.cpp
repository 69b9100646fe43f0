#include "kalbrit/settings_path_win32.h"

#include <windows.h>

#include "app/trap_app.h"
#include "kalbrit/command_line.h"
#include "win/install_path_win32.h"

namespace {

// GetFullPathNameA of path: "..", "." and "/" resolved, no file touched.
std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(full, n) : std::string();
}

std::wstring Wide(const std::string& ansi) {
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
    return out;
}

// File systems compare names without regard to case, whatever the user's
// locale: an ordinal comparison, not a linguistic one.
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    const std::wstring wa = Wide(a), wb = Wide(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

// A reparse point on the file or on any folder above it could send the
// write somewhere else. A part that does not exist yet is no reparse point.
bool PassesThroughReparsePoint(std::string path) {
    for (;;) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
        const std::size_t slash = path.find_last_of('\\');
        if (slash == std::string::npos || slash < 3) return false;  // reached "C:\" (or a share's root)
        path.resize(slash);
    }
}

}  // namespace

std::string FindSettingsFile(const char* commandLine) {
    std::string path;
    if (SettingsFileSwitch(commandLine ? commandLine : "", path)) {
        // A full path, so that it is shown and compared as Dovrel's own is.
        const std::string full = FullPath(path);
        return full.empty() ? path : full;
    }
    return InstalledSettingsFile();
}

std::string InstalledSettingsFile() {
    // The same derivation as Dovrel's, so both name one file.
    CTrapApp paths;
    std::string installPath;
    if (QueryInstallPath(installPath)) {
        paths.ApplyInstallPath(installPath);
        return paths.settingsPath;
    }
    // Dovrel then reads the bare name, which the profile functions look up
    // in the Windows folder.
    char windows[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return kSettingsFileName;
    return std::string(windows, n) + "\\" + kSettingsFileName;
}

bool NamesInstalledSettingsFile(const std::string& path) {
    const std::string given = FullPath(path), installed = FullPath(InstalledSettingsFile());
    if (given.empty() || installed.empty() || !SameIgnoringCase(given, installed)) return false;
    return !PassesThroughReparsePoint(installed);
}
