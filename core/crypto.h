#pragma once
// The platform's cryptography, as the portable code sees it: hashes, HMAC,
// one AES-128 block and random octets. Windows implements it with CNG
// (win/cng_crypto.h); nothing portable computes a hash or cipher itself.
#include <cstddef>
#include <cstdint>
#include <memory>

enum class HashAlgorithm : uint8_t { Md5, Sha1, Sha224, Sha256, Sha384, Sha512 };

// Digest length in octets.
constexpr size_t HashLength(HashAlgorithm algorithm) {
    switch (algorithm) {
    case HashAlgorithm::Md5: return 16;
    case HashAlgorithm::Sha1: return 20;
    case HashAlgorithm::Sha224: return 28;
    case HashAlgorithm::Sha256: return 32;
    case HashAlgorithm::Sha384: return 48;
    case HashAlgorithm::Sha512: return 64;
    }
    return 0;
}

constexpr size_t kMaxHashLength = 64;
constexpr size_t kAesBlockSize = 16;
constexpr size_t kAes128KeySize = 16;

// One running hash or HMAC: Update any number of times, then Finish once.
class HashRun {
public:
    virtual ~HashRun() = default;
    virtual bool Update(const uint8_t* data, size_t size) = 0;
    // Writes HashLength(algorithm) octets.
    virtual bool Finish(uint8_t* digest) = 0;
};

// An AES-128 key ready to encrypt single blocks (ECB of one block): the
// modes are built on it in portable code.
class AesBlockKey {
public:
    virtual ~AesBlockKey() = default;
    virtual bool EncryptBlock(const uint8_t in[kAesBlockSize], uint8_t out[kAesBlockSize]) = 0;
};

// Every call may be made from any thread; a HashRun or AesBlockKey belongs
// to the thread that uses it. A null result means failure or an algorithm
// the platform lacks.
class Crypto {
public:
    virtual ~Crypto() = default;
    virtual bool Supports(HashAlgorithm algorithm) const = 0;
    virtual std::unique_ptr<HashRun> StartHash(HashAlgorithm algorithm) = 0;
    virtual std::unique_ptr<HashRun> StartHmac(HashAlgorithm algorithm, const uint8_t* key, size_t keySize) = 0;
    virtual std::unique_ptr<AesBlockKey> NewAes128Key(const uint8_t key[kAes128KeySize]) = 0;
    // Octets from the platform's cryptographic random generator.
    virtual bool Random(uint8_t* out, size_t size) = 0;
};
