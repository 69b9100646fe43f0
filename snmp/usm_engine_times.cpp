#include "snmp/usm_engine_times.h"

#include "snmp/usm_local_engine.h"

bool UsmEngineTimes::Timely(const uint8_t* engineId, size_t engineIdSize, uint32_t boots, uint32_t time,
                            int64_t nowSeconds) const {
    if (boots >= kMaxEngineBoots) return false;
    const Clock* known = table_.Peek(EngineKey(engineId, engineIdSize));
    if (!known || Later(*known, boots, time)) return true;
    if (boots < known->boots) return false;
    // Equal boots: not more than the window behind the estimate of the
    // engine's time now, the latest time plus what has passed here since.
    const int64_t elapsed = nowSeconds > known->arrival ? nowSeconds - known->arrival : 0;
    return static_cast<int64_t>(time) + kTimeWindowSeconds >= static_cast<int64_t>(known->latestTime) + elapsed;
}

void UsmEngineTimes::Record(const uint8_t* engineId, size_t engineIdSize, uint32_t boots, uint32_t time,
                            int64_t nowSeconds) {
    const EngineKey key(engineId, engineIdSize);
    Clock* known = table_.Find(key);
    if (known && !Later(*known, boots, time)) return;
    Clock& clock = known ? *known : table_.Put(key);
    clock = Clock{boots, time, nowSeconds};
}
