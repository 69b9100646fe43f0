#include "app/alert_glue.h"

#include <windows.h>

// TEMPORARY stand-in platform: beeps only.
namespace {
class StandInPlatform final : public AlertPlatform {
public:
    void DismissScreenSaver() override {}
    void Beep() override { MessageBeep(MB_ICONEXCLAMATION); }
    bool StartAlertWindow(AlertTexts* texts) override {
        delete texts;
        return false;
    }
    void Pause(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
};
}  // namespace

std::unique_ptr<AlertPlatform> MakeAlertPlatform(CAlertDispatcher&) { return std::make_unique<StandInPlatform>(); }
void CreateAlertBrushes() {}
void DeleteAlertBrushes() {}
int LiveAlertWindowCount() { return 0; }
