#pragma once
// core/crypto.h over OpenSSL's libcrypto, for the native tests only: the
// product's crypto is Windows CNG (win/cng_crypto.h).
#include "core/crypto.h"

class OpensslCrypto final : public Crypto {
public:
    bool Supports(HashAlgorithm algorithm) const override;
    std::unique_ptr<HashRun> StartHash(HashAlgorithm algorithm) override;
    std::unique_ptr<HashRun> StartHmac(HashAlgorithm algorithm, const uint8_t* key, size_t keySize) override;
    std::unique_ptr<AesBlockKey> NewAes128Key(const uint8_t key[kAes128KeySize]) override;
    bool Random(uint8_t* out, size_t size) override;
};
