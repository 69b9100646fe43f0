// Shows one alert window through the real alert pass, for screenshots.
//   alert_demo.exe <message number> <sender> [hold ms] [arrivals]
// Catalogue: 1 red, 2 orange, 3 green (English texts), 4 red in Japanese
// (Shift-JIS), 124 green outlet event. With arrivals above 1 the trap
// comes that many times, a minute apart, merged into its window as with
// mergeRepeats=1 (the repeat line in English, or in Japanese for 4).
// Named senders: 192.0.2.10 (English) and 192.0.2.20 (a long Japanese
// name). Prints "READY left top width height" once the window shows, keeps it for
// hold ms, then closes it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "alert/alert_brushes.h"
#include "alert/alert_list.h"
#include "alert/alert_platform_win32.h"
#include "alert/alert_window.h"
#include "app/app_alert_work.h"
#include "app/trap_app.h"
#include "core/work_gate.h"
#include "res/resource.h"
#include "win/win32_profile_reader.h"

namespace {
const char kEntries[] =
    "1=red,UPS on battery: input power failure\r\n"
    "2=orange,UPS battery low - shut down soon\r\n"
    "3=green,UPS returned from battery to utility power\r\n"
    // "停電が発生しました。バッテリー運転に切り替わりました" in Shift-JIS
    "4=red,\x92\xe2\x93\x64\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42"
    "\x83\x6f\x83\x62\x83\x65\x83\x8a\x81\x5b\x89\x5e\x93\x5d\x82\xc9\x90\xd8\x82\xe8\x91\xd6\x82\xed\x82\xe8"
    "\x82\xdc\x82\xb5\x82\xbd\r\n"
    "125=green,outlet switched on\r\n";
// The same entries in both catalogues, so that either language finds them.
const std::string kCatalogue =
    std::string("[usKarn_msgJp]\r\n") + kEntries + "[usKarn_msgEng]\r\n" + kEntries +
    "[usKarn_names]\r\n"
    "192.0.2.10=Server room UPS\r\n"
    // "サーバー室北側ラック四番の無停電電源装置" in Shift-JIS: too long for the sender line
    "192.0.2.20=\x83\x54\x81\x5b\x83\x6f\x81\x5b\x8e\xba\x96\x6b\x91\xa4\x83\x89\x83\x62\x83\x4e\x8e\x6c\x94\xd4"
    "\x82\xcc\x96\xb3\x92\xe2\x93\x64\x93\x64\x8c\xb9\x91\x95\x92\x75\r\n";


template <class Cond>
bool WaitFor(Cond cond, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

HWND NewestAlertWindow() {
    auto lock = g_app->openAlerts.Lock();
    HWND last = nullptr;
    for (auto* n = g_app->openAlerts.HeadLocked(); n; n = n->next) last = static_cast<HWND>(n->item->window);
    return last;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: alert_demo <message number> <sender> [hold ms]\n");
        return 2;
    }
    const int number = std::atoi(argv[1]);
    const DWORD hold = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 3000;
    const int arrivals = argc > 4 ? std::atoi(argv[4]) : 1;

    char dir[MAX_PATH], ini[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "dvr", 0, ini);
    HANDLE file = CreateFileA(ini, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, kCatalogue.data(), static_cast<DWORD>(kCatalogue.size()), &written, nullptr);
    CloseHandle(file);

    g_app = new CTrapApp;
    g_app->settingsPath = ini;
    g_app->instance = GetModuleHandleA(nullptr);
    CreateAlertBrushes();

    const std::time_t first = time(nullptr) - 60 * (arrivals - 1);
    for (int i = 0; i < arrivals; ++i) {
        auto* event = new TrapEvent;
        event->arrivalTime = first + 60 * i;
        event->fromText = argv[2];
        event->messageNumber = number == 125 ? 124 : number;
        event->specificCode = number == 125 ? 4 : 0;
        event->outletNumber = 3;
        g_app->pendingEvents.Append(event);
    }

    AlertWindowContext windows;
    windows.instance = GetModuleHandleA(nullptr);
    windows.openAlerts = &g_app->openAlerts;
    if (arrivals > 1) {
        windows.repeats = &g_app->repeatWindows;
        g_app->settings.language = number == 4 ? 0 : 1;
    }
    OpenGate gate;
    Win32ProfileReader settings(ini);
    g_app->deviceNames.Load(settings, GetACP());
    AppAlertWork(g_app->pendingEvents, g_app->settingsPath, g_app->settings.language, windows, g_app->refusals,
                 &g_app->deviceNames)
        .RunPass(gate);

    HWND window = nullptr;
    const bool shown = WaitFor([&] { return (window = NewestAlertWindow()) && IsWindowVisible(window); }, 10000);
    int rc = 1;
    if (shown && arrivals > 1)
        WaitFor([&] { return GetDlgItem(window, IDC_ALERT_REPEATS) != nullptr; }, 5000);
    if (shown) {
        Sleep(300);
        RECT r{};
        GetWindowRect(window, &r);
        std::printf("READY %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fflush(stdout);
        Sleep(hold);
        RequestAlertClose(window);
        rc = 0;
    }
    WaitFor([] { return LiveAlertWindowCount() == 0; }, 5000);
    delete g_app;
    g_app = nullptr;
    DeleteAlertBrushes();
    DeleteFileA(ini);
    return rc;
}
