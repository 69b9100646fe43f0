#include "snmp/usm_local_engine.h"

#include <cstring>

bool IsValidEngineId(const uint8_t* id, size_t size) {
    if (!id || size < kMinEngineIdSize || size > kMaxEngineIdSize) return false;
    bool allZero = true;
    bool allOnes = true;
    for (size_t i = 0; i < size; ++i) {
        allZero = allZero && id[i] == 0x00;
        allOnes = allOnes && id[i] == 0xFF;
    }
    return !allZero && !allOnes;
}

bool MakeEngineId(Crypto& crypto, uint8_t id[kGeneratedEngineIdSize]) {
    static const uint8_t kPrefix[] = {0x80, 0x00, 0x00, 0x00, 0x05};
    std::memcpy(id, kPrefix, sizeof kPrefix);
    return crypto.Random(id + sizeof kPrefix, kGeneratedEngineIdSize - sizeof kPrefix);
}

uint32_t NextEngineBoots(uint32_t kept) { return kept >= kMaxEngineBoots ? kMaxEngineBoots : kept + 1; }

uint32_t LocalEngine::Time(int64_t nowSeconds) const {
    if (nowSeconds <= startSeconds) return 0;
    const int64_t elapsed = nowSeconds - startSeconds;
    return elapsed >= kMaxEngineTime ? kMaxEngineTime : static_cast<uint32_t>(elapsed);
}

bool LocalEngine::Is(const uint8_t* otherId, size_t otherSize) const {
    return otherSize == idSize && idSize != 0 && std::memcmp(otherId, id, idSize) == 0;
}
