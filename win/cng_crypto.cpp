#include "win/cng_crypto.h"

namespace {

// CNG's name of each HashAlgorithm, in its order; none for SHA-224.
const wchar_t* const kAlgorithmIds[] = {BCRYPT_MD5_ALGORITHM,    BCRYPT_SHA1_ALGORITHM,   nullptr,
                                        BCRYPT_SHA256_ALGORITHM, BCRYPT_SHA384_ALGORITHM, BCRYPT_SHA512_ALGORITHM};

size_t Index(HashAlgorithm algorithm) { return static_cast<size_t>(algorithm); }

class CngHashRun final : public HashRun {
public:
    ~CngHashRun() override {
        if (hash_) BCryptDestroyHash(hash_);
    }
    // The object memory is left to CNG (Windows 7 and later).
    bool Create(BCRYPT_ALG_HANDLE algorithm, const uint8_t* key, size_t keySize, size_t digestSize) {
        digestSize_ = digestSize;
        return BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash_, nullptr, 0, const_cast<PUCHAR>(key),
                                               static_cast<ULONG>(keySize), 0));
    }
    bool Update(const uint8_t* data, size_t size) override {
        return size == 0 ||
               BCRYPT_SUCCESS(BCryptHashData(hash_, const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0));
    }
    bool Finish(uint8_t* digest) override {
        return BCRYPT_SUCCESS(BCryptFinishHash(hash_, digest, static_cast<ULONG>(digestSize_), 0));
    }

private:
    BCRYPT_HASH_HANDLE hash_ = nullptr;
    size_t digestSize_ = 0;
};

class CngAesBlockKey final : public AesBlockKey {
public:
    ~CngAesBlockKey() override {
        if (key_) BCryptDestroyKey(key_);
    }
    bool Create(BCRYPT_ALG_HANDLE aes, const uint8_t key[kAes128KeySize]) {
        return BCRYPT_SUCCESS(
            BCryptGenerateSymmetricKey(aes, &key_, nullptr, 0, const_cast<PUCHAR>(key), kAes128KeySize, 0));
    }
    bool EncryptBlock(const uint8_t in[kAesBlockSize], uint8_t out[kAesBlockSize]) override {
        ULONG written = 0;
        return BCRYPT_SUCCESS(BCryptEncrypt(key_, const_cast<PUCHAR>(in), kAesBlockSize, nullptr, nullptr, 0, out,
                                            kAesBlockSize, &written, 0)) &&
               written == kAesBlockSize;
    }

private:
    BCRYPT_KEY_HANDLE key_ = nullptr;
};

std::unique_ptr<HashRun> StartRun(BCRYPT_ALG_HANDLE algorithm, const uint8_t* key, size_t keySize, size_t digestSize) {
    if (!algorithm) return nullptr;
    auto run = std::make_unique<CngHashRun>();
    if (!run->Create(algorithm, key, keySize, digestSize)) return nullptr;
    return run;
}

}  // namespace

CngCrypto::CngCrypto() {
    for (size_t i = 0; i < kAlgorithms; ++i) {
        if (!kAlgorithmIds[i]) continue;
        hash_[i].Open(kAlgorithmIds[i], 0);
        hmac_[i].Open(kAlgorithmIds[i], BCRYPT_ALG_HANDLE_HMAC_FLAG);
    }
    // AES in ECB: the portable code builds CFB on single blocks. A provider
    // left in its default CBC mode would chain blocks, so it is not kept.
    if (aes_.Open(BCRYPT_AES_ALGORITHM, 0) &&
        !BCRYPT_SUCCESS(BCryptSetProperty(aes_.Get(), BCRYPT_CHAINING_MODE,
                                          reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                          sizeof BCRYPT_CHAIN_MODE_ECB, 0)))
        aes_.Close();
}

bool CngCrypto::Supports(HashAlgorithm algorithm) const {
    return hash_[Index(algorithm)].Get() && hmac_[Index(algorithm)].Get();
}

std::unique_ptr<HashRun> CngCrypto::StartHash(HashAlgorithm algorithm) {
    return StartRun(hash_[Index(algorithm)].Get(), nullptr, 0, HashLength(algorithm));
}

std::unique_ptr<HashRun> CngCrypto::StartHmac(HashAlgorithm algorithm, const uint8_t* key, size_t keySize) {
    return StartRun(hmac_[Index(algorithm)].Get(), key, keySize, HashLength(algorithm));
}

std::unique_ptr<AesBlockKey> CngCrypto::NewAes128Key(const uint8_t key[kAes128KeySize]) {
    if (!aes_.Get()) return nullptr;
    auto block = std::make_unique<CngAesBlockKey>();
    if (!block->Create(aes_.Get(), key)) return nullptr;
    return block;
}

bool CngCrypto::Random(uint8_t* out, size_t size) {
    return BCRYPT_SUCCESS(
        BCryptGenRandom(nullptr, out, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}
