#pragma once
// The alert pass over the pending-event queue.
#include <cstdint>
#include <ctime>
#include <memory>

#include "alert/alert_texts.h"
#include "settings/device_names.h"
#include "snmp/trap_records.h"

class ProfileReader;
class RepeatWindow;
class RepeatWindows;
class WorkGate;

// What the alert pass asks of the platform.
class AlertPlatform {
public:
    virtual ~AlertPlatform() = default;
    virtual void DismissScreenSaver() = 0;
    virtual void Beep() = 0;
    // Starts an alert-window thread that takes ownership of texts; returns
    // false (texts freed by the callee) when no thread could be started.
    // repeat, when not null, is the window's record among the windows that
    // take repeats (the window attaches to it and closes it).
    virtual bool StartAlertWindow(AlertTexts* texts, std::shared_ptr<RepeatWindow> repeat) = 0;
    // A repeat was merged into this open window: show its count and bring
    // it to the top. Called with the repeat records' lock held, so it must
    // only post.
    virtual void RaiseRepeatedWindow(void* window) = 0;
    virtual void Pause(int milliseconds) = 0;
    // Appends the announced alert to the history; must be quick, must not
    // throw and must fail silently. messageNumber is the adjusted number.
    virtual void RecordAlert(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber,
                             int32_t specificCode) = 0;
};

// One per alert thread. The Win32 platform stores the last alert-window
// thread's handle and id here.
class CAlertDispatcher {
public:
    CAlertDispatcher() = default;
    virtual ~CAlertDispatcher() = default;
    CAlertDispatcher(const CAlertDispatcher&) = delete;
    CAlertDispatcher& operator=(const CAlertDispatcher&) = delete;

    void* lastThread = nullptr;     // handle of the last alert-window thread
    uint32_t lastThreadId = 0;
    AlertTexts current;             // carries the colour over between alerts
    // The names of [usKarn_names], read at start; null or empty: none.
    const DeviceNames* deviceNames = nullptr;
};

// One pass: announces every queued event in order, 200 ms apart, and frees
// it. Returns the number of events announced. Reading the head with the
// screen-saver dismissal is one unit of work for the gate, and each event two
// more (compose, beep, start and record; then unlink and free) with the pause
// outside them; when gate.Enter() refuses, the pass returns and an event
// not yet unlinked stays queued for its owner to free.
// With repeats (mergeRepeats=1), an event whose alert window is still open
// is beeped and recorded but merged into that window instead of opening
// another; without, every event opens a window of its own.
int RunAlertPass(CAlertDispatcher& dispatcher, TrapEventQueue& queue, ProfileReader& catalogue,
                 int32_t language, AlertPlatform& platform, WorkGate& gate, RepeatWindows* repeats = nullptr);
