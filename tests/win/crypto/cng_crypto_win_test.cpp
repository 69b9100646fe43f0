// What only the CNG implementation has to get right: the algorithms CNG
// lacks are reported so, and the providers opened once are shared safely
// by hashes and keys on several threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "win/cng_crypto.h"

namespace {

std::vector<uint8_t> Hmac(Crypto& crypto, HashAlgorithm algorithm, const std::vector<uint8_t>& key,
                          const std::vector<uint8_t>& data) {
    std::vector<uint8_t> digest(HashLength(algorithm));
    auto run = crypto.StartHmac(algorithm, key.data(), key.size());
    if (!run || !run->Update(data.data(), data.size()) || !run->Finish(digest.data())) digest.clear();
    return digest;
}

}  // namespace

TEST(CngCrypto, ReportsWhatItHas) {
    CngCrypto crypto;
    for (HashAlgorithm a : {HashAlgorithm::Md5, HashAlgorithm::Sha1, HashAlgorithm::Sha256, HashAlgorithm::Sha384,
                            HashAlgorithm::Sha512}) {
        EXPECT_TRUE(crypto.Supports(a)) << static_cast<int>(a);
        EXPECT_NE(crypto.StartHash(a), nullptr);
    }
    // CNG has no SHA-224, on Windows as under Wine.
    EXPECT_FALSE(crypto.Supports(HashAlgorithm::Sha224));
    EXPECT_EQ(crypto.StartHash(HashAlgorithm::Sha224), nullptr);
    const uint8_t key[4] = {1, 2, 3, 4};
    EXPECT_EQ(crypto.StartHmac(HashAlgorithm::Sha224, key, sizeof key), nullptr);
    uint8_t aesKey[kAes128KeySize] = {};
    EXPECT_NE(crypto.NewAes128Key(aesKey), nullptr);
    // An empty update is no error (CNG is not asked to hash nothing).
    auto run = crypto.StartHash(HashAlgorithm::Sha256);
    ASSERT_NE(run, nullptr);
    EXPECT_TRUE(run->Update(nullptr, 0));
}

TEST(CngCrypto, SharedProvidersOnFourThreads) {
    CngCrypto crypto;
    const std::vector<uint8_t> key(64, 0x5A);
    const std::vector<uint8_t> data(300, 0xC3);
    const HashAlgorithm algorithms[] = {HashAlgorithm::Md5, HashAlgorithm::Sha1, HashAlgorithm::Sha256,
                                        HashAlgorithm::Sha512};
    std::vector<std::vector<uint8_t>> expected;
    for (HashAlgorithm a : algorithms) expected.push_back(Hmac(crypto, a, key, data));
    uint8_t block[kAesBlockSize] = {};
    uint8_t expectedBlock[kAesBlockSize];
    ASSERT_TRUE(crypto.NewAes128Key(key.data())->EncryptBlock(block, expectedBlock));

    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            auto aes = crypto.NewAes128Key(key.data());  // one key per thread, alive throughout
            for (int i = 0; i < 300; ++i) {
                const size_t k = static_cast<size_t>(t + i) % 4;
                if (Hmac(crypto, algorithms[k], key, data) != expected[k]) ++wrong;
                uint8_t out[kAesBlockSize];
                if (!aes || !aes->EncryptBlock(block, out) || std::memcmp(out, expectedBlock, sizeof out) != 0) ++wrong;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(CngCrypto, RandomFillsLargeBuffers) {
    CngCrypto crypto;
    std::vector<uint8_t> a(4096, 0), b(4096, 0);
    ASSERT_TRUE(crypto.Random(a.data(), a.size()));
    ASSERT_TRUE(crypto.Random(b.data(), b.size()));
    EXPECT_NE(a, b);
    size_t zeros = 0;
    for (uint8_t octet : a) zeros += octet == 0;
    EXPECT_LT(zeros, 64u);  // about 16 expected
}
