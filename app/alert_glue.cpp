#include "app/alert_glue.h"

#include "alert/alert_platform_win32.h"
#include "core/work_gate.h"

namespace {
// The alert pass dismisses the screen saver before its first unit of work,
// outside the gate; this wrapper moves that call inside it so that a forced
// stop never lands in it. The other calls already run inside the gate (or,
// for the pause, must stay outside it) and pass straight through.
class GatedAlertPlatform final : public AlertPlatform {
public:
    GatedAlertPlatform(CAlertDispatcher& dispatcher, WorkGate& gate) : inner_(dispatcher), gate_(gate) {}
    void DismissScreenSaver() override {
        if (!gate_.Enter()) return;
        inner_.DismissScreenSaver();
        gate_.Leave();
    }
    void Beep() override { inner_.Beep(); }
    bool StartAlertWindow(AlertTexts* texts) override { return inner_.StartAlertWindow(texts); }
    void Pause(int milliseconds) override { inner_.Pause(milliseconds); }

private:
    Win32AlertPlatform inner_;
    WorkGate& gate_;
};
}  // namespace

std::unique_ptr<AlertPlatform> MakeAlertPlatform(CAlertDispatcher& dispatcher, WorkGate& gate) {
    return std::make_unique<GatedAlertPlatform>(dispatcher, gate);
}
