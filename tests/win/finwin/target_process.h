#pragma once
// Starts finwin_target.exe with windows of given titles and reads back what
// each window received (see finwin_target.cpp for the protocol).
#include <windows.h>

#include <string>
#include <vector>

struct TargetWindowSpec {
    std::string title;  // ANSI bytes in the current code page
    bool hidden = true;
    bool ignoresDestroy = false;
};

struct TargetWindowReport {
    HWND hwnd = nullptr;
    std::vector<ULONGLONG> requestTicks;  // GetTickCount64 at each WM_DESTROY received
};

class TargetProcess {
public:
    TargetProcess() = default;
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;
    ~TargetProcess();

    // Creates the windows (the last one highest in Z order) and waits until
    // they all exist. Returns false, with a reason in error(), on failure.
    bool Start(const std::vector<TargetWindowSpec>& windows);

    // Handle of the i-th window, found among the target's top-level windows.
    HWND Window(size_t i) const { return i < handles_.size() ? handles_[i] : nullptr; }

    // Ends the target and reads its report: one entry per window, in the
    // order given to Start. False, with error(), if there is no report.
    bool Finish(std::vector<TargetWindowReport>& reports, unsigned& targetCodePage);

    const std::string& error() const { return error_; }

private:
    void Stop();

    HANDLE process_ = nullptr;
    HANDLE ready_ = nullptr;
    HANDLE quit_ = nullptr;
    std::string reportPath_;
    std::vector<HWND> handles_;
    std::string error_;
};
