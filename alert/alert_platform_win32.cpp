#include "alert/alert_platform_win32.h"

#include <windows.h>

#include <memory>
#include <new>

#include "alert/alert_history_win32.h"

namespace {
constexpr DWORD kScreenSaverDesktopAccess = DESKTOP_READOBJECTS | DESKTOP_WRITEOBJECTS;  // 0x81

BOOL CALLBACK CloseScreenSaverWindow(HWND window, LPARAM) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    // Leaves the screen saver enabled for the next idle time.
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
    return TRUE;
}
}  // namespace

Win32AlertPlatform::~Win32AlertPlatform() {
    if (dispatcher_.lastThread) CloseHandle(static_cast<HANDLE>(dispatcher_.lastThread));
    dispatcher_.lastThread = nullptr;
}

void Win32AlertPlatform::DismissScreenSaver() {
    if (context_.osKind == 0) {
        HDESK desktop = OpenDesktopA("Screen-saver", 0, FALSE, kScreenSaverDesktopAccess);
        if (!desktop) return;  // no screen saver running
        EnumDesktopWindows(desktop, CloseScreenSaverWindow, 0);
        CloseDesktop(desktop);
        return;
    }
    if (HWND saver = FindWindowA("WindowsScreenSaverClass", nullptr)) PostMessageA(saver, WM_CLOSE, 0, 0);
}

void Win32AlertPlatform::Beep() { MessageBeep(MB_ICONEXCLAMATION); }

bool Win32AlertPlatform::StartAlertWindow(AlertTexts* texts, std::shared_ptr<RepeatWindow> repeat) {
    std::unique_ptr<AlertTexts> owned(texts);
    std::unique_ptr<AlertWindowJob> job(new (std::nothrow) AlertWindowJob);
    if (!job) return false;
    job->texts = std::move(*owned);
    job->context = context_;
    job->repeat = std::move(repeat);
    NoteAlertWindowThreadStarting();
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, AlertWindowThread, job.get(), 0, &id);
    if (!thread) {
        NoteAlertWindowThreadNotStarted();
        return false;
    }
    job.release();  // the thread owns it now
    if (dispatcher_.lastThread) CloseHandle(static_cast<HANDLE>(dispatcher_.lastThread));
    dispatcher_.lastThread = thread;
    dispatcher_.lastThreadId = id;
    return true;
}

// The window's own thread shows the count and raises it (alert_window.cpp).
void Win32AlertPlatform::RaiseRepeatedWindow(void* window) {
    PostMessageA(static_cast<HWND>(window), kAlertRepeatedMessage, 0, 0);
}

void Win32AlertPlatform::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void Win32AlertPlatform::RecordAlert(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber,
                                     int32_t specificCode) {
    AppendAlertHistory(texts, arrival, messageNumber, specificCode);
}
