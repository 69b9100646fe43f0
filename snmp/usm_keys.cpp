#include "snmp/usm_keys.h"

namespace {

// RFC 3414 A.2: the passphrase repeated to one megabyte is hashed.
constexpr size_t kExpandedPasswordSize = 1048576;
constexpr size_t kChunkSize = 64;

}  // namespace

bool PasswordToKey(Crypto& crypto, HashAlgorithm algorithm, const uint8_t* password, size_t passwordSize, uint8_t* ku) {
    if (!password || passwordSize == 0) return false;
    auto hash = crypto.StartHash(algorithm);
    if (!hash) return false;
    uint8_t chunk[kChunkSize];
    size_t index = 0;
    for (size_t done = 0; done < kExpandedPasswordSize; done += kChunkSize) {
        for (uint8_t& octet : chunk) octet = password[index++ % passwordSize];
        if (!hash->Update(chunk, kChunkSize)) return false;
    }
    return hash->Finish(ku);
}

bool LocalizeKey(Crypto& crypto, HashAlgorithm algorithm, const uint8_t* ku, const uint8_t* engineId,
                 size_t engineIdSize, uint8_t* kul) {
    auto hash = crypto.StartHash(algorithm);
    const size_t keySize = HashLength(algorithm);
    return hash && hash->Update(ku, keySize) && hash->Update(engineId, engineIdSize) && hash->Update(ku, keySize) &&
           hash->Finish(kul);
}
