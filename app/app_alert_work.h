#pragma once
// The alert work the receiver engine's alert thread runs: the alert pass
// over the application's pending events, with its catalogue (the settings
// file, read afresh for every alert), its language and the Win32 platform.
// Made on the main thread before the engine starts, so the worker allocates
// none of it.
#include <string>

#include "alert/alert_pass.h"
#include "alert/alert_platform_win32.h"
#include "snmp/alert_work.h"
#include "win/win32_profile_reader.h"

class AppAlertWork final : public AlertWork {
public:
    // names (may be null: no sender has a name) must outlive this work.
    AppAlertWork(TrapEventQueue& pending, const std::string& settingsPath, int32_t language,
                 const AlertWindowContext& windows, const DeviceNames* names = nullptr);
    int RunPass(WorkGate& gate) override;
    // For tests: the last alert-window thread started.
    const CAlertDispatcher& Dispatcher() const { return dispatcher_; }

private:
    TrapEventQueue& pending_;
    int32_t language_;
    CAlertDispatcher dispatcher_;
    Win32AlertPlatform platform_;
    Win32ProfileReader catalogue_;
};
