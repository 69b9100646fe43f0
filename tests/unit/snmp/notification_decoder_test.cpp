// SNMPv2c notifications: the PDU decoder with its RFC 3584 3.2 mapping onto
// the SNMPv1 trap parameters, and the datagram decoder's dispatch by version.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/notification_bytes.h"
#include "snmp/datagram_decoder.h"
#include "snmp/inform_response.h"
#include "snmp/notification_pdu.h"

using namespace notification_bytes;

namespace {

DecodedDatagram Accept(const Bytes& datagram, const std::string& community = "vandor") {
    const Bytes exact(datagram);  // an exact-size copy, so that a read past the end is caught
    return DecodeDatagram(exact.data(), exact.size(), community, true);
}

struct PduResult {
    bool wellFormed = false;
    int32_t number = -1;
    TrapFields fields;
    NotificationLayout layout;
};

// The PDU alone, decoded from the start of an exact-size buffer.
PduResult DecodePdu(const Bytes& pdu) {
    PduResult r;
    const Bytes exact(pdu);
    r.wellFormed = DecodeNotificationPdu(exact.data(), exact.size(), 0, r.layout, r.fields, r.number);
    return r;
}

PduResult DecodePdu(const Bytes& trapOid, const Bytes& more) {
    NotificationSpec n;
    n.bindings = Cat({Parameters(trapOid), more});
    return DecodePdu(Pdu(n));
}

Bytes SubIds(const Bytes& prefix, std::initializer_list<uint32_t> subIds) {
    Bytes out = prefix;
    for (uint32_t v : subIds) {
        const Bytes s = SubId(v);
        out.insert(out.end(), s.begin(), s.end());
    }
    return out;
}

Bytes OutletBindings(const std::string& name = "rack") {
    return Cat({Binding(kOutletNumber1, Int({3})), Binding(kOutletName1, Str(name))});
}

Bytes Cut(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n)); }

// snmptrap -v 2c -c vandor HOST 1 1.3.6.1.2.1.33.2.1 1.3.6.1.6.3.18.1.3.0 a 10.0.0.5 1.3.6.1.2.1.1.1.0 C 5
// upsTrapOnBattery as RFC 1628 defines it for SNMPv2: no ".0." before the 1.
const Bytes kUpsOnBattery = {
    0x30, 0x64, 0x02, 0x01, 0x01, 0x04, 0x06, 0x76, 0x61, 0x6e, 0x64, 0x6f, 0x72, 0xa7, 0x57, 0x02, 0x04,
    0x11, 0x3d, 0x1e, 0xd4, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x49, 0x30, 0x0d, 0x06, 0x08, 0x2b,
    0x06, 0x01, 0x02, 0x01, 0x01, 0x03, 0x00, 0x43, 0x01, 0x01, 0x30, 0x16, 0x06, 0x0a, 0x2b, 0x06, 0x01,
    0x06, 0x03, 0x01, 0x01, 0x04, 0x01, 0x00, 0x06, 0x08, 0x2b, 0x06, 0x01, 0x02, 0x01, 0x21, 0x02, 0x01,
    0x30, 0x11, 0x06, 0x09, 0x2b, 0x06, 0x01, 0x06, 0x03, 0x12, 0x01, 0x03, 0x00, 0x40, 0x04, 0x0a, 0x00,
    0x00, 0x05, 0x30, 0x0d, 0x06, 0x08, 0x2b, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00, 0x46, 0x01, 0x05};

}  // namespace

// ---------------------------------------------------------------- the specific-trap code

TEST(SpecificTrapFirstOctet, AsNetSnmpEncodesTheSpecificTrapOfTheV1Twin) {
    // snmptrap -v 1 ... 6 <s>: the octets of the specific-trap INTEGER it sends.
    const struct { uint32_t s; uint8_t first; } cases[] = {
        {0, 0x00},          {1, 0x01},          {127, 0x7F},        {128, 0x00},          // 00 80
        {200, 0x00},        {255, 0x00},        {256, 0x01},        {257, 0x01},          // 01 01
        {1000, 0x03},       {32767, 0x7F},      {32768, 0x00},      {65536, 0x01},
        {0x7FFFFFFF, 0x7F}, {0x80000000, 0x80}, {3000000000u, 0xB2},                      // B2 D0 5E 00
        {0xFFFFFFFF, 0xFF},                                                               // -1: FF
        {0xFFFFFF80, 0x80},                                                               // -128: 80
        {0xFFFFFF7F, 0xFF},                                                               // -129: FF 7F
        {0xFFFF7FFF, 0xFF},                                                               // FF 7F FF
    };
    for (const auto& c : cases) EXPECT_EQ(SpecificTrapFirstOctet(c.s), c.first) << c.s;
}

