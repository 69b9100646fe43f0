#include "target_process.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

std::string ExeDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

std::string UniqueName(const char* what) {
    static LONG counter = 0;
    char name[96];
    std::snprintf(name, sizeof name, "FinwinTest%s-%lu-%ld", what, GetCurrentProcessId(), InterlockedIncrement(&counter));
    return name;
}

}  // namespace

TargetProcess::~TargetProcess() {
    Stop();
    if (!reportPath_.empty()) DeleteFileA(reportPath_.c_str());
}

void TargetProcess::Stop() {
    if (process_) {
        SetEvent(quit_);
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        CloseHandle(process_);
        process_ = nullptr;
    }
    if (ready_) CloseHandle(ready_);
    if (quit_) CloseHandle(quit_);
    ready_ = quit_ = nullptr;
}

bool TargetProcess::Start(const std::vector<TargetWindowSpec>& windows) {
    const std::string readyName = UniqueName("Ready"), quitName = UniqueName("Quit");
    ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    quit_ = CreateEventA(nullptr, TRUE, FALSE, quitName.c_str());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    reportPath_ = std::string(temp) + UniqueName("Report") + ".txt";
    DeleteFileA(reportPath_.c_str());

    const std::string exe = ExeDirectory() + "finwin_target.exe";
    std::string commandLine = "\"" + exe + "\" " + readyName + " " + quitName + " \"" + reportPath_ + "\"";
    for (const auto& w : windows) {
        std::string flags = std::string(w.hidden ? "h" : "") + (w.ignoresDestroy ? "i" : "");
        commandLine += " " + flags + ":" + Hex(w.title);
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        error_ = "cannot start " + exe;
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    const HANDLE waits[2] = {ready_, process_};
    if (WaitForMultipleObjects(2, waits, FALSE, 20000) != WAIT_OBJECT_0) {
        error_ = "target did not create its windows";
        return false;
    }
    // Windows of the target, in creation order: look them up by the owning
    // process and match them to the report's handles later; here by title
    // and order, which Finish cross-checks.
    handles_.assign(windows.size(), nullptr);
    const DWORD pid = pi.dwProcessId;
    std::vector<HWND> own;
    for (HWND w = GetTopWindow(GetDesktopWindow()); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        char cls[64] = {};
        if (owner == pid && GetClassNameA(w, cls, sizeof cls) && std::string(cls) == "FinwinTestTarget") own.push_back(w);
    }
    // The target raised its windows in the order given: the last is on top.
    if (own.size() != windows.size()) {
        error_ = "target shows " + std::to_string(own.size()) + " windows, expected " + std::to_string(windows.size());
        return false;
    }
    for (size_t i = 0; i < own.size(); ++i) handles_[windows.size() - 1 - i] = own[i];
    return true;
}

bool TargetProcess::Finish(std::vector<TargetWindowReport>& reports, unsigned& targetCodePage) {
    Stop();
    std::ifstream in(reportPath_);
    std::string line, word;
    if (!std::getline(in, line)) {
        error_ = "no report from the target";
        return false;
    }
    std::istringstream head(line);
    if (!(head >> word >> targetCodePage) || word != "acp") {
        error_ = "bad report header: " + line;
        return false;
    }
    reports.clear();
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        unsigned long long hwnd = 0;
        size_t count = 0;
        if (!(fields >> hwnd >> count)) break;
        TargetWindowReport r;
        r.hwnd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(hwnd));
        for (unsigned long long tick; fields >> tick;) r.requestTicks.push_back(tick);
        if (r.requestTicks.size() != count) {
            error_ = "bad report line: " + line;
            return false;
        }
        reports.push_back(r);
    }
    if (reports.size() != handles_.size()) {
        error_ = "report has " + std::to_string(reports.size()) + " windows";
        return false;
    }
    for (size_t i = 0; i < reports.size(); ++i)
        if (reports[i].hwnd != handles_[i]) {
            error_ = "Z order of the target's windows is not the order they were raised in";
            return false;
        }
    return true;
}
