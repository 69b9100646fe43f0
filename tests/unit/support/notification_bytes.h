#pragma once
// Builds SNMPv2c notification datagrams octet by octet for the decoder tests.
#include <cstdint>
#include <string>

#include "support/trap_bytes.h"

namespace notification_bytes {

using namespace trap_bytes;

// Encoded identifiers (no tag, no length).
const Bytes kSnmpTrapOid0 = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x04, 0x01, 0x00};
const Bytes kSnmpTrapEnterprise0 = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x04, 0x03, 0x00};
const Bytes kSnmpTrapAddress0 = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x12, 0x01, 0x03, 0x00};
const Bytes kSnmpTrapCommunity0 = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x12, 0x01, 0x04, 0x00};
const Bytes kSnmpTraps = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x05};

// One sub-identifier in base 128, the high bit marking the octets that continue.
inline Bytes SubId(uint32_t v) {
    Bytes out = {static_cast<uint8_t>(v & 0x7F)};
    for (v >>= 7; v; v >>= 7) out.insert(out.begin(), static_cast<uint8_t>(0x80 | (v & 0x7F)));
    return out;
}

// snmpTraps.k: 1 coldStart .. 6 egpNeighborLoss.
inline Bytes StandardTrap(uint8_t k) { return Cat({kSnmpTraps, {k}}); }

// The two bindings every notification begins with.
inline Bytes Parameters(const Bytes& trapOid) {
    return Cat({Binding(kSysUpTime, Tlv(0x43, {0x04, 0xD2})), Binding(kSnmpTrapOid0, Oid(trapOid))});
}

inline Bytes TrapAddress(const Bytes& octets) { return Binding(kSnmpTrapAddress0, Tlv(0x40, octets)); }
inline Bytes TrapEnterprise(const Bytes& enterprise) { return Binding(kSnmpTrapEnterprise0, Oid(enterprise)); }
inline Bytes Counter64(const Bytes& name) { return Binding(name, Tlv(0x46, {0x01, 0x00, 0x00, 0x00, 0x00, 0x05})); }

struct NotificationSpec {
    std::string community = "vandor";
    uint8_t pduTag = 0xA7;  // SNMPv2-Trap; 0xA6 InformRequest
    Bytes requestId = {0x12, 0x34};
    Bytes errorStatus = {0};
    Bytes errorIndex = {0};
    Bytes bindings;  // the whole list's content, Parameters() first
};

inline Bytes Pdu(const NotificationSpec& n) {
    return Tlv(n.pduTag, Cat({Tlv(0x02, n.requestId), Tlv(0x02, n.errorStatus), Tlv(0x02, n.errorIndex),
                              Tlv(0x30, n.bindings)}));
}

// The whole v2c message (version 1, or another).
inline Bytes Notification(const NotificationSpec& n, uint8_t version = 1) {
    return Tlv(0x30, Cat({Int({version}), Str(n.community), Pdu(n)}));
}

// A notification whose bindings are the parameters for trapOid followed by more.
inline Bytes Notification(const Bytes& trapOid, const Bytes& more = {}, uint8_t pduTag = 0xA7) {
    NotificationSpec n;
    n.pduTag = pduTag;
    n.bindings = Cat({Parameters(trapOid), more});
    return Notification(n);
}

// snmpinform -v 2c -c vandor HOST 1 1.3.6.1.6.3.1.1.5.1 (coldStart)
const Bytes kColdStartInform = {
    0x30, 0x43, 0x02, 0x01, 0x01, 0x04, 0x06, 0x76, 0x61, 0x6e, 0x64, 0x6f, 0x72, 0xa6, 0x36, 0x02, 0x04,
    0x5c, 0x6f, 0xd0, 0x9c, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x28, 0x30, 0x0d, 0x06, 0x08, 0x2b,
    0x06, 0x01, 0x02, 0x01, 0x01, 0x03, 0x00, 0x43, 0x01, 0x01, 0x30, 0x17, 0x06, 0x0a, 0x2b, 0x06, 0x01,
    0x06, 0x03, 0x01, 0x01, 0x04, 0x01, 0x00, 0x06, 0x09, 0x2b, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x05, 0x01};
constexpr size_t kColdStartInformPdu = 13;  // offset of its PDU tag

}  // namespace notification_bytes
