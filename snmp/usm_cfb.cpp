#include "snmp/usm_cfb.h"

#include <cstring>

namespace {

// Both directions XOR the text with the encrypted feedback register; the
// register then takes the ciphertext block, which is the output when
// encrypting and the input when decrypting.
bool Cfb128(AesBlockKey& key, const uint8_t iv[kAesBlockSize], const uint8_t* in, size_t size, uint8_t* out,
            bool encrypt) {
    uint8_t feedback[kAesBlockSize];
    uint8_t stream[kAesBlockSize];
    std::memcpy(feedback, iv, kAesBlockSize);
    for (size_t pos = 0; pos < size; pos += kAesBlockSize) {
        if (!key.EncryptBlock(feedback, stream)) return false;
        const size_t n = size - pos < kAesBlockSize ? size - pos : kAesBlockSize;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t inOctet = in[pos + i];
            out[pos + i] = static_cast<uint8_t>(inOctet ^ stream[i]);
            feedback[i] = encrypt ? out[pos + i] : inOctet;
        }
    }
    return true;
}

}  // namespace

bool AesCfb128Encrypt(AesBlockKey& key, const uint8_t iv[kAesBlockSize], const uint8_t* in, size_t size, uint8_t* out) {
    return Cfb128(key, iv, in, size, out, true);
}

bool AesCfb128Decrypt(AesBlockKey& key, const uint8_t iv[kAesBlockSize], const uint8_t* in, size_t size, uint8_t* out) {
    return Cfb128(key, iv, in, size, out, false);
}