// ---------------------------------------------------------------- RFC 3584 3.2 mapping

TEST(NotificationPdu, CapturedUpsOnBatteryIsTheV1Message) {
    const DecodedDatagram d = Accept(kUpsOnBattery);
    EXPECT_EQ(d.reason, RefusalReason::None);
    EXPECT_EQ(d.messageNumber, 3);
    EXPECT_EQ(d.fields.specificCode, 1);
    EXPECT_EQ(d.fields.agentAddress, "10.0.0.5");
    EXPECT_EQ(d.version, SnmpVersion::V2c);
    EXPECT_FALSE(d.answerInform);
    EXPECT_FALSE(d.pdu.inform);
}

TEST(NotificationPdu, StandardTraps) {
    const Bytes sysName = Binding({0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x05, 0x00}, Str("ups"));
    const struct { uint8_t k; Bytes more; int32_t number; } cases[] = {
        {1, {}, 2},                                                       // coldStart
        {1, TrapEnterprise(kEnterpriseA), 2},
        {2, {}, 0},                                                       // warmStart from snmpTraps, no bindings
        {2, TrapEnterprise(kEnterpriseB), 6},
        {5, TrapEnterprise(kEnterpriseB), 5},                             // authenticationFailure
        {5, Cat({TrapEnterprise(kEnterpriseB), TrapEnterprise(kColdStartEnterprise)}), 5},  // the first one
        {5, Cat({TrapEnterprise(kColdStartEnterprise), TrapEnterprise(kEnterpriseB)}), 0},
        {5, TrapEnterprise(kEnterpriseA), 0},
        {5, Binding(kSnmpTrapEnterprise0, Str(std::string(kEnterpriseB.begin(), kEnterpriseB.end()))), 0},
        {5, sysName, 1},
        {3, sysName, 1},                                                  // linkDown
        {6, {}, 0},                                                       // egpNeighborLoss
    };
    for (const auto& c : cases) {
        const PduResult r = DecodePdu(StandardTrap(c.k), c.more);
        ASSERT_TRUE(r.wellFormed) << int(c.k);
        EXPECT_EQ(r.number, c.number) << int(c.k) << " " << c.more.size();
        EXPECT_EQ(r.fields.specificCode, 0);
    }
}

