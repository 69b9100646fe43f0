#pragma once
// What is known of the clocks of remote authoritative engines (the senders
// of traps), for the timeliness check of RFC 3414 3.2 step 7b: per engine
// ID the latest authentic boots and time and the local time they arrived.
// Bounded; only authenticated messages are recorded.
#include <cstddef>
#include <cstdint>

#include "snmp/usm_engine_key.h"
#include "snmp/usm_lru_table.h"

constexpr size_t kEngineTableCapacity = 512;
constexpr uint32_t kTimeWindowSeconds = 150;

class UsmEngineTimes {
public:
    explicit UsmEngineTimes(size_t capacity = kEngineTableCapacity) : table_(capacity) {}

    // Whether an authentic message with these values is within its engine's
    // time window, the table being first brought up to it as Record would.
    // The first message of an engine is.
    bool Timely(const uint8_t* engineId, size_t engineIdSize, uint32_t boots, uint32_t time, int64_t nowSeconds) const;
    // Takes the message's values when the engine is new or they are later.
    void Record(const uint8_t* engineId, size_t engineIdSize, uint32_t boots, uint32_t time, int64_t nowSeconds);

    size_t Size() const { return table_.Size(); }

private:
    struct Clock {
        uint32_t boots = 0;
        uint32_t latestTime = 0;  // latestReceivedEngineTime
        int64_t arrival = 0;      // local time it arrived
    };
    static bool Later(const Clock& known, uint32_t boots, uint32_t time) {
        return boots > known.boots || (boots == known.boots && time > known.latestTime);
    }

    LruTable<EngineKey, Clock> table_;
};
