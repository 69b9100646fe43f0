#include "snmp/inform_response.h"

#include <cstring>

#include "snmp/ber_items.h"
#include "snmp/ber_tags.h"
#include "snmp/datagram_decoder.h"

namespace {

constexpr uint8_t kZeroInteger[] = {kTagInteger, 0x01, 0x00};  // noError, and error-index 0

// The item at span, which must fill it exactly and carry tag.
bool ReadSpan(const uint8_t* data, size_t size, const ItemSpan& span, uint8_t tag, TlvItem& item) {
    if (span.pos > size || span.size > size - span.pos) return false;
    const size_t end = span.pos + span.size;
    return ReadDefiniteItem(data, end, span.pos, item) && item.tag == tag && ValueEnd(item) == end;
}

// An item re-written with its header in the shortest form.
size_t ItemSize(const TlvItem& item) { return ItemHeaderSize(item.length) + item.length; }

size_t CopyItem(const uint8_t* data, const TlvItem& item, uint8_t* out) {
    const size_t header = WriteItemHeader(item.tag, item.length, out);
    std::memcpy(out + header, data + item.valuePos, item.length);
    return header + item.length;
}

// The two copied items of a Response-PDU and its size.
struct ResponsePdu {
    TlvItem requestId;
    TlvItem bindings;
    size_t contentSize = 0;
    size_t size = 0;
};

bool PlanResponsePdu(const uint8_t* data, size_t size, const NotificationLayout& inform, ResponsePdu& plan) {
    if (!data || !inform.inform) return false;
    if (!ReadSpan(data, size, inform.requestId, kTagInteger, plan.requestId)) return false;
    if (!ReadSpan(data, size, inform.bindings, kTagSequence, plan.bindings)) return false;
    plan.contentSize = ItemSize(plan.requestId) + 2 * sizeof kZeroInteger + ItemSize(plan.bindings);
    plan.size = ItemHeaderSize(plan.contentSize) + plan.contentSize;
    return true;
}

size_t WriteResponsePdu(const uint8_t* data, const ResponsePdu& plan, uint8_t* out) {
    size_t n = WriteItemHeader(kTagResponsePdu, plan.contentSize, out);
    n += CopyItem(data, plan.requestId, out + n);
    std::memcpy(out + n, kZeroInteger, sizeof kZeroInteger);
    n += sizeof kZeroInteger;
    std::memcpy(out + n, kZeroInteger, sizeof kZeroInteger);
    n += sizeof kZeroInteger;
    n += CopyItem(data, plan.bindings, out + n);
    return n;
}

}  // namespace

size_t BuildInformResponsePdu(const uint8_t* data, size_t size, const NotificationLayout& inform, uint8_t* out,
                              size_t capacity) {
    ResponsePdu plan;
    if (!out || !PlanResponsePdu(data, size, inform, plan) || plan.size > capacity) return 0;
    return WriteResponsePdu(data, plan, out);
}

size_t BuildV2cInformResponse(const uint8_t* datagram, size_t size, const NotificationLayout& inform, uint8_t* out,
                              size_t capacity) {
    CommunityMessage message;
    ResponsePdu plan;
    if (!out || !ReadCommunityMessage(datagram, size, message) || message.pduPos != inform.pdu.pos) return 0;
    if (!PlanResponsePdu(datagram, message.messageEnd, inform, plan)) return 0;
    const size_t contentSize = ItemSize(message.version) + ItemSize(message.community) + plan.size;
    const size_t total = ItemHeaderSize(contentSize) + contentSize;
    if (total > capacity) return 0;
    size_t n = WriteItemHeader(kTagSequence, contentSize, out);
    n += CopyItem(datagram, message.version, out + n);
    n += CopyItem(datagram, message.community, out + n);
    n += WriteResponsePdu(datagram, plan, out + n);
    return n;
}
