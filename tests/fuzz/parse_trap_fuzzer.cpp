// libFuzzer target: the trap decoders over arbitrary datagrams, the INFORM
// answer and the resend filter. Besides memory errors (address and
// undefined-behaviour sanitizers), it traps on any result they must never
// produce.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "snmp/ber_items.h"
#include "snmp/ber_tags.h"
#include "snmp/datagram_decoder.h"
#include "snmp/inform_resend_filter.h"
#include "snmp/inform_response.h"
#include "snmp/notification_pdu.h"
#include "snmp/trap_decoder.h"

namespace {

bool IsMessageNumber(int32_t n) {
    if (n == 0 || n == 1 || n == 2 || n == 3 || n == 5 || n == 6 || n == 110 || n == 120 || n == 130) return true;
    if (n >= 12 && n <= 58) return n % 2 == 0;
    return (n >= 113 && n <= 117) || (n >= 123 && n <= 127);
}

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckFields(const TrapFields& fields) {
    Check(fields.specificCode >= 0 && fields.specificCode <= 255);
    Check(fields.outletName.size() <= 512);
    Check(fields.agentAddress.size() <= 15);
}

bool SameFields(const TrapFields& a, const TrapFields& b) {
    return a.specificCode == b.specificCode && a.outletNumber == b.outletNumber && a.outletName == b.outletName &&
           a.agentAddress == b.agentAddress;
}

bool Inside(const ItemSpan& span, size_t begin, size_t end) {
    return span.pos >= begin && span.pos <= end && span.size <= end - span.pos && span.size >= 2;
}

void CheckSnmpV1(const uint8_t* data, size_t size) {
    TrapFields fields;
    const int32_t n = ParseTrap(data, size, "vandor", fields);
    Check(IsMessageNumber(n));
    CheckFields(fields);

    // The same datagram with an empty community exercises the zero-length compare.
    TrapFields other;
    Check(IsMessageNumber(ParseTrap(data, size, std::string(), other)));

    // Item headers at every position stay inside the buffer.
    for (size_t pos = 0; pos <= size && pos < 64; ++pos) {
        TlvItem item;
        if (ReadTlv(data, size, pos, item)) Check(item.valuePos <= size);
        if (ReadDefiniteItem(data, size, pos, item)) Check(ValueInside(size, item));
    }
    const int32_t alarm = ClassifyAlarm(data, size);
    Check(alarm == 0 || (alarm >= 12 && alarm <= 58 && alarm % 2 == 0));

    // Without v2c the datagram decoder is ParseTrap with a reason, except for
    // SNMPv3, which it leaves to the user-based security model.
    RefusalReason reason;
    TrapFields same;
    const int32_t number = ParseTrap(data, size, "vandor", same, reason);
    const DecodedDatagram d = DecodeDatagram(data, size, "vandor", false);
    if (d.version == SnmpVersion::V3) {
        Check(d.messageNumber == 0 && d.reason == RefusalReason::NotDecodable);
    } else {
        Check(d.version == SnmpVersion::V1 && !d.answerInform);
        Check(d.messageNumber == number && d.reason == reason && SameFields(d.fields, same));
        Check((number != 0) == (reason == RefusalReason::None));
    }
}

// The value octets of the item a span holds.
bool SameValue(const uint8_t* a, const ItemSpan& spanA, const uint8_t* b, const ItemSpan& spanB) {
    TlvItem x, y;
    if (!ReadDefiniteItem(a, spanA.pos + spanA.size, spanA.pos, x)) return false;
    if (!ReadDefiniteItem(b, spanB.pos + spanB.size, spanB.pos, y)) return false;
    return x.length == y.length && std::memcmp(a + x.valuePos, b + y.valuePos, x.length) == 0;
}

// An answer must be the inform's own request-id and bindings under the
// Response-PDU tag: with the tag set back it decodes to the same notification.
void CheckAnswer(const uint8_t* data, size_t size, const DecodedDatagram& inform) {
    uint8_t out[kMaxInformResponse + 64];
    const size_t n = BuildV2cInformResponse(data, size, inform.pdu, out, sizeof out);
    Check(n > 0 && n <= size);
    Check(BuildV2cInformResponse(data, size, inform.pdu, out, n - 1) == 0);

    uint8_t pdu[kMaxInformResponse + 64];
    const size_t p = BuildInformResponsePdu(data, size, inform.pdu, pdu, sizeof pdu);
    Check(p > 0 && p <= inform.pdu.pdu.size && std::memcmp(out + n - p, pdu, p) == 0);

    Check(out[n - p] == kTagResponsePdu);
    out[n - p] = kTagInformRequestPdu;
    const DecodedDatagram again = DecodeDatagram(out, n, "vandor", true);
    Check(again.answerInform && again.messageNumber == inform.messageNumber && SameFields(again.fields, inform.fields));
    Check(again.pdu.requestIdValue == inform.pdu.requestIdValue);
    Check(SameValue(out, again.pdu.requestId, data, inform.pdu.requestId));
    Check(SameValue(out, again.pdu.bindings, data, inform.pdu.bindings));
}

void CheckSnmpV2c(const uint8_t* data, size_t size) {
    const DecodedDatagram d = DecodeDatagram(data, size, "vandor", true);
    Check(IsMessageNumber(d.messageNumber));
    CheckFields(d.fields);
    Check((d.messageNumber != 0) == (d.reason == RefusalReason::None));
    Check(d.reason == RefusalReason::None || d.reason == RefusalReason::WrongCommunity ||
          d.reason == RefusalReason::NotDecodable);
    if (d.version != SnmpVersion::V2c) {
        const DecodedDatagram v1 = DecodeDatagram(data, size, "vandor", false);
        Check(v1.messageNumber == d.messageNumber && v1.reason == d.reason && SameFields(v1.fields, d.fields));
        return;
    }
    if (d.answerInform || d.reason == RefusalReason::None) {
        const size_t pduEnd = d.pdu.pdu.pos + d.pdu.pdu.size;
        Check(Inside(d.pdu.pdu, 0, size) && Inside(d.pdu.requestId, d.pdu.pdu.pos, pduEnd));
        Check(Inside(d.pdu.bindings, d.pdu.pdu.pos, pduEnd) && d.pdu.bindings.pos + d.pdu.bindings.size == pduEnd);
        Check(d.answerInform == d.pdu.inform);
    }
    if (d.answerInform) CheckAnswer(data, size, d);

    // The PDU decoder alone, at the first positions of the buffer, as the
    // SNMPv3 layer calls it on a decrypted scoped PDU.
    for (size_t pos = 0; pos < size && pos < 16; ++pos) {
        NotificationLayout layout;
        TrapFields fields;
        int32_t number = -1;
        if (!DecodeNotificationPdu(data, size, pos, layout, fields, number)) continue;
        Check(IsMessageNumber(number));
        CheckFields(fields);
        Check(layout.pdu.pos == pos && Inside(layout.pdu, pos, size));
        Check(Inside(layout.bindings, pos, pos + layout.pdu.size));
        uint8_t out[kMaxInformResponse + 64];
        const size_t n = BuildInformResponsePdu(data, size, layout, out, sizeof out);
        Check(layout.inform ? (n > 0 && n <= layout.pdu.size) : n == 0);
    }
}

// The resend filter against a plain model: with fewer keys than places it
// forgets nothing, so an INFORM is announced exactly when no copy was
// announced in the 60 s before; with more, a copy it withholds was always
// announced within 60 s.
void CheckResendFilter(const uint8_t* data, size_t size) {
    InformResendFilter few, many;
    std::map<std::tuple<uint32_t, uint16_t, int32_t>, uint64_t> announcedFew, announcedMany;
    uint64_t now = 1000000;
    const auto withinWindow = [&](const auto& announced, const auto& key) {
        const auto it = announced.find(key);
        if (it == announced.end()) return false;
        const uint64_t age = now > it->second ? now - it->second : 0;
        return age < InformResendFilter::kResendWindowMs;
    };
    for (size_t i = 0; i + 4 <= size; i += 4) {
        // A step of time, back now and then, and a key from the next octets.
        const uint8_t step = data[i];
        now = (step & 0x80) ? now - (step & 0x7F) * 10 : now + static_cast<uint64_t>(step) * 500;
        const auto small = std::make_tuple(uint32_t{data[i + 1] & 3u}, uint16_t(data[i + 2] & 3u),
                                           int32_t(data[i + 3] & 7));
        const bool expected = !withinWindow(announcedFew, small);
        Check(few.Announce(std::get<0>(small), std::get<1>(small), std::get<2>(small), now) == expected);
        if (expected) announcedFew[small] = now;

        const auto large = std::make_tuple(uint32_t{data[i + 1]}, uint16_t(data[i + 2]), int32_t(data[i + 3]));
        const bool announced = many.Announce(std::get<0>(large), std::get<1>(large), std::get<2>(large), now);
        if (!announced) Check(withinWindow(announcedMany, large));
        if (announced) announcedMany[large] = now;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckSnmpV1(data, size);
    CheckSnmpV2c(data, size);
    CheckResendFilter(data, size);
    return 0;
}
