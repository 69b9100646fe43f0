#pragma once
// Shared set-up of the alert-window tests under Wine: a CTrapApp whose
// settings file is a real temporary INI file, the alert brushes, and ways
// to find and read back the alert windows of this process.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "alert/alert_brushes.h"
#include "alert/alert_list.h"
#include "alert/alert_pass.h"
#include "alert/alert_platform_win32.h"
#include "alert/alert_window.h"
#include "app/app_alert_work.h"
#include "app/trap_app.h"
#include "core/work_gate.h"
#include "res/resource.h"

namespace alert_test {

// A file in the temporary folder, deleted when this goes.
class TempIni {
public:
    TempIni() {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        char path[MAX_PATH];
        GetTempFileNameA(dir, "dvr", 0, path);
        path_ = path;
    }
    ~TempIni() { DeleteFileA(path_.c_str()); }
    TempIni(const TempIni&) = delete;
    TempIni& operator=(const TempIni&) = delete;

    // Replaces the whole file with these bytes.
    void Write(const std::string& bytes) const {
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Polls cond every 20 ms for up to timeoutMs.
template <class Cond>
bool WaitFor(Cond cond, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

inline BOOL CALLBACK CollectVisibleAlert(HWND w, LPARAM p) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char caption[16] = {};
    GetWindowTextA(w, caption, sizeof caption);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && std::string(caption) == "TOLM")
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

inline std::vector<HWND> VisibleAlertWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectVisibleAlert, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Windows of the open-alert list, oldest first (null for closed ones).
inline std::vector<HWND> ListedWindows() {
    std::vector<HWND> out;
    auto lock = g_app->openAlerts.Lock();
    for (auto* n = g_app->openAlerts.HeadLocked(); n; n = n->next) out.push_back(static_cast<HWND>(n->item->window));
    return out;
}

inline std::string ControlText(HWND dialog, int id) {
    char text[2048] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The screen pixel at a point of the window's client area.
inline COLORREF ClientPixel(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// A pixel of the dialog's own background: below the date text, left of
// the centred message.
inline COLORREF BackgroundPixel(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return ClientPixel(window, 3, client.bottom - 3);
}

// The alert windows' context as the program makes it, over g_app's list.
inline AlertWindowContext AppWindows() {
    AlertWindowContext windows;
    windows.instance = GetModuleHandleA(nullptr);
    windows.openAlerts = &g_app->openAlerts;
    windows.osKind = g_osKind;
    return windows;
}

// g_app with a temporary settings file, the brushes, the alert work as the
// program composes it, and a clean finish: every alert window closed and
// its thread ended before g_app goes.
class AlertAppFixture {
public:
    AlertAppFixture() {
        g_app = new CTrapApp;
        g_app->settingsPath = ini.Path();
        g_app->instance = GetModuleHandleA(nullptr);
        CreateAlertBrushes();
        work.reset(new AppAlertWork(g_app->pendingEvents, g_app->settingsPath, g_app->settings.language, AppWindows(),
                                    g_app->refusals));
    }
    ~AlertAppFixture() {
        CloseAllAlertWindows();
        work.reset();
        delete g_app;
        g_app = nullptr;
        DeleteAlertBrushes();
    }

    static void CloseAllAlertWindows() {
        for (HWND w : VisibleAlertWindows()) RequestAlertClose(w);
        WaitFor([] { return LiveAlertWindowCount() == 0 && VisibleAlertWindows().empty(); }, 10000);
    }

    void QueueEvent(int32_t number, const std::string& from, int32_t specific = 0, int32_t outlet = 0,
                    const std::string& outletName = "") {
        auto* e = new TrapEvent;
        e->arrivalTime = time(nullptr);
        e->fromText = from;
        e->messageNumber = number;
        e->specificCode = specific;
        e->outletNumber = outlet;
        e->outletName = outletName;
        g_app->pendingEvents.Append(e);
    }

    int RunPass() {
        OpenGate gate;
        return work->RunPass(gate);
    }
    const CAlertDispatcher& Dispatcher() const { return work->Dispatcher(); }

    TempIni ini;
    std::unique_ptr<AppAlertWork> work;
};

}  // namespace alert_test
