#include "kalbrit/settings_path_win32.h"

#include <windows.h>

#include "kalbrit/command_line.h"
#include "settings/settings_paths.h"
#include "win/text_win32.h"

namespace {

// GetFullPathNameA of path: "..", "." and "/" resolved, no file touched.
std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(full, n) : std::string();
}

// File systems compare names without regard to case, whatever the user's
// locale: an ordinal comparison, not a linguistic one.
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    const std::wstring wa = Widen(a, CP_ACP), wb = Widen(b, CP_ACP);
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

bool NamesInstalledSettingsFile(const std::string& path) {
    const std::string given = FullPath(path), installed = FullPath(InstalledSettingsFile());
    if (given.empty() || installed.empty() || !SameIgnoringCase(given, installed)) return false;
    return !PassesThroughReparsePoint(installed);
}
