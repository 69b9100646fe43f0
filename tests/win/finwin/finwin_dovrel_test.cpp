// FinWin against the real Dovrel.exe: asked by its title in other case,
// Dovrel ends on the first request with exit code 0 and FinWin returns as
// soon as the main window has gone.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#ifndef DOVREL_EXE
#error DOVREL_EXE names the Dovrel.exe under test
#endif

namespace {

constexpr char kInstallKey[] = "Software\\Orvanta\\Quillmont\\CurrentVersion";
constexpr char kInstallValue[] = "InstallPath";
constexpr REGSAM kView = KEY_WOW64_64KEY;

// True when a UDP socket can be bound to the port now.
bool UdpPortFree(int port) {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) return false;
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free = s != INVALID_SOCKET && bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    if (s != INVALID_SOCKET) closesocket(s);
    WSACleanup();
    return free;
}

// A UDP port of this test's range (23500-23599) that nothing holds now.
int FreeUdpPort() {
    for (int port = 23500; port < 23600; ++port)
        if (UdpPortFree(port)) return port;
    return 0;
}

// Points InstallPath at a directory for the life of the object and puts
// back what was there before; in the 64-bit registry view, where the
// installer writes it and which Dovrel of either build reads first.
class InstallPathValue {
public:
    explicit InstallPathValue(const std::string& value) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_QUERY_VALUE | kView, &key) == ERROR_SUCCESS) {
            char buffer[512] = {};
            DWORD size = sizeof buffer - 1;
            had_ = RegQueryValueExA(key, kInstallValue, nullptr, &oldType_, reinterpret_cast<BYTE*>(buffer), &size) ==
                   ERROR_SUCCESS;
            old_.assign(buffer, size);
            RegCloseKey(key);
        }
        ok_ = Write(value.c_str(), REG_SZ, static_cast<DWORD>(value.size() + 1));
    }
    ~InstallPathValue() {
        if (had_) {
            Write(old_.data(), oldType_, static_cast<DWORD>(old_.size()));
        } else {
            HKEY key;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_SET_VALUE | kView, &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, kInstallValue);
                RegCloseKey(key);
            }
        }
    }
    InstallPathValue(const InstallPathValue&) = delete;
    InstallPathValue& operator=(const InstallPathValue&) = delete;
    bool ok() const { return ok_; }

private:
    static bool Write(const char* data, DWORD type, DWORD size) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_SET_VALUE | kView, nullptr, &key,
                            nullptr) !=
            ERROR_SUCCESS)
            return false;
        const bool ok = RegSetValueExA(key, kInstallValue, 0, type, reinterpret_cast<const BYTE*>(data), size) ==
                        ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }
    bool had_ = false, ok_ = false;
    DWORD oldType_ = REG_SZ;
    std::string old_;
};

// The top-level window titled exactly "Dovrel.exe" that process pid owns.
HWND DovrelMainWindow(DWORD pid) {
    for (HWND w = GetTopWindow(GetDesktopWindow()); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        char title[64] = {};
        if (owner == pid && GetWindowTextA(w, title, sizeof title) > 0 && std::string(title) == "Dovrel.exe") return w;
    }
    return nullptr;
}

class FinWinDovrel : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "FinwinDovrel-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        port_ = FreeUdpPort();
        ASSERT_NE(port_, 0) << "no free UDP port in 23500-23599";
        const std::string ini = dir_ + "\\Dovrel.ini";
        FILE* f = std::fopen(ini.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "[usKarn_trap]\nport=%d\nrecTimeout=1\n", port_);
        std::fclose(f);
    }
    void TearDown() override {
        if (process_) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
            CloseHandle(process_);
        }
        DeleteFileA((dir_ + "\\Dovrel.ini").c_str());
        RemoveDirectoryA(dir_.c_str());
    }

    std::string dir_;
    int port_ = 0;
    HANDLE process_ = nullptr;
};

TEST_F(FinWinDovrel, EndsRunningDovrelOnTheFirstRequest) {
    InstallPathValue installPath(dir_);
    ASSERT_TRUE(installPath.ok());

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" DOVREL_EXE "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << "cannot start " << DOVREL_EXE;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;

    HWND window = nullptr;
    for (int i = 0; i < 300 && !window; ++i) {
        ASSERT_EQ(WaitForSingleObject(process_, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "Dovrel ended on its own";
        window = DovrelMainWindow(pi.dwProcessId);
        if (!window) Sleep(100);
    }
    ASSERT_NE(window, nullptr) << "Dovrel's main window did not appear";
    // Start-up is over once the receiver holds the trap port.
    for (int i = 0; i < 100 && UdpPortFree(port_); ++i) Sleep(100);
    ASSERT_FALSE(UdpPortFree(port_)) << "Dovrel does not listen on port " << port_;

    HMODULE library = LoadLibraryA("Finwin.dll");
    ASSERT_NE(library, nullptr);
    auto finWin = reinterpret_cast<int(__cdecl*)(const char*)>(reinterpret_cast<void*>(GetProcAddress(library, "FinWin")));
    ASSERT_NE(finWin, nullptr);

    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(finWin("dovrel.exe"), 1);
    const ULONGLONG took = GetTickCount64() - start;
    FreeLibrary(library);

    EXPECT_FALSE(IsWindow(window)) << "FinWin returned while the main window still existed";
    // A second request would follow only after 5000 ms with the window still
    // there: a call this short posted exactly one.
    EXPECT_LT(took, 4000u) << "FinWin took " << took << " ms";
    std::printf("FinWin(\"dovrel.exe\") returned after %llu ms\n", took);

    ASSERT_EQ(WaitForSingleObject(process_, 10000), WAIT_OBJECT_0) << "Dovrel still runs";
    DWORD exitCode = 1234;
    ASSERT_TRUE(GetExitCodeProcess(process_, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
