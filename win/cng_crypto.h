#pragma once
// core/crypto.h over Windows CNG (bcrypt.dll). The algorithm providers are
// opened once, here, and shared by every hash and key made from them, as
// CNG allows across threads. CNG has no SHA-224: Supports says so.
#include <windows.h>

#include <bcrypt.h>

#include "core/crypto.h"
#include "win/handles.h"

struct AlgorithmCloser { static void Close(BCRYPT_ALG_HANDLE algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); } };
using UniqueAlgorithm = UniqueOwner<BCRYPT_ALG_HANDLE, AlgorithmCloser>;

class CngCrypto final : public Crypto {
public:
    CngCrypto();
    CngCrypto(const CngCrypto&) = delete;
    CngCrypto& operator=(const CngCrypto&) = delete;

    bool Supports(HashAlgorithm algorithm) const override;
    std::unique_ptr<HashRun> StartHash(HashAlgorithm algorithm) override;
    std::unique_ptr<HashRun> StartHmac(HashAlgorithm algorithm, const uint8_t* key, size_t keySize) override;
    std::unique_ptr<AesBlockKey> NewAes128Key(const uint8_t key[kAes128KeySize]) override;
    bool Random(uint8_t* out, size_t size) override;

private:
    static constexpr size_t kAlgorithms = 6;  // one per HashAlgorithm
    UniqueAlgorithm hash_[kAlgorithms];
    UniqueAlgorithm hmac_[kAlgorithms];
    UniqueAlgorithm aes_;  // set to ECB: one block at a time
};
