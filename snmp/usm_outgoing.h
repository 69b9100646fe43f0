#pragma once
// Builds an SNMPv3 message under USM (RFC 3412 6, RFC 3414 3.1): the
// header, the security parameters and the scoped PDU, encrypted at
// authPriv, then authenticated in place.
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"
#include "snmp/usm_key_cache.h"
#include "snmp/usm_protocols.h"

struct OutgoingMessage {
    int32_t msgId = 0;
    int32_t msgMaxSize = 0;  // what the sender can receive
    SecurityLevel level = SecurityLevel::NoAuthNoPriv;
    bool reportable = false;
    // msgAuthoritativeEngineID, boots and time
    const uint8_t* engineId = nullptr;
    size_t engineIdSize = 0;
    uint32_t engineBoots = 0;
    uint32_t engineTime = 0;
    const uint8_t* userName = nullptr;
    size_t userNameSize = 0;
    // At authNoPriv and authPriv: the protocol and keys localized for engineId.
    AuthProtocol auth = AuthProtocol::None;
    const LocalizedKeys* keys = nullptr;
    uint64_t salt = 0;  // at authPriv; sent as msgPrivacyParameters
    // The scoped PDU: context engine ID and name, and the PDU item whole.
    const uint8_t* contextEngineId = nullptr;
    size_t contextEngineIdSize = 0;
    const uint8_t* contextName = nullptr;
    size_t contextNameSize = 0;
    const uint8_t* pdu = nullptr;
    size_t pduSize = 0;
};

// Writes the message at the start of out. Returns its size, 0 when it does
// not fit in capacity or the crypto fails.
size_t BuildUsmMessage(Crypto& crypto, const OutgoingMessage& message, uint8_t* out, size_t capacity);
