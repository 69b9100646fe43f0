#pragma once
// Object identifiers the decoders look for, as their encoded octets (no tag,
// no length), and the one way they are compared.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace encoded_oids {

// Prefixes of the SNMPv1 classification: only their octets are compared, so
// an identifier that continues beyond them still matches.
constexpr uint8_t kMib2[] = {0x2B, 0x06, 0x01, 0x02, 0x01};                  // 1.3.6.1.2.1
constexpr uint8_t kUpsTraps[] = {0x2B, 0x06, 0x01, 0x02, 0x01, 0x21, 0x02};  // 1.3.6.1.2.1.33.2
constexpr uint8_t kEnterpriseA[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x04, 0x05};
constexpr uint8_t kEnterpriseB[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x01, 0x01, 0x01};
constexpr uint8_t kAlarmDescrTail[] = {0x21, 0x01, 0x06, 0x02, 0x01, 0x02};  // 33.1.6.2.1.2, after mib-2
constexpr uint8_t kOutletNumberVar[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56,
                                        0x04, 0x02, 0x04, 0x02, 0x01, 0x01};
constexpr uint8_t kOutletNameVar[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56,
                                      0x04, 0x02, 0x04, 0x02, 0x01, 0x06};

// SNMPv2 notification parameters (RFC 3418, RFC 3584); these are compared whole.
constexpr uint8_t kSysUpTime0[] = {0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x03, 0x00};  // 1.3.6.1.2.1.1.3.0
constexpr uint8_t kSnmpTrapOid0[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x04, 0x01, 0x00};
constexpr uint8_t kSnmpTrapEnterprise0[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x04, 0x03, 0x00};
constexpr uint8_t kSnmpTraps[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x05};  // 1.3.6.1.6.3.1.1.5
constexpr uint8_t kSnmpTrapAddress0[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x12, 0x01, 0x03, 0x00};
constexpr uint8_t kSnmpTrapCommunity0[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x12, 0x01, 0x04, 0x00};

// True when the count octets at pos exist and equal expected.
inline bool StartsWith(const uint8_t* data, size_t size, size_t pos, const uint8_t* expected, size_t count) {
    if (pos > size || count > size - pos) return false;
    return std::memcmp(data + pos, expected, count) == 0;
}
template <size_t N>
bool StartsWith(const uint8_t* data, size_t size, size_t pos, const uint8_t (&expected)[N]) {
    return StartsWith(data, size, pos, expected, N);
}

// The value octets [value, value + length) are exactly the identifier.
template <size_t N>
bool Equals(const uint8_t* value, size_t length, const uint8_t (&expected)[N]) {
    return length == N && std::memcmp(value, expected, N) == 0;
}

}  // namespace encoded_oids
