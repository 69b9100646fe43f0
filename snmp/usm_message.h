#pragma once
// SNMPv3 message reader (RFC 3412 6, RFC 3414 2.4): the header, the USM
// security parameters and where the scoped PDU lies. Pure and bounded like
// the v1 decoder: nothing is read outside [data, data + size), and every
// item must lie wholly inside the one that holds it.
#include <cstddef>
#include <cstdint>

#include "snmp/ber_tags.h"
#include "snmp/refusal_reason.h"
#include "snmp/usm_protocols.h"

// A run of octets, as an offset from the start of its buffer.
struct ByteRange {
    size_t pos = 0;
    size_t size = 0;
};

constexpr uint8_t kMsgFlagAuth = 0x01;
constexpr uint8_t kMsgFlagPriv = 0x02;
constexpr uint8_t kMsgFlagReportable = 0x04;
constexpr int32_t kUsmSecurityModel = 3;
constexpr int32_t kMinMsgMaxSize = 484;

struct UsmMessage {
    int32_t msgId = 0;
    int32_t msgMaxSize = 0;
    uint8_t msgFlags = 0;
    // UsmSecurityParameters
    ByteRange engineId;  // msgAuthoritativeEngineID: empty, or 5..32 octets
    uint32_t engineBoots = 0;
    uint32_t engineTime = 0;
    ByteRange userName;
    ByteRange authParams;
    ByteRange privParams;
    // msgData: the ScopedPDU item, tag and length included, when plaintext;
    // the octets of encryptedPDU otherwise.
    bool encrypted = false;
    ByteRange data;
    size_t wholeSize = 0;  // the message, which is the whole datagram

    SecurityLevel Level() const {
        if (!(msgFlags & kMsgFlagAuth)) return SecurityLevel::NoAuthNoPriv;
        return (msgFlags & kMsgFlagPriv) ? SecurityLevel::AuthPriv : SecurityLevel::AuthNoPriv;
    }
    bool Reportable() const { return (msgFlags & kMsgFlagReportable) != 0; }
};

// Reads a version-3 message that fills the datagram exactly. None when it
// is one; UnsupportedSecurity for a security model other than USM;
// NotDecodable for anything else.
RefusalReason ReadUsmMessage(const uint8_t* data, size_t size, UsmMessage& message);

struct ScopedPdu {
    size_t size = 0;  // the ScopedPDU item; decrypted data may run on past it
    ByteRange contextEngineId;
    ByteRange contextName;
    size_t pduPos = 0;  // the PDU item, its tag first
    uint8_t pduTag = 0;
    int32_t requestId = 0;
};

// Reads the ScopedPDU item at the start of [data, data + size) and the
// request-id of its PDU (one of the context-class tags 0xA0..0xA8).
bool ReadScopedPdu(const uint8_t* data, size_t size, ScopedPdu& scoped);