TEST(NotificationPdu, EnterpriseSpecificTrapOids) {
    const struct { Bytes trapOid; Bytes more; int32_t number; int32_t specific; } cases[] = {
        {SubIds(kEnterpriseA, {0, 4}), {}, 114, 4},    // enterprise.0.specific, as RFC 3584 3.1 makes it
        {SubIds(kEnterpriseA, {4}), {}, 114, 4},       // no 0 before the specific
        {SubIds(kEnterpriseA, {0, 0}), {}, 1, 0},      // specific 0: enterprise A, nothing to scan
        {SubIds(kUpsTraps, {0, 1}), {}, 3, 1},
        {SubIds(kUpsTraps, {1}), {}, 3, 1},            // upsTrapOnBattery of RFC 1628
        {SubIds(kUpsTraps, {2}), {}, 0, 2},
        {SubIds(kUpsTraps, {0, 1}), TrapEnterprise(kEnterpriseB), 3, 1},  // snmpTrapEnterprise.0 is not read
        {SubIds(kEnterpriseA, {0, 4}), TrapEnterprise(kUpsTraps), 114, 4},
        // 1.3.6.1.4.1.2134.4.0.5: the next-to-last 0 goes too, leaving 2134.4.
        {SubIds({0x2B, 0x06, 0x01, 0x04, 0x01, 0x90, 0x56, 0x04}, {0, 5}), {}, 0, 5},
        // 1.3.6.1.4.1.2134.4.5: enterprise 2134.4, specific 5. The trimmed
        // enterprise is compared alone, never with the octets that follow it.
        {kEnterpriseA, {}, 0, 5},
        {SubIds(kSnmpTraps, {7}), {}, 0, 7},            // not one of the six: enterprise snmpTraps
        {SubIds(kSnmpTraps, {7}), OutletBindings(), 127, 7},
        {SubIds(kSnmpTraps, {1, 0}), {}, 0, 0},         // coldStart.0 is not coldStart
        {SubIds({0x2B}, {0}), {}, 0, 0},                // 1.3.0: the first octet's two arcs stay
        // The specific code as the SNMPv1 twin's receiver reads it.
        {SubIds(kEnterpriseA, {0, 1000}), {}, 113, 3},
        {SubIds(kEnterpriseA, {0, 200}), {}, 1, 0},
        {SubIds(kEnterpriseA, {0, 257}), {}, 110, 1},
        {SubIds(kEnterpriseA, {0, 0xFFFFFFFF}), {}, 1, 255},
        {SubIds(kUpsTraps, {0, 0x80000001}), {}, 0, 0x80},
    };
    for (const auto& c : cases) {
        const PduResult r = DecodePdu(c.trapOid, c.more);
        ASSERT_TRUE(r.wellFormed) << c.trapOid.size();
        EXPECT_EQ(r.number, c.number) << c.trapOid.size() << " / " << c.specific;
        EXPECT_EQ(r.fields.specificCode, c.specific) << c.trapOid.size();
    }
}

TEST(NotificationPdu, MalformedTrapOidsAreDropped) {
    const Bytes cases[] = {
        {},                                          // empty
        {0x2B},                                      // 1.3: no sub-identifier for an enterprise
        Cat({kEnterpriseA, {0x87}}),                 // the last octet continues
        Cat({kEnterpriseA, {0x80, 0x01}}),           // a sub-identifier with a leading zero septet
        Cat({kEnterpriseA, {0x90, 0x80, 0x80, 0x80, 0x00}}),  // 2^32
        Cat({kEnterpriseA, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}),
    };
    for (const Bytes& oid : cases) EXPECT_FALSE(DecodePdu(oid, {}).wellFormed) << oid.size();
    // The largest sub-identifier there is.
    EXPECT_TRUE(DecodePdu(Cat({kEnterpriseA, {0x00, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F}}), {}).wellFormed);
}

TEST(NotificationPdu, TheFirstTwoBindingsMustBeUptimeAndTrapOid) {
    const Bytes upTime = Binding(kSysUpTime, Tlv(0x43, {0x10}));
    const Bytes trapOid = Binding(kSnmpTrapOid0, Oid(StandardTrap(1)));
    const Bytes other = Binding(kOutletNumber1, Int({3}));
    const Bytes upTime1 = Binding({0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x03, 0x01}, Tlv(0x43, {0x10}));
    const Bytes trapOidPrefix = Binding(Cat({kSnmpTrapOid0, {0x00}}), Oid(StandardTrap(1)));  // ...4.1.0.0
    const struct { Bytes bindings; bool wellFormed; } cases[] = {
        {Cat({upTime, trapOid}), true},
        {{}, false},
        {upTime, false},
        {trapOid, false},
        {Cat({trapOid, upTime}), false},
        {Cat({other, upTime, trapOid}), false},
        {Cat({upTime, other, trapOid}), false},
        {Cat({Binding(kSysUpTime, Int({0x10})), trapOid}), false},                 // not TimeTicks
        {Cat({upTime, Binding(kSnmpTrapOid0, Str("1.3.6.1.6.3.1.1.5.1"))}), false},  // not an identifier
        {Cat({upTime1, trapOid}), false},
        {Cat({upTime, trapOidPrefix}), false},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        NotificationSpec n;
        n.bindings = cases[i].bindings;
        const PduResult r = DecodePdu(Pdu(n));
        EXPECT_EQ(r.wellFormed, cases[i].wellFormed) << i;
        // A dropped notification is not an INFORM to answer either.
        n.pduTag = 0xA6;
        const DecodedDatagram d = Accept(Notification(n));
        EXPECT_EQ(d.answerInform, cases[i].wellFormed) << i;
        EXPECT_EQ(d.reason, cases[i].wellFormed ? RefusalReason::None : RefusalReason::NotDecodable) << i;
    }
}

