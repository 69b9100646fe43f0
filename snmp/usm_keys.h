#pragma once
// USM key derivation: a passphrase to its master key Ku (RFC 3414 A.2,
// the same for SHA-2 by RFC 7860) and a master key to the key localized
// for one authoritative engine, Kul = H(Ku || engineID || Ku) (RFC 3414 2.6).
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"

// Writes HashLength(algorithm) octets to ku. False for an empty passphrase
// or when the platform's hash fails.
bool PasswordToKey(Crypto& crypto, HashAlgorithm algorithm, const uint8_t* password, size_t passwordSize, uint8_t* ku);

// Writes HashLength(algorithm) octets to kul; ku is as long.
bool LocalizeKey(Crypto& crypto, HashAlgorithm algorithm, const uint8_t* ku, const uint8_t* engineId,
                 size_t engineIdSize, uint8_t* kul);
