#pragma once
// Builds SNMPv1 trap datagrams octet by octet for the decoder and intake tests.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace trap_bytes {

using Bytes = std::vector<uint8_t>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Definite length in the shortest form.
inline Bytes Length(size_t n) {
    if (n < 0x80) return {static_cast<uint8_t>(n)};
    if (n < 0x100) return {0x81, static_cast<uint8_t>(n)};
    return {0x82, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
}

inline Bytes Tlv(uint8_t tag, const Bytes& value) { return Cat({{tag}, Length(value.size()), value}); }

// Encoded identifiers (no tag, no length).
const Bytes kColdStartEnterprise = {0x2B, 0x06, 0x01, 0x04, 0x01, 0xCE, 0x0F};  // 1.3.6.1.4.1.9999
const Bytes kUpsTraps = {0x2B, 0x06, 0x01, 0x02, 0x01, 0x21, 0x02};             // 1.3.6.1.2.1.33.2
const Bytes kEnterpriseA = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x04, 0x05};
const Bytes kEnterpriseB = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x01, 0x01, 0x01};
// upsAlarmDescr.5 = 1.3.6.1.2.1.33.1.6.2.1.2.5
const Bytes kAlarmDescr5 = {0x2B, 0x06, 0x01, 0x02, 0x01, 0x21, 0x01, 0x06, 0x02, 0x01, 0x02, 0x05};
// 1.3.6.1.4.1.2134.4.2.4.2.1.1.1 and .6.1
const Bytes kOutletNumber1 = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x04, 0x02, 0x04, 0x02, 0x01, 0x01, 0x01};
const Bytes kOutletName1 = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x04, 0x02, 0x04, 0x02, 0x01, 0x06, 0x01};
const Bytes kSysUpTime = {0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x03, 0x00};  // 1.3.6.1.2.1.1.3.0

// Well-known alarm k as 1.3.6.1.2.1.33.1.6.3.k.0.
inline Bytes WellKnownAlarm(uint8_t k) { return {0x2B, 0x06, 0x01, 0x02, 0x01, 0x21, 0x01, 0x06, 0x03, k, 0x00}; }

inline Bytes Oid(const Bytes& encoded) { return Tlv(0x06, encoded); }
inline Bytes Int(std::initializer_list<uint8_t> octets) { return Tlv(0x02, Bytes(octets)); }
inline Bytes Str(const std::string& s) { return Tlv(0x04, Text(s)); }
inline Bytes Binding(const Bytes& nameOid, const Bytes& valueItem) { return Tlv(0x30, Cat({Oid(nameOid), valueItem})); }

struct TrapSpec {
    std::string community = "vandor";
    Bytes enterprise = kColdStartEnterprise;
    Bytes agent = {10, 0, 0, 5};
    Bytes generic = {6};
    Bytes specific = {1};
    Bytes bindings;  // concatenated Binding() items
};

// An SNMPv1 Trap-PDU message with pduTag A4 (or A7 to mimic SNMPv2c).
inline Bytes Trap(const TrapSpec& t, uint8_t pduTag = 0xA4) {
    const Bytes pdu = Cat({Oid(t.enterprise), Tlv(0x40, t.agent), Tlv(0x02, t.generic), Tlv(0x02, t.specific),
                           Tlv(0x43, {0x04, 0xD2}), Tlv(0x30, t.bindings)});
    return Tlv(0x30, Cat({Int({0}), Str(t.community), Tlv(pduTag, pdu)}));
}

}  // namespace trap_bytes