TEST(NotificationPdu, AgentAddressFromSnmpTrapAddress) {
    const Bytes trapOid = SubIds(kEnterpriseA, {0, 4});
    const struct { Bytes more; const char* agent; } cases[] = {
        {TrapAddress({192, 0, 2, 7}), "192.0.2.7"},
        {{}, "kept"},                                                   // absent: left as passed
        {Binding(kSnmpTrapAddress0, Str("10.0.0.1")), "kept"},          // not an IpAddress
        {TrapAddress({10, 0, 0}), "kept"},
        {TrapAddress({10, 0, 0, 1, 2}), "kept"},
        {Cat({TrapAddress({10, 0, 0, 1}), TrapAddress({10, 0, 0, 2})}), "10.0.0.1"},
        {Cat({TrapAddress({10, 0}), TrapAddress({10, 0, 0, 2})}), "10.0.0.2"},
    };
    for (const auto& c : cases) {
        NotificationSpec n;
        n.bindings = Cat({Parameters(trapOid), c.more});
        const Bytes pdu = Pdu(n);
        PduResult r;
        r.fields.agentAddress = "kept";
        ASSERT_TRUE(DecodeNotificationPdu(pdu.data(), pdu.size(), 0, r.layout, r.fields, r.number));
        EXPECT_EQ(r.number, 114) << c.agent;
        EXPECT_EQ(r.fields.agentAddress, c.agent);
    }
    // Through the datagram decoder the text starts empty, so that the caller
    // takes the datagram's source address.
    EXPECT_EQ(Accept(Notification(trapOid)).fields.agentAddress, "");
}

TEST(NotificationPdu, ProxyBindingsAreNotHandedOn) {
    const Bytes proxied =
        Cat({TrapAddress({10, 1, 2, 3}), Binding(kSnmpTrapCommunity0, Str("vandor")), TrapEnterprise(kEnterpriseA)});
    // Enterprise A without bindings of its own: the empty-list rule applies.
    PduResult r = DecodePdu(SubIds(kEnterpriseA, {0, 4}), proxied);
    EXPECT_EQ(r.number, 114);
    EXPECT_EQ(r.fields.agentAddress, "10.1.2.3");
    // After the outlet name the community string would otherwise become the name.
    r = DecodePdu(SubIds(kEnterpriseA, {0, 2}), Cat({OutletBindings("rack"), proxied}));
    EXPECT_EQ(r.number, 120);
    EXPECT_EQ(r.fields.outletName, "rack");
    EXPECT_EQ(r.fields.outletNumber, 3);
    // Wherever they stand.
    r = DecodePdu(SubIds(kEnterpriseA, {0, 2}),
                  Cat({Binding(kSnmpTrapCommunity0, Str("x")), Binding(kOutletNumber1, Int({3})), proxied,
                       Binding(kOutletName1, Str("rack"))}));
    EXPECT_EQ(r.number, 120);
    EXPECT_EQ(r.fields.outletName, "rack");
}

TEST(NotificationPdu, Counter64BindingsAreLeftOut) {
    const Bytes counter = Counter64({0x2B, 0x06, 0x01, 0x02, 0x01, 0x1F, 0x01, 0x01, 0x01, 0x06, 0x01});
    // Counted, they would push the outlet name to the fourth place.
    PduResult r = DecodePdu(SubIds(kEnterpriseA, {0, 2}), Cat({counter, counter, OutletBindings()}));
    ASSERT_TRUE(r.wellFormed);
    EXPECT_EQ(r.number, 120);
    r = DecodePdu(SubIds(kEnterpriseA, {0, 4}), Cat({counter, counter}));
    ASSERT_TRUE(r.wellFormed);
    EXPECT_EQ(r.number, 114);  // nothing left: the empty-list rule
}

