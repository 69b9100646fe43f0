#pragma once
// SNMPv2-Trap and InformRequest PDUs (RFC 3416) mapped onto the SNMPv1 trap
// parameters by RFC 3584 section 3.2, then classified as an SNMPv1 trap is,
// so that a device gives the same alert whichever version it sends. Pure
// logic over a byte buffer; usable for a v2c message and for the scoped PDU
// of an SNMPv3 one.
#include <cstddef>
#include <cstdint>

#include "snmp/trap_decoder.h"

// Where one item lies in the buffer, its header included.
struct ItemSpan {
    size_t pos = 0;
    size_t size = 0;
};

// The layout of a decoded notification PDU, for answering an INFORM.
struct NotificationLayout {
    bool inform = false;       // an InformRequest-PDU, else an SNMPv2-Trap-PDU
    ItemSpan pdu;              // the whole PDU
    ItemSpan requestId;        // the request-id INTEGER
    int32_t requestIdValue = 0;
    ItemSpan bindings;         // the variable-binding list
};

// Decodes the SNMPv2-Trap-PDU (A7) or InformRequest-PDU (A6) whose tag is at
// pduPos and which must lie wholly within [pduPos, size). Returns false when
// it is not a well-formed notification: a malformed or indefinite-length item,
// an item that does not fill its SEQUENCE exactly, a request-id of more than
// four octets, or first bindings other than sysUpTime.0 (TimeTicks) and
// snmpTrapOID.0 (OBJECT IDENTIFIER). Otherwise true, with the layout, the
// message number (0 = not to be announced) and the fields: the specific-trap
// code as an SNMPv1 receiver of the same trap sees it, the outlet fields, and
// the agent address from snmpTrapAddress.0 (left as passed when absent).
bool DecodeNotificationPdu(const uint8_t* data, size_t size, size_t pduPos, NotificationLayout& layout,
                           TrapFields& fields, int32_t& messageNumber);

// The first octet of the shortest two's-complement INTEGER for the value
// net-snmp puts in an SNMPv1 specific-trap: the sub-identifier taken as a
// signed 32-bit number (1000 is 03 E8: 3; 200 is 00 C8: 0).
uint8_t SpecificTrapFirstOctet(uint32_t subIdentifier);
