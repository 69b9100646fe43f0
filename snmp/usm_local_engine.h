#pragma once
// Dovrel's own SNMP engine, authoritative for the INFORMs it receives: its
// engine ID (RFC 3411 SnmpEngineID), made once from random octets and kept
// by the platform; engine boots, which the platform keeps and advances at
// each start; engine time, the seconds since that start. Time is passed in.
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"
#include "snmp/usm_protocols.h"

constexpr uint32_t kMaxEngineBoots = 2147483647;  // latched: no message is timely then (RFC 3414 2.2.3)
constexpr uint32_t kMaxEngineTime = 2147483647;

// 5..32 octets, neither all zero nor all 0xFF (RFC 3411 SnmpEngineID).
bool IsValidEngineId(const uint8_t* id, size_t size);

constexpr size_t kGeneratedEngineIdSize = 17;
// 0x80000000 (first bit set: RFC 3411 format; enterprise 0, as the
// publisher has no private enterprise number of its own to put here),
// format 5 (octets), then 12 random octets, which make it unique. Writes
// kGeneratedEngineIdSize octets; false when the platform gives no random.
bool MakeEngineId(Crypto& crypto, uint8_t id[kGeneratedEngineIdSize]);

// The boots value to use and keep for this start, given the kept one
// (0 when there is none yet): one more, stopping at kMaxEngineBoots.
uint32_t NextEngineBoots(uint32_t kept);

struct LocalEngine {
    uint8_t id[kMaxEngineIdSize] = {};
    size_t idSize = 0;
    uint32_t boots = 0;
    int64_t startSeconds = 0;  // the caller's clock at start

    // snmpEngineTime at now on the same clock: 0 before the start, stopping at its maximum.
    uint32_t Time(int64_t nowSeconds) const;
    bool Is(const uint8_t* otherId, size_t otherSize) const;
};
