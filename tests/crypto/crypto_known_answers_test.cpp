// Known answers through the platform's crypto (OpenSSL natively, Windows CNG
// under Wine): the hashes and HMACs, the USM key derivation of RFC 3414 A.3
// and its SHA-2 forms, one AES-128 block (FIPS-197) and CFB128 against
// ciphertext made by OpenSSL's command-line tool.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hex.h"
#include "snmp/usm_cfb.h"
#include "snmp/usm_keys.h"
#include "test_crypto.h"

namespace {

const HashAlgorithm kAll[] = {HashAlgorithm::Md5,    HashAlgorithm::Sha1,   HashAlgorithm::Sha224,
                              HashAlgorithm::Sha256, HashAlgorithm::Sha384, HashAlgorithm::Sha512};

std::string Digest(std::unique_ptr<HashRun> run, const std::string& text, HashAlgorithm algorithm) {
    if (!run) return "no run";
    uint8_t digest[kMaxHashLength];
    // In two pieces: the running hash must join them.
    const size_t half = text.size() / 2;
    if (!run->Update(reinterpret_cast<const uint8_t*>(text.data()), half) ||
        !run->Update(reinterpret_cast<const uint8_t*>(text.data()) + half, text.size() - half) ||
        !run->Finish(digest))
        return "failed";
    return ToHex(digest, HashLength(algorithm));
}

}  // namespace

TEST(CryptoKnownAnswers, HashesAndHmacs) {
    // FIPS 180 "abc"; RFC 2202 / RFC 4231 test case 2 (key "Jefe").
    const char* const kAbc[] = {
        "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d",
        "23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7",
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
        "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7",
        "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce8"
        "0e2a9ac94fa54ca49f"};
    const char* const kJefe[] = {
        "750c783e6ab0b503eaa86e310a5db738", "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79",
        "a30e01098bc6dbbf45690f3a7e9e6d0f8bbea2a39e6148008fd05e44",
        "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843",
        "af45d2e376484031617f78d2b58a6b1b9c7ef464f5a01b47e42ec3736322445e8e2240ca5e69e2c78b3239ecfab21649",
        "164b7a7bfcf819e2e395fbe73b56e0a387bd64222e831fd610270cd7ea2505549758bf75c05a994a6d034f65f8f0e6fdcaeab1a34d4a6b"
        "4b636e070a38bce737"};
    Crypto& crypto = TestCrypto();
    const uint8_t jefe[] = {'J', 'e', 'f', 'e'};
    for (size_t i = 0; i < 6; ++i) {
        const HashAlgorithm algorithm = kAll[i];
        if (!crypto.Supports(algorithm)) {
            EXPECT_EQ(algorithm, HashAlgorithm::Sha224) << "only SHA-224 may be missing";
            EXPECT_EQ(crypto.StartHash(algorithm), nullptr);
            EXPECT_EQ(crypto.StartHmac(algorithm, jefe, sizeof jefe), nullptr);
            continue;
        }
        EXPECT_EQ(Digest(crypto.StartHash(algorithm), "abc", algorithm), kAbc[i]) << i;
        EXPECT_EQ(Digest(crypto.StartHmac(algorithm, jefe, sizeof jefe), "what do ya want for nothing?", algorithm),
                  kJefe[i])
            << i;
    }
}

TEST(CryptoKnownAnswers, PasswordToKeyAndLocalization) {
    // RFC 3414 A.3.1 and A.3.2 for MD5 and SHA-1; the SHA-2 values come from
    // pysnmp's own implementation (tests/data/v3/README.txt).
    const struct {
        HashAlgorithm algorithm;
        const char* ku;
        const char* kul;
    } kCases[] = {
        {HashAlgorithm::Md5, "9faf3283884e92834ebc9847d8edd963", "526f5eed9fcce26f8964c2930787d82b"},
        {HashAlgorithm::Sha1, "9fb5cc0381497b3793528939ff788d5d79145211", "6695febc9288e36282235fc7151f128497b38f3f"},
        {HashAlgorithm::Sha224, "282a5867ee9aac639ad59df9572c7d3ac0fbc13a905b6df07dbbf00b",
         "0bd8827c6e29f8065e08e09237f177e410f69b90e1782be682075674"},
        {HashAlgorithm::Sha256, "ab51014d1e077f6017df2b12bee5f5aa72993177e9bb569c4dff5a4ca0b4afac",
         "8982e0e549e866db361a6b625d84cccc11162d453ee8ce3a6445c2d6776f0f8b"},
        {HashAlgorithm::Sha384,
         "e06eccdf2c68a06ed034723c9c26e0db3b669e1e2efed49150b55377a2e98f383c86fb836857444654b287c93f51ff64",
         "3b298f16164a11184279d5432bf169e2d2a48307de02b3d3f7e2b4f36eb6f0455a53689a3937eea07319a633d2ccba78"},
        {HashAlgorithm::Sha512,
         "7e4396de5aadc77be853819b98c9406265b3a9c37cc3176569847a4e4f6fba63dd3a73d04924d31a63f95a601f9385af6be4ed1b37f8"
         "7d040f7c6ed6f8d38a91",
         "22a5a36cedfcc085807a128d7bc6c2382167ad6c0dbc5fdff856740f3d84c099ad1ea87a8db096714d9788bd544047c9021e4229ce27"
         "e4c0a69250adfcffbb0b"},
    };
    Crypto& crypto = TestCrypto();
    const std::string password = "maplesyrup";
    const std::vector<uint8_t> engineId = FromHex("000000000000000000000002");
    for (const auto& c : kCases) {
        if (!crypto.Supports(c.algorithm)) continue;
        const size_t n = HashLength(c.algorithm);
        uint8_t ku[kMaxHashLength];
        uint8_t kul[kMaxHashLength];
        ASSERT_TRUE(PasswordToKey(crypto, c.algorithm, reinterpret_cast<const uint8_t*>(password.data()),
                                  password.size(), ku));
        EXPECT_EQ(ToHex(ku, n), c.ku);
        ASSERT_TRUE(LocalizeKey(crypto, c.algorithm, ku, engineId.data(), engineId.size(), kul));
        EXPECT_EQ(ToHex(kul, n), c.kul);
    }
    uint8_t ku[kMaxHashLength];
    EXPECT_FALSE(PasswordToKey(crypto, HashAlgorithm::Sha1, nullptr, 0, ku));
}

