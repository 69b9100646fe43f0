// Test stand-in for netsh.exe: appends its command line (as UTF-8, one line)
// to the file named by DOVREL_NETSH_LOG and succeeds, so that a test sees
// which firewall commands the installer and the uninstaller give.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t log[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"DOVREL_NETSH_LOG", log, MAX_PATH)) return 0;
    const wchar_t* line = GetCommandLineW();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], bytes, nullptr, nullptr);
    FILE* f = _wfopen(log, L"ab");
    if (!f) return 1;
    std::fprintf(f, "%s\n", utf8.c_str());
    std::fclose(f);
    return 0;
}
