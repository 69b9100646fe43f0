#include "app/app_alert_work.h"

#include "app/activity_win32.h"
#include "core/work_gate.h"

AppAlertWork::AppAlertWork(TrapEventQueue& pending, const std::string& settingsPath, int32_t language,
                           const AlertWindowContext& windows, const RefusalCounters& refusals, const DeviceNames* names)
    : pending_(pending),
      language_(language),
      repeats_(windows.repeats),
      platform_(dispatcher_, windows),
      catalogue_(settingsPath),
      refusals_(refusals),
      owner_(windows.owner) {
    dispatcher_.deviceNames = names;
}

int AppAlertWork::RunPass(WorkGate& gate) {
    const int announced = RunAlertPass(dispatcher_, pending_, catalogue_, language_, platform_, gate, repeats_);
    if (announced > 0) announced_.fetch_add(static_cast<uint64_t>(announced));
    // Until something is refused the tooltip is the program's name alone and
    // alerts do not change it. At most one message per pass, however many
    // traps were refused meanwhile.
    const uint64_t refused = refusals_.Total();
    if (owner_ && refused != 0 && (announced > 0 || refused != refusalsTold_) && gate.Enter()) {
        PostMessageA(owner_, kActivityChangedMessage, 0, 0);
        refusalsTold_ = refused;
        gate.Leave();
    }
    return announced;
}
