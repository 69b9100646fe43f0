#include "snmp/usm_privacy.h"

#include "snmp/usm_cfb.h"

namespace {

void PutBigEndian32(uint32_t value, uint8_t* to) {
    for (int i = 3; i >= 0; --i, value >>= 8) to[i] = static_cast<uint8_t>(value);
}

bool Run(Crypto& crypto, const uint8_t key[kAes128KeySize], uint32_t boots, uint32_t time,
         const uint8_t salt[kAesSaltSize], const uint8_t* in, size_t size, uint8_t* out, bool encrypt) {
    auto aes = crypto.NewAes128Key(key);
    if (!aes) return false;
    uint8_t iv[kAesBlockSize];
    PutBigEndian32(boots, iv);
    PutBigEndian32(time, iv + 4);
    for (size_t i = 0; i < kAesSaltSize; ++i) iv[8 + i] = salt[i];
    return encrypt ? AesCfb128Encrypt(*aes, iv, in, size, out) : AesCfb128Decrypt(*aes, iv, in, size, out);
}

}  // namespace

bool EncryptScopedPdu(Crypto& crypto, const uint8_t key[kAes128KeySize], uint32_t boots, uint32_t time,
                      const uint8_t salt[kAesSaltSize], const uint8_t* in, size_t size, uint8_t* out) {
    return Run(crypto, key, boots, time, salt, in, size, out, true);
}

bool DecryptScopedPdu(Crypto& crypto, const uint8_t key[kAes128KeySize], uint32_t boots, uint32_t time,
                      const uint8_t salt[kAesSaltSize], const uint8_t* in, size_t size, uint8_t* out) {
    return Run(crypto, key, boots, time, salt, in, size, out, false);
}
