// Test stand-in for a system tool (netsh.exe, icacls.exe): appends where it
// was started from and its command line (as UTF-8, one line:
// "module-path|command-line") to the file named by DOVREL_STANDIN_LOG, so
// that a test sees which commands the installer and the uninstaller give,
// and which copy of the tool they started. It succeeds, unless
// DOVREL_STANDIN_FAIL holds its file name (icacls.exe): then it ends with
// exit code 5, as the tool does when access is denied.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
std::string Utf8(const wchar_t* text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}
}  // namespace

int main() {
    wchar_t log[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"DOVREL_STANDIN_LOG", log, MAX_PATH)) return 0;
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    FILE* f = _wfopen(log, L"ab");
    if (!f) return 1;
    std::fprintf(f, "%s|%s\n", Utf8(module).c_str(), Utf8(GetCommandLineW()).c_str());
    std::fclose(f);
    wchar_t failing[MAX_PATH] = {};
    const wchar_t* name = wcsrchr(module, L'\\');
    if (GetEnvironmentVariableW(L"DOVREL_STANDIN_FAIL", failing, MAX_PATH) && name && _wcsicmp(name + 1, failing) == 0)
        return 5;
    return 0;
}
