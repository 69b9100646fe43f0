#pragma once
// Keys localized for one user and one authoritative engine (RFC 3414 2.6),
// and a bounded cache of them, since a device's engine ID is learnt only
// from its messages.
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"
#include "snmp/usm_engine_key.h"
#include "snmp/usm_lru_table.h"
#include "snmp/usm_users.h"

struct LocalizedKeys {
    uint8_t auth[kMaxHashLength] = {};  // KeyLength(user.auth) octets
    // CFB128-AES-128 key: the first 16 octets of the localized privacy key (RFC 3826 3.1.2.1).
    uint8_t priv[kAes128KeySize] = {};
};

// The user's keys for engineId; false for a user without authentication
// or when the platform's hash fails.
bool LocalizeUserKeys(Crypto& crypto, const UsmUser& user, const uint8_t* engineId, size_t engineIdSize,
                      LocalizedKeys& keys);

constexpr size_t kKeyCacheCapacity = 512;

class UsmKeyCache {
public:
    explicit UsmKeyCache(size_t capacity = kKeyCacheCapacity) : table_(capacity) {}

    const LocalizedKeys* Find(size_t userIndex, const uint8_t* engineId, size_t engineIdSize) {
        return table_.Find(EngineKey(engineId, engineIdSize, userIndex));
    }
    void Remember(size_t userIndex, const uint8_t* engineId, size_t engineIdSize, const LocalizedKeys& keys) {
        table_.Put(EngineKey(engineId, engineIdSize, userIndex)) = keys;
    }
    size_t Size() const { return table_.Size(); }

private:
    LruTable<EngineKey, LocalizedKeys> table_;
};
