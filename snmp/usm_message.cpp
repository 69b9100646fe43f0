#include "snmp/usm_message.h"

#include "snmp/ber_tags.h"
#include "snmp/trap_decoder.h"

namespace {

constexpr size_t kMaxMsgUserNameSize = 32;

// Items read in order inside one enclosing item, each checked to lie
// wholly inside it.
class ItemReader {
public:
    ItemReader(const uint8_t* data, size_t end, size_t pos) : data_(data), end_(end), pos_(pos) {}

    // The next item, of the tag given; moves past it.
    bool Next(uint8_t tag, TlvItem& item) {
        if (!ReadTlv(data_, end_, pos_, item) || item.tag != tag) return false;
        if (item.valuePos > end_ || item.length > end_ - item.valuePos) return false;
        pos_ = item.valuePos + item.length;
        return true;
    }

    // An INTEGER in 0..2147483647, in at most five octets.
    bool NextNonNegative(int32_t& value) {
        TlvItem item;
        if (!Next(kTagInteger, item) || item.length < 1 || item.length > 5) return false;
        const uint8_t* octets = data_ + item.valuePos;
        if (octets[0] & 0x80) return false;                          // negative
        if (item.length == 5 && octets[0] != 0) return false;        // above 2^32
        uint64_t accumulated = 0;
        for (uint32_t i = 0; i < item.length; ++i) accumulated = accumulated << 8 | octets[i];
        if (accumulated > 2147483647u) return false;
        value = static_cast<int32_t>(accumulated);
        return true;
    }

    bool NextOctets(ByteRange& range, size_t maxSize) {
        TlvItem item;
        if (!Next(kTagOctetString, item) || item.length > maxSize) return false;
        range = ByteRange{item.valuePos, item.length};
        return true;
    }

    size_t Pos() const { return pos_; }
    bool AtEnd() const { return pos_ == end_; }

private:
    const uint8_t* data_;
    size_t end_;
    size_t pos_;
};

constexpr size_t kAnySize = static_cast<size_t>(-1);

bool ReadSecurityParameters(const uint8_t* data, const ByteRange& octets, UsmMessage& message) {
    ItemReader outer(data, octets.pos + octets.size, octets.pos);
    TlvItem sequence;
    if (!outer.Next(kTagSequence, sequence) || !outer.AtEnd()) return false;
    ItemReader reader(data, sequence.valuePos + sequence.length, sequence.valuePos);
    int32_t boots = 0;
    int32_t time = 0;
    if (!reader.NextOctets(message.engineId, kMaxEngineIdSize) || !reader.NextNonNegative(boots) ||
        !reader.NextNonNegative(time) || !reader.NextOctets(message.userName, kMaxMsgUserNameSize) ||
        !reader.NextOctets(message.authParams, kAnySize) || !reader.NextOctets(message.privParams, kAnySize) ||
        !reader.AtEnd())
        return false;
    if (message.engineId.size != 0 && message.engineId.size < kMinEngineIdSize) return false;
    message.engineBoots = static_cast<uint32_t>(boots);
    message.engineTime = static_cast<uint32_t>(time);
    return true;
}

}  // namespace

RefusalReason ReadUsmMessage(const uint8_t* data, size_t size, UsmMessage& message) {
    message = UsmMessage{};
    if (!data) return RefusalReason::NotDecodable;
    ItemReader datagram(data, size, 0);
    TlvItem whole;
    if (!datagram.Next(kTagSequence, whole) || !datagram.AtEnd()) return RefusalReason::NotDecodable;
    message.wholeSize = size;

    ItemReader reader(data, size, whole.valuePos);
    int32_t version = 0;
    if (!reader.NextNonNegative(version) || version != 3) return RefusalReason::NotDecodable;

    TlvItem header;
    if (!reader.Next(kTagSequence, header)) return RefusalReason::NotDecodable;
    ItemReader global(data, header.valuePos + header.length, header.valuePos);
    ByteRange flags;
    int32_t model = 0;
    if (!global.NextNonNegative(message.msgId) || !global.NextNonNegative(message.msgMaxSize) ||
        !global.NextOctets(flags, 1) || flags.size != 1 || !global.NextNonNegative(model) || !global.AtEnd())
        return RefusalReason::NotDecodable;
    message.msgFlags = data[flags.pos];
    // Privacy without authentication is an invalid combination (RFC 3412 7.2 step 5).
    if ((message.msgFlags & (kMsgFlagAuth | kMsgFlagPriv)) == kMsgFlagPriv) return RefusalReason::NotDecodable;
    if (message.msgMaxSize < kMinMsgMaxSize) return RefusalReason::NotDecodable;

    ByteRange security;
    if (!reader.NextOctets(security, kAnySize)) return RefusalReason::NotDecodable;
    if (model != kUsmSecurityModel) return RefusalReason::UnsupportedSecurity;
    if (!ReadSecurityParameters(data, security, message)) return RefusalReason::NotDecodable;

    message.encrypted = (message.msgFlags & kMsgFlagPriv) != 0;
    const size_t dataPos = reader.Pos();
    TlvItem scoped;
    if (message.encrypted) {
        if (!reader.Next(kTagOctetString, scoped) || scoped.length == 0) return RefusalReason::NotDecodable;
        message.data = ByteRange{scoped.valuePos, scoped.length};
    } else {
        if (!reader.Next(kTagSequence, scoped)) return RefusalReason::NotDecodable;
        message.data = ByteRange{dataPos, reader.Pos() - dataPos};
    }
    return reader.AtEnd() ? RefusalReason::None : RefusalReason::NotDecodable;
}

bool ReadScopedPdu(const uint8_t* data, size_t size, ScopedPdu& scoped) {
    scoped = ScopedPdu{};
    if (!data) return false;
    ItemReader outer(data, size, 0);
    TlvItem sequence;
    if (!outer.Next(kTagSequence, sequence)) return false;
    scoped.size = outer.Pos();
    ItemReader reader(data, scoped.size, sequence.valuePos);
    if (!reader.NextOctets(scoped.contextEngineId, kMaxEngineIdSize) ||
        !reader.NextOctets(scoped.contextName, kAnySize))
        return false;
    scoped.pduPos = reader.Pos();
    TlvItem pdu;
    if (!ReadTlv(data, scoped.size, scoped.pduPos, pdu) || pdu.tag < kTagGetRequestPdu || pdu.tag > kTagReportPdu)
        return false;
    if (!reader.Next(pdu.tag, pdu) || !reader.AtEnd()) return false;
    scoped.pduTag = pdu.tag;
    ItemReader fields(data, pdu.valuePos + pdu.length, pdu.valuePos);
    TlvItem requestId;
    // request-id is any 32-bit INTEGER; it is only echoed in a Report.
    if (!fields.Next(kTagInteger, requestId) || requestId.length < 1 || requestId.length > 4) return false;
    uint32_t value = (data[requestId.valuePos] & 0x80) ? 0xFFFFFFFFu : 0;
    for (uint32_t i = 0; i < requestId.length; ++i) value = value << 8 | data[requestId.valuePos + i];
    scoped.requestId = static_cast<int32_t>(value);
    return true;
}
