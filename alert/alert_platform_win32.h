#pragma once
// The alert pass's platform on Windows: screen saver, beep, alert-window
// threads, the pause between alerts and the history file.
#include "alert/alert_pass.h"
#include "alert/alert_window.h"

class Win32AlertPlatform final : public AlertPlatform {
public:
    // Records each started thread's handle and id in dispatcher; the handle
    // of the previous one is closed then (nothing waits for these threads),
    // and the last one when this platform goes. Every alert window gets
    // context (its list must outlive the windows).
    Win32AlertPlatform(CAlertDispatcher& dispatcher, const AlertWindowContext& context)
        : dispatcher_(dispatcher), context_(context) {}
    ~Win32AlertPlatform() override;
    Win32AlertPlatform(const Win32AlertPlatform&) = delete;
    Win32AlertPlatform& operator=(const Win32AlertPlatform&) = delete;

    void DismissScreenSaver() override;
    void Beep() override;
    bool StartAlertWindow(AlertTexts* texts, std::shared_ptr<RepeatWindow> repeat) override;
    void RaiseRepeatedWindow(void* window) override;
    void Pause(int milliseconds) override;
    void RecordAlert(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber,
                     int32_t specificCode) override;

private:
    CAlertDispatcher& dispatcher_;
    AlertWindowContext context_;
};
