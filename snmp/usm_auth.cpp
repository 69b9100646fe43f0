#include "snmp/usm_auth.h"

namespace {

// Differences are accumulated over every octet, never returned early, so
// the time taken does not tell how much of a forged MAC was right.
bool EqualInConstantTime(const uint8_t* a, const uint8_t* b, size_t size) {
    uint8_t difference = 0;
    for (size_t i = 0; i < size; ++i) difference = static_cast<uint8_t>(difference | (a[i] ^ b[i]));
    return difference == 0;
}

}  // namespace

bool ComputeMac(Crypto& crypto, AuthProtocol protocol, const uint8_t* key, const uint8_t* message, size_t size,
                const ByteRange& authParams, uint8_t* mac) {
    const size_t macLength = MacLength(protocol);
    if (macLength == 0 || authParams.size != macLength || authParams.pos > size || macLength > size - authParams.pos)
        return false;
    const HashAlgorithm hash = AuthHash(protocol);
    auto hmac = crypto.StartHmac(hash, key, KeyLength(protocol));
    static const uint8_t kZeros[kMaxMacLength] = {};
    const size_t after = authParams.pos + macLength;
    uint8_t digest[kMaxHashLength];
    if (!hmac || !hmac->Update(message, authParams.pos) || !hmac->Update(kZeros, macLength) ||
        !hmac->Update(message + after, size - after) || !hmac->Finish(digest))
        return false;
    for (size_t i = 0; i < macLength; ++i) mac[i] = digest[i];
    return true;
}

bool VerifyMac(Crypto& crypto, AuthProtocol protocol, const uint8_t* key, const uint8_t* message, size_t size,
               const ByteRange& authParams) {
    uint8_t expected[kMaxMacLength];
    return ComputeMac(crypto, protocol, key, message, size, authParams, expected) &&
           EqualInConstantTime(expected, message + authParams.pos, authParams.size);
}