TEST(NotificationPdu, HandedOnBindingsFollowTheV1ScanRules) {
    const Bytes other = Binding(kSysUpTime, Int({1}));
    const struct { Bytes more; int32_t number; } cases[] = {
        {Binding(kAlarmDescr5, Oid(WellKnownAlarm(2))), 14},
        {Cat({other, other, Binding(kAlarmDescr5, Oid(WellKnownAlarm(3)))}), 16},
        {Cat({other, other, other, Binding(kAlarmDescr5, Oid(WellKnownAlarm(2)))}), 1},  // a fourth is not read
        {Binding(kAlarmDescr5, Oid(WellKnownAlarm(25))), 0},
        // An alarm value without its .0 followed by the proxy's address: the
        // sixth compared octet is that binding's 30, as in SNMPv1.
        {Cat({Binding(kAlarmDescr5, Oid({0x2B, 0x06, 0x01, 0x02, 0x01, 0x21, 0x01, 0x06, 0x03, 0x02})),
              TrapAddress({1, 2, 3, 4})}),
         0},
        // A value of length 0 ends the scan, so the outlet name is not seen.
        {Cat({Binding(kOutletNumber1, Int({3})), Binding(kSysUpTime, Str("")), Binding(kOutletName1, Str("r"))}), 1},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const PduResult r = DecodePdu(SubIds(kUpsTraps, {0, 4}), cases[i].more);
        ASSERT_TRUE(r.wellFormed) << i;
        EXPECT_EQ(r.number, cases[i].number) << i;
    }
}

// ---------------------------------------------------------------- structure

TEST(NotificationPdu, LayoutAtAnOffsetOfALargerBuffer) {
    // As in a decrypted scoped PDU: octets before it and padding after it.
    NotificationSpec n;
    n.pduTag = 0xA6;
    n.requestId = {0xFF, 0x38};  // -200
    n.bindings = Cat({Parameters(StandardTrap(1))});
    const Bytes pdu = Pdu(n);
    const Bytes buffer = Cat({{0x04, 0x00, 0x04, 0x00}, pdu, {0x00, 0x00, 0x00}});
    PduResult r;
    ASSERT_TRUE(DecodeNotificationPdu(buffer.data(), buffer.size(), 4, r.layout, r.fields, r.number));
    EXPECT_EQ(r.number, 2);
    EXPECT_TRUE(r.layout.inform);
    EXPECT_EQ(r.layout.pdu.pos, 4u);
    EXPECT_EQ(r.layout.pdu.size, pdu.size());
    EXPECT_EQ(r.layout.requestId.pos, 6u);
    EXPECT_EQ(Bytes(buffer.begin() + 6, buffer.begin() + 6 + static_cast<std::ptrdiff_t>(r.layout.requestId.size)),
              Tlv(0x02, {0xFF, 0x38}));
    EXPECT_EQ(r.layout.requestIdValue, -200);
    EXPECT_EQ(r.layout.bindings.pos, 16u);
    EXPECT_EQ(r.layout.bindings.pos + r.layout.bindings.size, 4 + pdu.size());
    // The PDU must lie within the buffer it is given.
    EXPECT_FALSE(DecodeNotificationPdu(buffer.data(), 4 + pdu.size() - 1, 4, r.layout, r.fields, r.number));
}

