#pragma once
// Shared set-up of the alert-window tests under Wine: a CTrapApp whose
// settings file is a real temporary INI file, the alert brushes, and ways
// to find and read back the alert windows of this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "alert/alert_brushes.h"
#include "alert/alert_list.h"
#include "alert/alert_pass.h"
#include "alert/alert_platform_win32.h"
#include "alert/alert_window.h"
#include "alert/message_catalogue.h"
#include "alert/repeat_windows.h"
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

// Whether text fits the static control on one line, measured in the
// control's own font: a static control wraps a text wider than its client
// area at a blank, and its one-line height hides what wraps.
inline ::testing::AssertionResult FitsOnOneLine(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT client{};
    GetClientRect(control, &client);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    RECT wrapped = client;
    DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    ReleaseDC(control, dc);
    if (extent.cx > client.right || wrapped.bottom > client.bottom)
        return ::testing::AssertionFailure() << "\"" << text << "\" is " << extent.cx << " x " << wrapped.bottom
                                             << " pixels in a control of " << client.right << " x " << client.bottom;
    return ::testing::AssertionSuccess();
}

// text with every digit made the widest digit of the control's font: no
// count or date of the same form is wider.
inline std::string WithWidestDigits(HWND control, std::string text) {
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    char widest = '0';
    int widestWidth = -1;
    for (char digit = '0'; digit <= '9'; ++digit) {
        SIZE size{};
        GetTextExtentPoint32A(dc, &digit, 1, &size);
        if (size.cx > widestWidth) widest = digit, widestWidth = size.cx;
    }
    ReleaseDC(control, dc);
    for (char& c : text)
        if (c >= '0' && c <= '9') c = widest;
    return text;
}

inline RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
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
                    const std::string& outletName = "", std::time_t arrival = 0) {
        auto* e = new TrapEvent;
        e->arrivalTime = arrival ? arrival : time(nullptr);
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

    // The alert work as the program composes it with mergeRepeats=1.
    void MergeRepeats(int32_t language) {
        g_app->settings.language = language;
        AlertWindowContext windows = AppWindows();
        windows.repeats = &g_app->repeatWindows;
        work.reset(new AppAlertWork(g_app->pendingEvents, g_app->settingsPath, language, windows, g_app->refusals));
    }

    TempIni ini;
    std::unique_ptr<AppAlertWork> work;
};

// mergeRepeats=1 in a catalogue language: an alert of one device, then
// another device's, then a repeat of the first. The first window takes the
// repeat, shows its count and latest time on a line of their own that fits
// (any count, any date) and stays clear of the message, keeps its colour
// where it grew, and comes back above the other device's window.
inline void CheckRepeatMergedIntoItsWindow(AlertAppFixture& f, int32_t language, const std::string& section,
                                           const std::string& message) {
    f.ini.Write("[" + section + "]\r\n3=red," + message + "\r\n");
    f.MergeRepeats(language);
    const std::time_t first = 1796173200;  // 2026-12-02 01:00 UTC
    f.QueueEvent(3, "192.0.2.10", 1, 0, "", first);
    ASSERT_EQ(f.RunPass(), 1);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 1 && IsWindowVisible(ListedWindows()[0]); }));
    HWND merged = ListedWindows()[0];
    f.QueueEvent(3, "192.0.2.11", 1, 0, "", first + 10);
    ASSERT_EQ(f.RunPass(), 1);
    ASSERT_TRUE(WaitFor([] { return ListedWindows().size() == 2 && IsWindowVisible(ListedWindows()[1]); }));
    Sleep(150);
    RECT clientBefore{};
    GetClientRect(merged, &clientBefore);

    f.QueueEvent(3, "192.0.2.10", 1, 0, "", first + 65);
    ASSERT_EQ(f.RunPass(), 1);
    ASSERT_TRUE(WaitFor([&] { return !ControlText(merged, IDC_ALERT_REPEATS).empty(); }));
    Sleep(300);  // the raise and the repaint
    EXPECT_EQ(ListedWindows().size(), 2u) << "the repeat opened a window";
    EXPECT_EQ(VisibleAlertWindows().size(), 2u);
    const std::string latest = FormatAlertTime(first + 65);
    EXPECT_EQ(ControlText(merged, IDC_ALERT_REPEATS), RepeatLineText(2, latest, language));
    EXPECT_EQ(ControlText(merged, IDC_ALERT_DATE), FormatAlertTime(first)) << "the date line keeps the first arrival";

    HWND line = GetDlgItem(merged, IDC_ALERT_REPEATS);
    EXPECT_TRUE(FitsOnOneLine(line, ControlText(merged, IDC_ALERT_REPEATS)));
    EXPECT_TRUE(FitsOnOneLine(line, WithWidestDigits(line, RepeatLineText(UINT_MAX, latest, language))));
    RECT lineRect = ScreenRect(line), messageRect = ScreenRect(GetDlgItem(merged, IDC_ALERT_MESSAGE)), overlap{};
    EXPECT_FALSE(IntersectRect(&overlap, &lineRect, &messageRect)) << "the repeat line covers the message";
    RECT client{};
    GetClientRect(merged, &client);
    POINT clientBottom{0, client.bottom};
    ClientToScreen(merged, &clientBottom);
    EXPECT_LE(lineRect.bottom, clientBottom.y) << "the window did not grow to hold the line";
    EXPECT_GT(client.bottom, clientBefore.bottom);
    EXPECT_EQ(BackgroundPixel(merged), kColourRed);

    // Both windows stand at the top-left corner: the one on top is hit there.
    POINT inBoth{messageRect.left + 2, messageRect.top + 2};
    EXPECT_EQ(GetAncestor(WindowFromPoint(inBoth), GA_ROOT), merged) << "the merged window was not raised";
}

}  // namespace alert_test
