#pragma once
// Message authentication (RFC 3414 6.3 and 7.3, RFC 7860 4.2): the HMAC of
// the whole message with msgAuthenticationParameters taken as zeros,
// truncated to the protocol's MAC length.
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"
#include "snmp/usm_message.h"
#include "snmp/usm_protocols.h"

// Writes MacLength(protocol) octets to mac. message is not changed: the
// octets of authParams are fed to the HMAC as zeros, the same octets as a
// zeroed copy of the message gives. key is the localized key.
bool ComputeMac(Crypto& crypto, AuthProtocol protocol, const uint8_t* key, const uint8_t* message, size_t size,
                const ByteRange& authParams, uint8_t* mac);

// The message's MAC is the one the key gives; compared in constant time.
bool VerifyMac(Crypto& crypto, AuthProtocol protocol, const uint8_t* key, const uint8_t* message, size_t size,
               const ByteRange& authParams);