TEST(NotificationPdu, StrictStructure) {
    const Bytes good = Cat({Parameters(StandardTrap(1))});
    const auto pdu = [](const Bytes& requestId, const Bytes& status, const Bytes& list, uint8_t tag = 0xA7) {
        return Tlv(tag, Cat({requestId, status, Int({0}), list}));
    };
    const Bytes rid = Int({0x12});
    const struct { Bytes pdu; bool wellFormed; } cases[] = {
        {pdu(rid, Int({0}), Tlv(0x30, good)), true},
        {pdu(rid, Int({5}), Tlv(0x30, good)), true},                              // error-status not examined
        {pdu(Int({1, 2, 3, 4}), Int({0}), Tlv(0x30, good)), true},
        {pdu(Cat({{0x02, 0x82, 0x00, 0x01}, {0x12}}), Int({0}), Cat({{0x30, 0x82, 0x00}, Length(good.size()), good})),
         true},                                                                    // long forms with leading zeros
        {pdu(rid, Int({0}), Tlv(0x30, good), 0xA4), false},
        {pdu(rid, Int({0}), Tlv(0x30, good), 0xA2), false},
        {pdu(Int({1, 2, 3, 4, 5}), Int({0}), Tlv(0x30, good)), false},             // request-id over 32 bits
        {pdu(Tlv(0x02, {}), Int({0}), Tlv(0x30, good)), false},
        {pdu(rid, Tlv(0x02, {}), Tlv(0x30, good)), false},
        {pdu(rid, Str("x"), Tlv(0x30, good)), false},
        {pdu(rid, Int({0}), Cat({{0x30, 0x80}, good, {0x00, 0x00}})), false},     // indefinite length
        {pdu(rid, Int({0}), Cat({Tlv(0x30, good), Int({0})})), false},            // more after the list
        {pdu(rid, Int({0}), Tlv(0x31, good)), false},
        {pdu(rid, Int({0}), Tlv(0x30, Cat({good, Tlv(0x30, Cat({Oid(kSysUpTime), Int({1}), Int({2})}))}))),
         false},                                                                   // three items in a binding
        {pdu(rid, Int({0}), Tlv(0x30, Cat({good, Tlv(0x30, Oid(kSysUpTime))}))), false},  // no value
        {pdu(rid, Int({0}), Tlv(0x30, Cat({good, Tlv(0x30, Cat({Str("name"), Int({1})}))}))), false},
        {pdu(rid, Int({0}), Tlv(0x30, Cat({good, Tlv(0x30, Cat({Oid({}), Int({1})}))}))), false},
        {pdu(rid, Int({0}), Tlv(0x30, Cat({good, Tlv(0x30, Cat({Oid(kSysUpTime), {0x1F, 0x01, 0x00}}))}))),
         false},                                                                   // a multi-octet tag
        {pdu(rid, Int({0}), Tlv(0x30, Cat({good, {0x30}}))), false},
        {pdu(rid, Int({0}), Tlv(0x30, Cat({good, {0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF}}))), false},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(DecodePdu(cases[i].pdu).wellFormed, cases[i].wellFormed) << i;
    // A PDU that declares more than the buffer holds.
    Bytes longer = pdu(rid, Int({0}), Tlv(0x30, good));
    longer[1] += 1;
    EXPECT_FALSE(DecodePdu(longer).wellFormed);
}

TEST(NotificationPdu, EveryTruncationIsDropped) {
    const Bytes inform = Notification(SubIds(kEnterpriseA, {0, 2}), OutletBindings(), 0xA6);
    ASSERT_EQ(Accept(inform).messageNumber, 120);
    for (size_t n = 0; n < inform.size(); ++n) {
        const DecodedDatagram d = Accept(Cut(inform, n));
        EXPECT_EQ(d.messageNumber, 0) << n;
        EXPECT_FALSE(d.answerInform) << n;
    }
}

TEST(NotificationPdu, EveryByteValueAtEveryOffsetStaysInside) {
    // Under the address sanitizer: no change of one octet makes the decoder or
    // the answer read outside the datagram; an answer is never longer than
    // the InformRequest it answers.
    const Bytes bases[] = {kColdStartInform, Notification(SubIds(kEnterpriseA, {0, 8}), OutletBindings(), 0xA6)};
    for (const Bytes& base : bases) {
        for (size_t off = 0; off < base.size(); ++off) {
            for (int v = 0; v < 256; ++v) {
                std::vector<uint8_t> exact(base.begin(), base.end());
                exact[off] = static_cast<uint8_t>(v);
                const DecodedDatagram d = DecodeDatagram(exact.data(), exact.size(), "vandor", true);
                ASSERT_EQ(d.messageNumber != 0, d.reason == RefusalReason::None) << off << " = " << v;
                if (!d.answerInform) continue;
                uint8_t out[kMaxInformResponse];
                const size_t n = BuildV2cInformResponse(exact.data(), exact.size(), d.pdu, out, sizeof out);
                ASSERT_GT(n, 0u) << off << " = " << v;
                ASSERT_LE(n, exact.size()) << off << " = " << v;
            }
        }
    }
}

// ---------------------------------------------------------------- the datagram decoder

TEST(DecodeDatagram, V2cOnlyWhenAccepted) {
    const Bytes trap = Notification(SubIds(kUpsTraps, {1}));
    DecodedDatagram d = DecodeDatagram(trap.data(), trap.size(), "vandor", false);
    EXPECT_EQ(d.reason, RefusalReason::NotDecodable);
    EXPECT_EQ(d.messageNumber, 0);
    EXPECT_EQ(d.version, SnmpVersion::V1);  // the SNMPv1 path, which fails at the PDU tag
    d = DecodeDatagram(trap.data(), trap.size(), "vandor", true);
    EXPECT_EQ(d.reason, RefusalReason::None);
    EXPECT_EQ(d.messageNumber, 3);
    EXPECT_EQ(d.version, SnmpVersion::V2c);
}

TEST(DecodeDatagram, WrongCommunity) {
    for (const char* sent : {"Vandor", "vandorx", "vando", ""}) {
        NotificationSpec n;
        n.community = sent;
        n.pduTag = 0xA6;
        n.bindings = Parameters(StandardTrap(1));
        const DecodedDatagram d = Accept(Notification(n));
        EXPECT_EQ(d.reason, RefusalReason::WrongCommunity) << sent;
        EXPECT_EQ(d.messageNumber, 0) << sent;
        EXPECT_FALSE(d.answerInform) << sent;  // no answer tells a stranger the community is wrong

        TrapSpec t;
        t.community = sent;
        t.generic = {0};
        const Bytes v1 = Trap(t);
        EXPECT_EQ(DecodeDatagram(v1.data(), v1.size(), "vandor", true).reason, RefusalReason::WrongCommunity) << sent;
    }
    // An empty configured community takes only an empty one.
    NotificationSpec n;
    n.community = "";
    n.bindings = Parameters(StandardTrap(1));
    EXPECT_EQ(Accept(Notification(n), "").messageNumber, 2);
}

TEST(DecodeDatagram, VersionDecidesThePath) {
    TrapSpec t;
    t.generic = {0};
    const Bytes v1 = Trap(t);
    const auto withVersion = [&](const Bytes& versionItem) {
        Bytes b = v1;
        b.erase(b.begin() + 2, b.begin() + 5);  // 02 01 00
        b.insert(b.begin() + 2, versionItem.begin(), versionItem.end());
        b[1] = static_cast<uint8_t>(b.size() - 2);
        return b;
    };
    const struct { Bytes version; bool accept; RefusalReason reason; SnmpVersion path; } cases[] = {
        {Int({0}), true, RefusalReason::None, SnmpVersion::V1},
        {Int({7}), true, RefusalReason::None, SnmpVersion::V1},           // the SNMPv1 decoder never looked
        {Int({0, 0, 0, 0, 0}), true, RefusalReason::None, SnmpVersion::V1},
        {Int({1}), false, RefusalReason::None, SnmpVersion::V1},          // as before, v2c not accepted
        {Int({1}), true, RefusalReason::NotDecodable, SnmpVersion::V2c},  // v2c has no Trap-PDU
        {Int({0, 1}), true, RefusalReason::NotDecodable, SnmpVersion::V2c},
        {Int({3}), true, RefusalReason::NotDecodable, SnmpVersion::V3},
        {Int({3}), false, RefusalReason::NotDecodable, SnmpVersion::V3},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Bytes b = withVersion(cases[i].version);
        const DecodedDatagram d = DecodeDatagram(b.data(), b.size(), "vandor", cases[i].accept);
        EXPECT_EQ(d.reason, cases[i].reason) << i;
        EXPECT_EQ(d.version, cases[i].path) << i;
        EXPECT_EQ(d.messageNumber, cases[i].reason == RefusalReason::None ? 2 : 0) << i;
    }
    EXPECT_EQ(DecodeDatagram(nullptr, 0, "vandor", true).reason, RefusalReason::NotDecodable);
}

TEST(DecodeDatagram, TheMessageHoldsThePduExactly) {
    const Bytes trap = Notification(StandardTrap(1));
    Bytes inside = trap;
    inside.push_back(0x00);
    inside.push_back(0x00);
    inside[1] += 2;  // two octets more in the message, after the PDU
    EXPECT_EQ(Accept(inside).reason, RefusalReason::NotDecodable);
    Bytes after = trap;  // octets after the message are not part of it
    after.push_back(0x00);
    EXPECT_EQ(Accept(after).messageNumber, 2);
}

TEST(DecodeDatagram, InformsAreAnsweredEvenWhenNotAnnounced) {
    DecodedDatagram d = Accept(kColdStartInform);
    EXPECT_EQ(d.messageNumber, 2);
    EXPECT_TRUE(d.answerInform);
    EXPECT_EQ(d.pdu.pdu.pos, kColdStartInformPdu);
    EXPECT_EQ(d.pdu.requestIdValue, 0x5c6fd09c);
    // warmStart from snmpTraps without bindings: nothing to announce, but the
    // sender must not go on resending it.
    d = Accept(Notification(StandardTrap(2), {}, 0xA6));
    EXPECT_EQ(d.messageNumber, 0);
    EXPECT_EQ(d.reason, RefusalReason::NotDecodable);
    EXPECT_TRUE(d.answerInform);
}

TEST(DecodeDatagram, WithoutV2cEveryCaptureDecodesAsParseTrapDoes) {
    const std::filesystem::path dir = std::filesystem::path(DOVREL_TEST_DATA) / "traps";
    std::error_code ec;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (entry.path().extension() != ".bin") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        TrapFields fields;
        RefusalReason reason = RefusalReason::Count;
        const int32_t number = ParseTrap(b.data(), b.size(), "vandor", fields, reason);
        const DecodedDatagram d = DecodeDatagram(b.data(), b.size(), "vandor", false);
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(d.messageNumber, number) << name;
        EXPECT_EQ(d.reason, reason) << name;
        EXPECT_EQ(d.reason == RefusalReason::None, number != 0) << name;
        EXPECT_EQ(d.fields.specificCode, fields.specificCode) << name;
        EXPECT_EQ(d.fields.agentAddress, fields.agentAddress) << name;
        EXPECT_EQ(d.fields.outletName, fields.outletName) << name;
        ++count;
    }
    EXPECT_GE(count, 14);
}

