#include "openssl_crypto.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace {

const char* DigestName(HashAlgorithm algorithm) {
    switch (algorithm) {
    case HashAlgorithm::Md5: return "MD5";
    case HashAlgorithm::Sha1: return "SHA1";
    case HashAlgorithm::Sha224: return "SHA224";
    case HashAlgorithm::Sha256: return "SHA256";
    case HashAlgorithm::Sha384: return "SHA384";
    case HashAlgorithm::Sha512: return "SHA512";
    }
    return "";
}

class DigestRun final : public HashRun {
public:
    explicit DigestRun(HashAlgorithm algorithm) : context_(EVP_MD_CTX_new()) {
        ok_ = context_ && EVP_DigestInit_ex(context_, EVP_get_digestbyname(DigestName(algorithm)), nullptr) == 1;
    }
    ~DigestRun() override { EVP_MD_CTX_free(context_); }
    bool Ok() const { return ok_; }
    bool Update(const uint8_t* data, size_t size) override { return EVP_DigestUpdate(context_, data, size) == 1; }
    bool Finish(uint8_t* digest) override { return EVP_DigestFinal_ex(context_, digest, nullptr) == 1; }

private:
    EVP_MD_CTX* context_;
    bool ok_ = false;
};

class MacRun final : public HashRun {
public:
    MacRun(HashAlgorithm algorithm, const uint8_t* key, size_t keySize) {
        mac_ = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
        context_ = mac_ ? EVP_MAC_CTX_new(mac_) : nullptr;
        OSSL_PARAM params[] = {
            OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(DigestName(algorithm)), 0),
            OSSL_PARAM_construct_end()};
        ok_ = context_ && EVP_MAC_init(context_, key, keySize, params) == 1;
    }
    ~MacRun() override {
        EVP_MAC_CTX_free(context_);
        EVP_MAC_free(mac_);
    }
    bool Ok() const { return ok_; }
    bool Update(const uint8_t* data, size_t size) override { return EVP_MAC_update(context_, data, size) == 1; }
    bool Finish(uint8_t* digest) override {
        size_t written = 0;
        return EVP_MAC_final(context_, digest, &written, kMaxHashLength) == 1;
    }

private:
    EVP_MAC* mac_ = nullptr;
    EVP_MAC_CTX* context_ = nullptr;
    bool ok_ = false;
};

class EcbBlockKey final : public AesBlockKey {
public:
    explicit EcbBlockKey(const uint8_t key[kAes128KeySize]) : context_(EVP_CIPHER_CTX_new()) {
        ok_ = context_ && EVP_EncryptInit_ex(context_, EVP_aes_128_ecb(), nullptr, key, nullptr) == 1 &&
              EVP_CIPHER_CTX_set_padding(context_, 0) == 1;
    }
    ~EcbBlockKey() override { EVP_CIPHER_CTX_free(context_); }
    bool Ok() const { return ok_; }
    bool EncryptBlock(const uint8_t in[kAesBlockSize], uint8_t out[kAesBlockSize]) override {
        int written = 0;
        return EVP_EncryptUpdate(context_, out, &written, in, kAesBlockSize) == 1 && written == kAesBlockSize;
    }

private:
    EVP_CIPHER_CTX* context_;
    bool ok_ = false;
};

template <class Run>
std::unique_ptr<Run> IfOk(std::unique_ptr<Run> run) {
    return run->Ok() ? std::move(run) : nullptr;
}

}  // namespace

bool OpensslCrypto::Supports(HashAlgorithm algorithm) const {
    return EVP_get_digestbyname(DigestName(algorithm)) != nullptr;
}

std::unique_ptr<HashRun> OpensslCrypto::StartHash(HashAlgorithm algorithm) {
    return IfOk(std::make_unique<DigestRun>(algorithm));
}

std::unique_ptr<HashRun> OpensslCrypto::StartHmac(HashAlgorithm algorithm, const uint8_t* key, size_t keySize) {
    return IfOk(std::make_unique<MacRun>(algorithm, key, keySize));
}

std::unique_ptr<AesBlockKey> OpensslCrypto::NewAes128Key(const uint8_t key[kAes128KeySize]) {
    return IfOk(std::make_unique<EcbBlockKey>(key));
}

bool OpensslCrypto::Random(uint8_t* out, size_t size) { return RAND_bytes(out, static_cast<int>(size)) == 1; }
