#pragma once
// One received datagram to a message number, by SNMP version: SNMPv1 traps
// as they always were, SNMPv2c notifications when they are accepted, and the
// reason for each datagram that is not announced.
#include <cstddef>
#include <cstdint>
#include <string>

#include "snmp/ber_items.h"
#include "snmp/notification_pdu.h"
#include "snmp/refusal_reason.h"
#include "snmp/trap_decoder.h"

enum class SnmpVersion : uint8_t { V1 = 0, V2c = 1, V3 = 3 };

struct DecodedDatagram {
    RefusalReason reason = RefusalReason::NotDecodable;  // None: announce it
    int32_t messageNumber = 0;                           // not 0 exactly when reason is None
    TrapFields fields;                                   // texts empty unless the datagram gave them
    SnmpVersion version = SnmpVersion::V1;               // the path that decoded it
    // A well-formed v2c InformRequest with the right community. It is answered
    // even when it is not announced (message number 0), so that its sender
    // stops resending it.
    bool answerInform = false;
    NotificationLayout pdu;  // v2c: where the PDU and its items lie
};

// Decodes with the configured community. Version 1 (v2c) takes the SNMPv2
// notification path when acceptV2c is set; version 3 is not decoded here;
// every other datagram, whatever its version field says, takes the SNMPv1
// path exactly as ParseTrap decodes it, which never examined the version.
DecodedDatagram DecodeDatagram(const uint8_t* data, size_t size, const std::string& community, bool acceptV2c);

// The notification PDU of an SNMPv3 message, which the user-based security
// model has authenticated and decrypted: the PDU alone, filling [pdu, pdu + size).
DecodedDatagram DecodeV3Pdu(const uint8_t* pdu, size_t size);

// The version field's value, read as leniently as the SNMPv1 decoder reads
// the header; -1 when there is none to read.
int64_t DatagramVersion(const uint8_t* data, size_t size);

// The header of a community-based message, read strictly: a SEQUENCE that
// lies within the datagram, the version INTEGER and the community OCTET
// STRING; the PDU begins at pduPos and must end at messageEnd.
struct CommunityMessage {
    TlvItem version;
    TlvItem community;
    size_t pduPos = 0;
    size_t messageEnd = 0;
};
bool ReadCommunityMessage(const uint8_t* data, size_t size, CommunityMessage& message);
