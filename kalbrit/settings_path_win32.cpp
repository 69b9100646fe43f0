#include "kalbrit/settings_path_win32.h"

#include <windows.h>

namespace {

constexpr char kInstallKey[] = "Software\\Orvanta\\Quillmont\\CurrentVersion";
constexpr char kSettingsName[] = "Dovrel.ini";

bool ReadInstallPath(std::string& dir) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    char buffer[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, "InstallPath", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || buffer[0] == '\0') return false;
    dir = buffer;
    return true;
}

std::string ModuleDirectory() {
    char buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer, n);
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The command line's one argument, without the enclosing quotes.
std::string ArgumentPath(const char* commandLine) {
    std::string s = commandLine ? commandLine : "";
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    s = s.substr(b, e - b + 1);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

std::string Join(std::string dir) {
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir + kSettingsName;
}

}  // namespace

std::string FindSettingsFile(const char* commandLine) {
    std::string argument = ArgumentPath(commandLine);
    if (!argument.empty()) return argument;
    std::string dir;
    if (ReadInstallPath(dir)) return Join(dir);
    return Join(ModuleDirectory());
}
