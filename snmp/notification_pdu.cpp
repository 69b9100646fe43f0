#include "snmp/notification_pdu.h"

#include "snmp/ber_tags.h"
#include "snmp/encoded_oids.h"
#include "snmp/trap_classifier.h"

using namespace encoded_oids;

namespace {

constexpr size_t kHandedOnLimit = 3;  // the classification looks at three bindings at most
constexpr size_t kMaxRequestIdOctets = 4;
constexpr uint8_t kSubIdContinues = 0x80;
constexpr uint8_t kAddressOctets = 4;
constexpr int32_t kEnterpriseSpecific = 6;

// The last encoded sub-identifiers of an OBJECT IDENTIFIER value.
struct OidTail {
    size_t groups = 0;       // encoded sub-identifiers; the first holds two arcs
    size_t lastPos = 0;      // offset of the last one in the value
    size_t previousPos = 0;  // offset of the one before it
    uint32_t last = 0;
    uint32_t previous = 0;
};

// Splits the value into sub-identifiers. False when one is malformed: a
// leading 0x80 octet, more than 32 bits, or a last octet that continues.
bool ReadOidTail(const uint8_t* value, size_t length, OidTail& tail) {
    size_t start = 0;
    uint32_t sub = 0;
    for (size_t i = 0; i < length; ++i) {
        if (i == start && value[i] == kSubIdContinues) return false;
        if (sub > (UINT32_MAX >> 7)) return false;
        sub = (sub << 7) | (value[i] & 0x7F);
        if (value[i] & kSubIdContinues) continue;
        tail.previousPos = tail.lastPos;
        tail.previous = tail.last;
        tail.lastPos = start;
        tail.last = sub;
        ++tail.groups;
        start = i + 1;
        sub = 0;
    }
    return tail.groups > 0 && start == length;
}

// RFC 3584 3.2 (1), (3), (4) from snmpTrapOID.0: generic and specific, and the
// enterprise as the leading octets of the identifier (or of the one given).
struct TrapIdentity {
    int32_t generic = kEnterpriseSpecific;
    uint32_t specific = 0;
    const uint8_t* enterprise = nullptr;
    size_t enterpriseSize = 0;
};

// given: the value of snmpTrapEnterprise.0, or null when there is none.
bool IdentifyTrap(const uint8_t* trapOid, size_t length, const uint8_t* given, size_t givenSize,
                  TrapIdentity& identity) {
    OidTail tail;
    if (!ReadOidTail(trapOid, length, tail)) return false;
    // One of the six standard traps, snmpTraps.1 to .6.
    if (tail.lastPos == sizeof kSnmpTraps && StartsWith(trapOid, length, 0, kSnmpTraps) && tail.last >= 1 &&
        tail.last <= 6) {
        identity.generic = static_cast<int32_t>(tail.last) - 1;
        identity.specific = 0;
        if (given) {
            identity.enterprise = given;
            identity.enterpriseSize = givenSize;
        } else {
            identity.enterprise = kSnmpTraps;
            identity.enterpriseSize = sizeof kSnmpTraps;
        }
        return true;
    }
    // An enterprise needs a sub-identifier of its own: the first encoded one
    // holds two arcs and is never trimmed, so a next-to-last of 0 is only
    // removed when another sub-identifier stays before it.
    if (tail.groups < 2) return false;
    identity.generic = kEnterpriseSpecific;
    identity.specific = tail.last;
    identity.enterprise = trapOid;
    identity.enterpriseSize = tail.groups >= 3 && tail.previous == 0 ? tail.previousPos : tail.lastPos;
    return true;
}

// What becomes of a binding after the first two: handed on as an SNMPv1
// binding, or left out. Left out are Counter64 values, which SNMPv1 cannot
// carry, and the three bindings RFC 3584 3.1 (4) appends when a proxy
// forwards an SNMPv1 trap, whose content is a trap parameter, not a binding
// of the trap.
enum class BindingRole { HandedOn, Counter64, TrapAddress, TrapCommunity, TrapEnterprise };

BindingRole RoleOf(const uint8_t* data, const TlvItem& name, const TlvItem& value) {
    const uint8_t* oid = data + name.valuePos;
    if (Equals(oid, name.length, kSnmpTrapAddress0)) return BindingRole::TrapAddress;
    if (Equals(oid, name.length, kSnmpTrapCommunity0)) return BindingRole::TrapCommunity;
    if (Equals(oid, name.length, kSnmpTrapEnterprise0)) return BindingRole::TrapEnterprise;
    // RFC 3584 3.2 (6) drops these; the notification itself stays.
    if (value.tag == kTagCounter64) return BindingRole::Counter64;
    return BindingRole::HandedOn;
}

// One binding, SEQUENCE { name OBJECT IDENTIFIER, value }, exactly filled.
bool ReadBinding(const uint8_t* data, size_t listEnd, size_t pos, TlvItem& binding, TlvItem& name, TlvItem& value) {
    if (!ReadDefiniteItem(data, listEnd, pos, binding) || binding.tag != kTagSequence) return false;
    const size_t end = ValueEnd(binding);
    if (!ReadDefiniteItem(data, end, binding.valuePos, name) || name.tag != kTagObjectId || name.length == 0)
        return false;
    return ReadDefiniteItem(data, end, ValueEnd(name), value) && ValueEnd(value) == end;
}

// An INTEGER item of 1..maxOctets octets.
bool ReadInteger(const uint8_t* data, size_t end, size_t pos, size_t maxOctets, TlvItem& item) {
    return ReadDefiniteItem(data, end, pos, item) && item.tag == kTagInteger && item.length >= 1 &&
           item.length <= maxOctets;
}

int32_t SignedValue(const uint8_t* value, size_t length) {
    uint32_t result = (value[0] & 0x80) ? UINT32_MAX : 0;
    for (size_t i = 0; i < length; ++i) result = (result << 8) | value[i];
    return static_cast<int32_t>(result);
}

ItemSpan SpanOf(size_t headerPos, const TlvItem& item) { return ItemSpan{headerPos, ValueEnd(item) - headerPos}; }

}  // namespace