TEST(DecodeDatagram, CapturedV2cNotificationsDecodeAsTheirV1Twins) {
    const struct { const char* v2c; const char* v1; bool inform; } cases[] = {
        {"v2c_cold_start-0.bin", nullptr, false},  // no v1 capture from that agent: number 2
        {"v2c_ups_on_battery-0.bin", "ups_on_battery-3.bin", false},
        {"v2c_ups_alarm_on_battery-0.bin", "ups_alarm_on_battery-14.bin", false},
        {"v2c_outlet_event-0.bin", "outlet_event-120.bin", false},
        {"v2c_device_b_auth_failure-0.bin", "device_b_auth_failure-5.bin", false},
        {"v2c_inform_device_a_event-0.bin", "device_a_event-114.bin", true},
    };
    const auto load = [](const char* name) {
        std::ifstream in(std::filesystem::path(DOVREL_TEST_DATA) / "traps" / name, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    for (const auto& c : cases) {
        const Bytes v2c = load(c.v2c);
        ASSERT_FALSE(v2c.empty()) << c.v2c;
        const DecodedDatagram d = Accept(v2c);
        EXPECT_EQ(d.answerInform, c.inform) << c.v2c;
        if (!c.v1) {
            EXPECT_EQ(d.messageNumber, 2);
            continue;
        }
        const Bytes v1 = load(c.v1);
        const DecodedDatagram twin = Accept(v1);
        EXPECT_NE(twin.messageNumber, 0) << c.v1;
        EXPECT_EQ(d.messageNumber, twin.messageNumber) << c.v2c;
        EXPECT_EQ(d.fields.specificCode, twin.fields.specificCode) << c.v2c;
        EXPECT_EQ(d.fields.outletNumber, twin.fields.outletNumber) << c.v2c;
        EXPECT_EQ(d.fields.outletName, twin.fields.outletName) << c.v2c;
        EXPECT_EQ(d.fields.agentAddress, twin.fields.agentAddress) << c.v2c;
    }
}
