#include "app/app_alert_work.h"

AppAlertWork::AppAlertWork(TrapEventQueue& pending, const std::string& settingsPath, int32_t language,
                           const AlertWindowContext& windows, const DeviceNames* names)
    : pending_(pending), language_(language), platform_(dispatcher_, windows), catalogue_(settingsPath) {
    dispatcher_.deviceNames = names;
}

int AppAlertWork::RunPass(WorkGate& gate) {
    return RunAlertPass(dispatcher_, pending_, catalogue_, language_, platform_, gate);
}
