#pragma once
// CFB128 mode (NIST SP 800-38A 6.3) over the platform's single-block AES
// encryption, as RFC 3826 uses it. Built here rather than asked of the
// platform because Wine's bcrypt has no CFB: one code path everywhere.
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"

// Any size; the last block may be partial. out may be in (in place).
bool AesCfb128Encrypt(AesBlockKey& key, const uint8_t iv[kAesBlockSize], const uint8_t* in, size_t size, uint8_t* out);
bool AesCfb128Decrypt(AesBlockKey& key, const uint8_t iv[kAesBlockSize], const uint8_t* in, size_t size, uint8_t* out);
