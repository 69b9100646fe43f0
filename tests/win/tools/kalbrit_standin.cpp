// Test stand-in for the settings program: writes a marker file beside
// itself holding its command line and the show command it was started with,
// then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string marker(path);
    marker = marker.substr(0, marker.find_last_of('\\') + 1) + "Kalbrit.ran";

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    FILE* f = std::fopen(marker.c_str(), "w");
    if (!f) return 1;
    std::fprintf(f, "cmdline=%s\nflags=%lu\nshow=%u\n", GetCommandLineA(), startup.dwFlags,
                 static_cast<unsigned>(startup.wShowWindow));
    std::fclose(f);
    return 0;
}
