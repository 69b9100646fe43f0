#pragma once
// The alert work the receiver engine's alert thread runs: the alert pass
// over the application's pending events, with its catalogue (the settings
// file, read afresh for every alert), its language and the Win32 platform.
// Made on the main thread before the engine starts, so the worker allocates
// none of it. After each pass it tells the main window when alerts were
// announced or refusals counted, so that the tooltip follows without a timer.
#include <atomic>
#include <cstdint>
#include <string>

#include "alert/alert_pass.h"
#include "alert/alert_platform_win32.h"
#include "snmp/alert_work.h"
#include "snmp/refusal_counters.h"
#include "win/win32_profile_reader.h"

class AppAlertWork final : public AlertWork {
public:
    // names (may be null: no sender has a name) must outlive this work.
    AppAlertWork(TrapEventQueue& pending, const std::string& settingsPath, int32_t language,
                 const AlertWindowContext& windows, const RefusalCounters& refusals, const DeviceNames* names = nullptr);
    int RunPass(WorkGate& gate) override;
    // Alerts announced since the program started; read by the main window.
    uint64_t AlertsAnnounced() const { return announced_.load(); }
    // For tests: the last alert-window thread started.
    const CAlertDispatcher& Dispatcher() const { return dispatcher_; }

private:
    TrapEventQueue& pending_;
    int32_t language_;
    RepeatWindows* repeats_;  // null: no merging
    CAlertDispatcher dispatcher_;
    Win32AlertPlatform platform_;
    Win32ProfileReader catalogue_;
    const RefusalCounters& refusals_;
    HWND owner_;                    // the main window, told of changes; null in tests
    std::atomic<uint64_t> announced_{0};
    uint64_t refusalsTold_ = 0;     // refusals counted when the window was last told
};
