#include "win/cng_crypto.h"

namespace {

// CNG's name of each HashAlgorithm, in its order; none for SHA-224.
const wchar_t* const kAlgorithmIds[] = {BCRYPT_MD5_ALGORITHM,    BCRYPT_SHA1_ALGORITHM,   nullptr,
                                        BCRYPT_SHA256_ALGORITHM, BCRYPT_SHA384_ALGORITHM, BCRYPT_SHA512_ALGORITHM};

size_t Index(HashAlgorithm algorithm) { return static_cast<size_t>(algorithm); }

struct HashCloser { static void Close(BCRYPT_HASH_HANDLE hash) { BCryptDestroyHash(hash); } };
struct KeyCloser { static void Close(BCRYPT_KEY_HANDLE key) { BCryptDestroyKey(key); } };

class CngHashRun final : public HashRun {
public:
    // The object memory is left to CNG (Windows 7 and later).
    bool Create(BCRYPT_ALG_HANDLE algorithm, const uint8_t* key, size_t keySize, size_t digestSize) {
        digestSize_ = digestSize;
        return BCRYPT_SUCCESS(BCryptCreateHash(algorithm, hash_.Out(), nullptr, 0, const_cast<PUCHAR>(key),
                                               static_cast<ULONG>(keySize), 0));
    }
    bool Update(const uint8_t* data, size_t size) override {
        return size == 0 ||
               BCRYPT_SUCCESS(BCryptHashData(hash_.Get(), const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0));
    }
    bool Finish(uint8_t* digest) override {
        return BCRYPT_SUCCESS(BCryptFinishHash(hash_.Get(), digest, static_cast<ULONG>(digestSize_), 0));
    }

private:
    UniqueOwner<BCRYPT_HASH_HANDLE, HashCloser> hash_;
    size_t digestSize_ = 0;
};

class CngAesBlockKey final : public AesBlockKey {
public:
    bool Create(BCRYPT_ALG_HANDLE aes, const uint8_t key[kAes128KeySize]) {
        return BCRYPT_SUCCESS(
            BCryptGenerateSymmetricKey(aes, key_.Out(), nullptr, 0, const_cast<PUCHAR>(key), kAes128KeySize, 0));
    }
    bool EncryptBlock(const uint8_t in[kAesBlockSize], uint8_t out[kAesBlockSize]) override {
        ULONG written = 0;
        return BCRYPT_SUCCESS(BCryptEncrypt(key_.Get(), const_cast<PUCHAR>(in), kAesBlockSize, nullptr, nullptr, 0, out,
                                            kAesBlockSize, &written, 0)) &&
               written == kAesBlockSize;
    }

private:
    UniqueOwner<BCRYPT_KEY_HANDLE, KeyCloser> key_;
};

std::unique_ptr<HashRun> StartRun(BCRYPT_ALG_HANDLE algorithm, const uint8_t* key, size_t keySize, size_t digestSize) {
    if (!algorithm) return nullptr;
    auto run = std::make_unique<CngHashRun>();
    if (!run->Create(algorithm, key, keySize, digestSize)) return nullptr;
    return run;
}

// Opens the provider; on failure none is held.
bool Open(UniqueAlgorithm& provider, const wchar_t* algorithmId, ULONG flags) {
    if (BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(provider.Out(), algorithmId, nullptr, flags))) return true;
    provider.Release();
    return false;
}

}  // namespace

CngCrypto::CngCrypto() {
    for (size_t i = 0; i < kAlgorithms; ++i) {
        if (!kAlgorithmIds[i]) continue;
        Open(hash_[i], kAlgorithmIds[i], 0);
        Open(hmac_[i], kAlgorithmIds[i], BCRYPT_ALG_HANDLE_HMAC_FLAG);
    }
    // AES in ECB: the portable code builds CFB on single blocks. A provider
    // left in its default CBC mode would chain blocks, so it is not kept.
    if (Open(aes_, BCRYPT_AES_ALGORITHM, 0) &&
        !BCRYPT_SUCCESS(BCryptSetProperty(aes_.Get(), BCRYPT_CHAINING_MODE,
                                          reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                          sizeof BCRYPT_CHAIN_MODE_ECB, 0)))
        aes_.Reset();
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