TEST(CryptoKnownAnswers, AesBlockAndCfb128) {
    Crypto& crypto = TestCrypto();
    // FIPS-197 Appendix C.1.
    const std::vector<uint8_t> fipsKey = FromHex("000102030405060708090a0b0c0d0e0f");
    const std::vector<uint8_t> fipsPlain = FromHex("00112233445566778899aabbccddeeff");
    auto aes = crypto.NewAes128Key(fipsKey.data());
    ASSERT_NE(aes, nullptr);
    uint8_t block[kAesBlockSize];
    ASSERT_TRUE(aes->EncryptBlock(fipsPlain.data(), block));
    EXPECT_EQ(ToHex(block, sizeof block), "69c4e0d86a7b0430d8cdb78070b4c55a");
    // The key is reused block after block, as CFB does.
    ASSERT_TRUE(aes->EncryptBlock(fipsPlain.data(), block));
    EXPECT_EQ(ToHex(block, sizeof block), "69c4e0d86a7b0430d8cdb78070b4c55a");

    // printf 'Two whole AES blocks and a tail of 4' | openssl enc -aes-128-cfb
    //   -K 2b7e151628aed2a6abf7158809cf4f3c -iv 000102030405060708090a0b0c0d0e0f -nopad
    const std::string text = "Two whole AES blocks and a tail of 4";
    const std::vector<uint8_t> plain(text.begin(), text.end());
    const std::vector<uint8_t> cipher =
        FromHex("048908ecee055ddabf2976acc88f8e0cbc7862096a0a429138ee4f81557464ae193a981a");
    const std::vector<uint8_t> key = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
    const std::vector<uint8_t> iv = FromHex("000102030405060708090a0b0c0d0e0f");
    auto cfbKey = crypto.NewAes128Key(key.data());
    ASSERT_NE(cfbKey, nullptr);
    std::vector<uint8_t> out(plain.size());
    ASSERT_TRUE(AesCfb128Encrypt(*cfbKey, iv.data(), plain.data(), plain.size(), out.data()));
    EXPECT_EQ(ToHex(out), ToHex(cipher));
    ASSERT_TRUE(AesCfb128Decrypt(*cfbKey, iv.data(), cipher.data(), cipher.size(), out.data()));
    EXPECT_EQ(ToHex(out), ToHex(plain));
    // In place, as the receiver decrypts into its own buffer.
    std::vector<uint8_t> inPlace = cipher;
    ASSERT_TRUE(AesCfb128Decrypt(*cfbKey, iv.data(), inPlace.data(), inPlace.size(), inPlace.data()));
    EXPECT_EQ(ToHex(inPlace), ToHex(plain));
    ASSERT_TRUE(AesCfb128Encrypt(*cfbKey, iv.data(), inPlace.data(), inPlace.size(), inPlace.data()));
    EXPECT_EQ(ToHex(inPlace), ToHex(cipher));
}

TEST(CryptoKnownAnswers, RandomOctetsDiffer) {
    Crypto& crypto = TestCrypto();
    uint8_t a[32] = {};
    uint8_t b[32] = {};
    ASSERT_TRUE(crypto.Random(a, sizeof a));
    ASSERT_TRUE(crypto.Random(b, sizeof b));
    EXPECT_NE(std::memcmp(a, b, sizeof a), 0);
}
