#pragma once
// An engine ID held by value, as a table key, with the index of a user for
// the tables that are per user and engine.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "snmp/usm_protocols.h"

struct EngineKey {
    uint8_t id[kMaxEngineIdSize] = {};
    uint8_t size = 0;
    uint16_t user = 0;

    // size is at most kMaxEngineIdSize (the message reader's bound).
    EngineKey() = default;
    EngineKey(const uint8_t* engineId, size_t engineIdSize, size_t userIndex = 0)
        : size(static_cast<uint8_t>(engineIdSize)), user(static_cast<uint16_t>(userIndex)) {
        std::memcpy(id, engineId, engineIdSize);
    }
    bool operator==(const EngineKey& other) const {
        return size == other.size && user == other.user && std::memcmp(id, other.id, size) == 0;
    }
};
