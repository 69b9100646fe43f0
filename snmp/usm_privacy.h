#pragma once
// Privacy of the scoped PDU with CFB128-AES-128 (RFC 3826 3.1): the IV is
// the authoritative engine's boots and time, 4 octets each, big-endian,
// then the 8-octet salt sent as msgPrivacyParameters.
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"
#include "snmp/usm_protocols.h"

// out may be in. key is the localized privacy key's first 16 octets.
bool EncryptScopedPdu(Crypto& crypto, const uint8_t key[kAes128KeySize], uint32_t boots, uint32_t time,
                      const uint8_t salt[kAesSaltSize], const uint8_t* in, size_t size, uint8_t* out);
bool DecryptScopedPdu(Crypto& crypto, const uint8_t key[kAes128KeySize], uint32_t boots, uint32_t time,
                      const uint8_t salt[kAesSaltSize], const uint8_t* in, size_t size, uint8_t* out);
