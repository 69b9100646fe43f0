#include "snmp/datagram_decoder.h"

#include "snmp/ber_tags.h"

int64_t DatagramVersion(const uint8_t* data, size_t size) {
    constexpr size_t kMaxVersionOctets = 4;
    if (!data) return -1;
    TlvItem message, version;
    if (!ReadTlv(data, size, 0, message) || message.tag != kTagSequence) return -1;
    if (!ReadTlv(data, size, message.valuePos, version) || version.tag != kTagInteger) return -1;
    if (version.length < 1 || version.length > kMaxVersionOctets || !ValueInside(size, version)) return -1;
    return static_cast<uint32_t>(DecodeInteger(data + version.valuePos, static_cast<int32_t>(version.length)));
}

namespace {

void DecodeV2c(const uint8_t* data, size_t size, const std::string& community, DecodedDatagram& out) {
    out.version = SnmpVersion::V2c;
    CommunityMessage message;
    if (!ReadCommunityMessage(data, size, message)) return;
    // The same comparison as for SNMPv1: the same bytes, no more, no fewer.
    if (!CommunityMatches(data, message.messageEnd, message.community, community)) {
        out.reason = RefusalReason::WrongCommunity;
        return;
    }
    int32_t number = 0;
    if (!DecodeNotificationPdu(data, message.messageEnd, message.pduPos, out.pdu, out.fields, number)) return;
    if (out.pdu.pdu.pos + out.pdu.pdu.size != message.messageEnd) return;
    out.answerInform = out.pdu.inform;
    out.messageNumber = number;
    out.reason = number != 0 ? RefusalReason::None : RefusalReason::NotDecodable;
}

}  // namespace

bool ReadCommunityMessage(const uint8_t* data, size_t size, CommunityMessage& message) {
    if (!data) return false;
    TlvItem sequence;
    if (!ReadDefiniteItem(data, size, 0, sequence) || sequence.tag != kTagSequence) return false;
    const size_t end = ValueEnd(sequence);
    if (!ReadDefiniteItem(data, end, sequence.valuePos, message.version) || message.version.tag != kTagInteger)
        return false;
    if (!ReadDefiniteItem(data, end, ValueEnd(message.version), message.community) ||
        message.community.tag != kTagOctetString)
        return false;
    message.pduPos = ValueEnd(message.community);
    message.messageEnd = end;
    return true;
}

DecodedDatagram DecodeDatagram(const uint8_t* data, size_t size, const std::string& community, bool acceptV2c) {
    DecodedDatagram out;
    const int64_t version = DatagramVersion(data, size);
    if (version == static_cast<int64_t>(SnmpVersion::V3)) {
        out.version = SnmpVersion::V3;  // the user-based security model decodes these
        return out;
    }
    if (version == static_cast<int64_t>(SnmpVersion::V2c) && acceptV2c) {
        DecodeV2c(data, size, community, out);
        return out;
    }
    out.messageNumber = ParseTrap(data, size, community, out.fields, out.reason);
    return out;
}

DecodedDatagram DecodeV3Pdu(const uint8_t* pdu, size_t size) {
    DecodedDatagram out;
    out.version = SnmpVersion::V3;
    int32_t number = 0;
    if (!pdu || !DecodeNotificationPdu(pdu, size, 0, out.pdu, out.fields, number)) return out;
    if (out.pdu.pdu.size != size) return out;
    out.messageNumber = number;
    out.reason = number != 0 ? RefusalReason::None : RefusalReason::NotDecodable;
    return out;
}
