// The answer to an InformRequest: the Response-PDU alone and the whole v2c
// message, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/notification_bytes.h"
#include "snmp/datagram_decoder.h"
#include "snmp/inform_response.h"

using namespace notification_bytes;

namespace {

struct Answer {
    Bytes datagram;
    Bytes pdu;
};

// Decodes the inform and builds both answers; empty when either fails.
Answer AnswerTo(const Bytes& inform, size_t capacity = kMaxInformResponse) {
    Answer a;
    const DecodedDatagram d = DecodeDatagram(inform.data(), inform.size(), "vandor", true);
    EXPECT_TRUE(d.answerInform);
    std::vector<uint8_t> out(capacity);
    size_t n = BuildV2cInformResponse(inform.data(), inform.size(), d.pdu, out.data(), out.size());
    a.datagram.assign(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n));
    n = BuildInformResponsePdu(inform.data(), inform.size(), d.pdu, out.data(), out.size());
    a.pdu.assign(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n));
    return a;
}

// The answer to an inform written in shortest forms with zero error fields:
// the same octets under the Response-PDU tag.
Bytes AsResponse(Bytes inform, size_t pduPos) {
    inform[pduPos] = 0xA2;
    return inform;
}

NotificationSpec LargeInform(size_t nameLength) {
    NotificationSpec n;
    n.pduTag = 0xA6;
    n.bindings = Cat({Parameters(StandardTrap(1)), Binding(kOutletName1, Str(std::string(nameLength, 'n')))});
    return n;
}

}  // namespace

TEST(InformResponse, CapturedColdStart) {
    const Answer a = AnswerTo(kColdStartInform);
    const Bytes expected = AsResponse(kColdStartInform, kColdStartInformPdu);
    EXPECT_EQ(a.datagram, expected);
    EXPECT_EQ(a.pdu, Bytes(expected.begin() + kColdStartInformPdu, expected.end()));
}

TEST(InformResponse, LengthsInEveryForm) {
    // Bindings that take the list, the PDU and the message past 127 and 255
    // octets: the long forms, as an inform in shortest forms has them.
    for (size_t nameLength : {60u, 90u, 200u, 400u, 1300u}) {
        NotificationSpec n = LargeInform(nameLength);
        const Bytes inform = Notification(n);
        const Bytes pdu = Pdu(n);
        const Answer a = AnswerTo(inform);
        const Bytes expected = AsResponse(inform, inform.size() - pdu.size());
        EXPECT_EQ(a.datagram, expected) << nameLength;
        EXPECT_EQ(a.pdu, AsResponse(pdu, 0)) << nameLength;
    }
}

TEST(InformResponse, ErrorFieldsZeroAndLengthsInShortestForm) {
    NotificationSpec n = LargeInform(20);
    n.requestId = {0x81, 0x02, 0x03, 0x04};  // negative
    const Bytes canonical = Notification(n);
    const Bytes expected = AsResponse(canonical, canonical.size() - Pdu(n).size());

    n.errorStatus = {0x05};
    n.errorIndex = {0x00, 0x02};
    // Every header of the message, the request-id and the list in a long form.
    const auto longForm = [](uint8_t tag, const Bytes& value) {
        return Cat({{tag, 0x82, static_cast<uint8_t>(value.size() >> 8), static_cast<uint8_t>(value.size())}, value});
    };
    const Bytes content = Cat({longForm(0x02, n.requestId), Tlv(0x02, n.errorStatus), Tlv(0x02, n.errorIndex),
                               longForm(0x30, n.bindings)});
    const Bytes inform = longForm(0x30, Cat({longForm(0x02, {0x01}), longForm(0x04, Text("vandor")),
                                             longForm(0xA6, content)}));
    ASSERT_NE(inform.size(), canonical.size());
    const DecodedDatagram d = DecodeDatagram(inform.data(), inform.size(), "vandor", true);
    ASSERT_TRUE(d.answerInform);
    EXPECT_EQ(d.pdu.requestIdValue, static_cast<int32_t>(0x81020304u));
    EXPECT_EQ(AnswerTo(inform).datagram, expected);
    EXPECT_LT(expected.size(), inform.size());
}

TEST(InformResponse, OnlyForAnInformThatFits) {
    const DecodedDatagram d = DecodeDatagram(kColdStartInform.data(), kColdStartInform.size(), "vandor", true);
    ASSERT_TRUE(d.answerInform);
    uint8_t out[kMaxInformResponse];
    const size_t whole = kColdStartInform.size();
    const size_t pduSize = whole - kColdStartInformPdu;
    EXPECT_EQ(BuildV2cInformResponse(kColdStartInform.data(), whole, d.pdu, out, whole), whole);
    EXPECT_EQ(BuildV2cInformResponse(kColdStartInform.data(), whole, d.pdu, out, whole - 1), 0u);
    EXPECT_EQ(BuildInformResponsePdu(kColdStartInform.data(), whole, d.pdu, out, pduSize), pduSize);
    EXPECT_EQ(BuildInformResponsePdu(kColdStartInform.data(), whole, d.pdu, out, pduSize - 1), 0u);
    EXPECT_EQ(BuildV2cInformResponse(kColdStartInform.data(), whole, d.pdu, nullptr, sizeof out), 0u);

    NotificationLayout trap = d.pdu;
    trap.inform = false;  // an SNMPv2-Trap is never answered
    EXPECT_EQ(BuildV2cInformResponse(kColdStartInform.data(), whole, trap, out, sizeof out), 0u);
    EXPECT_EQ(BuildInformResponsePdu(kColdStartInform.data(), whole, trap, out, sizeof out), 0u);

    // Positions that are not the inform's items, or lie outside the buffer.
    const auto refused = [&](NotificationLayout layout) {
        return BuildV2cInformResponse(kColdStartInform.data(), whole, layout, out, sizeof out) == 0 &&
               BuildInformResponsePdu(kColdStartInform.data(), whole, layout, out, sizeof out) == 0;
    };
    NotificationLayout bad = d.pdu;
    bad.requestId.size += 1;
    EXPECT_TRUE(refused(bad));
    bad = d.pdu;
    bad.bindings.pos = bad.requestId.pos;
    EXPECT_TRUE(refused(bad));
    bad = d.pdu;
    bad.bindings.size = SIZE_MAX;
    EXPECT_TRUE(refused(bad));
    bad = d.pdu;
    bad.requestId.pos = SIZE_MAX - 1;
    EXPECT_TRUE(refused(bad));
    bad = d.pdu;
    bad.pdu.pos += 1;  // not the message's PDU
    EXPECT_EQ(BuildV2cInformResponse(kColdStartInform.data(), whole, bad, out, sizeof out), 0u);
}