uint8_t SpecificTrapFirstOctet(uint32_t subIdentifier) {
    // Leading octets that only repeat the sign of the next one are not encoded.
    int shift = 24;
    while (shift > 0) {
        const uint8_t top = static_cast<uint8_t>(subIdentifier >> shift);
        const bool nextNegative = ((subIdentifier >> (shift - 1)) & 1) != 0;
        if (!((top == 0x00 && !nextNegative) || (top == 0xFF && nextNegative))) break;
        shift -= 8;
    }
    return static_cast<uint8_t>(subIdentifier >> shift);
}

bool DecodeNotificationPdu(const uint8_t* data, size_t size, size_t pduPos, NotificationLayout& layout,
                           TrapFields& fields, int32_t& messageNumber) {
    fields.specificCode = 0;
    fields.outletNumber = 0;
    messageNumber = 0;
    if (!data) return false;

    TlvItem pdu;
    if (!ReadDefiniteItem(data, size, pduPos, pdu)) return false;
    if (pdu.tag != kTagInformRequestPdu && pdu.tag != kTagSnmpV2TrapPdu) return false;
    const size_t pduEnd = ValueEnd(pdu);

    TlvItem requestId, errorStatus, errorIndex, list;
    if (!ReadInteger(data, pduEnd, pdu.valuePos, kMaxRequestIdOctets, requestId)) return false;
    // error-status and error-index are not examined in a notification.
    if (!ReadInteger(data, pduEnd, ValueEnd(requestId), pduEnd, errorStatus)) return false;
    if (!ReadInteger(data, pduEnd, ValueEnd(errorStatus), pduEnd, errorIndex)) return false;
    const size_t listPos = ValueEnd(errorIndex);
    if (!ReadDefiniteItem(data, pduEnd, listPos, list) || list.tag != kTagSequence || ValueEnd(list) != pduEnd)
        return false;
    const size_t listEnd = ValueEnd(list);

    TlvItem trapOid, trapEnterprise, trapAddress;
    bool hasEnterprise = false, hasAddress = false;
    size_t handedOn[kHandedOnLimit];
    size_t handedOnCount = 0;  // all of them, though only the first three are kept
    size_t index = 0;
    for (size_t pos = list.valuePos; pos < listEnd; ++index) {
        TlvItem binding, name, value;
        if (!ReadBinding(data, listEnd, pos, binding, name, value)) return false;
        const uint8_t* oid = data + name.valuePos;
        if (index == 0) {
            if (!Equals(oid, name.length, kSysUpTime0) || value.tag != kTagTimeTicks) return false;
        } else if (index == 1) {
            if (!Equals(oid, name.length, kSnmpTrapOid0) || value.tag != kTagObjectId) return false;
            trapOid = value;
        } else {
            switch (RoleOf(data, name, value)) {
            case BindingRole::HandedOn:
                if (handedOnCount < kHandedOnLimit) handedOn[handedOnCount] = pos;
                ++handedOnCount;
                break;
            case BindingRole::TrapAddress:
                if (!hasAddress && value.tag == kTagIpAddress && value.length == kAddressOctets) {
                    trapAddress = value;
                    hasAddress = true;
                }
                break;
            case BindingRole::TrapEnterprise:
                if (!hasEnterprise && value.tag == kTagObjectId) {
                    trapEnterprise = value;
                    hasEnterprise = true;
                }
                break;
            case BindingRole::TrapCommunity:  // the SNMPv1 community, already checked by the proxy
            case BindingRole::Counter64:
                break;
            }
        }
        pos = ValueEnd(binding);
    }
    if (index < 2) return false;

    TrapIdentity identity;
    const uint8_t* given = hasEnterprise ? data + trapEnterprise.valuePos : nullptr;
    if (!IdentifyTrap(data + trapOid.valuePos, trapOid.length, given, trapEnterprise.length, identity)) return false;

    layout.inform = pdu.tag == kTagInformRequestPdu;
    layout.pdu = SpanOf(pduPos, pdu);
    layout.requestId = SpanOf(pdu.valuePos, requestId);
    layout.requestIdValue = SignedValue(data + requestId.valuePos, requestId.length);
    layout.bindings = SpanOf(listPos, list);

    // RFC 3584 3.2 (2): the agent address from snmpTrapAddress.0; without it
    // the caller takes the datagram's source, as for an SNMPv1 trap without one.
    if (hasAddress) fields.agentAddress = AgentAddressText(data + trapAddress.valuePos, trapAddress.length);

    TrapHeader header;
    header.enterprise = FlagsOfEnterprise(identity.enterprise, identity.enterpriseSize);
    header.generic = identity.generic;
    // What an SNMPv1 receiver of the same trap reads: the first octet of the
    // specific-trap INTEGER.
    header.specific = SpecificTrapFirstOctet(identity.specific);
    header.reach = HeaderReach::Bindings;
    header.emptyList = handedOnCount == 0;
    BindingSource bindings;
    bindings.listed = handedOn;
    bindings.listedCount = handedOnCount < kHandedOnLimit ? handedOnCount : kHandedOnLimit;
    messageNumber = ClassifyTrap(data, listEnd, header, bindings, fields);
    return true;
}
