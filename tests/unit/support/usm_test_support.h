#pragma once
// Shared by the SNMPv3 tests: the users of the captures in tests/data/v3
// (master keys computed by pysnmp, see the README there), the captures
// themselves, a trap builder for engines of the test's choosing, and a
// reader of a notification's snmpTrapOID.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hex.h"
#include "test_crypto.h"
#include "map_profile_reader.h"
#include "snmp/ber_back_writer.h"
#include "snmp/ber_tags.h"
#include "snmp/trap_decoder.h"
#include "snmp/usm_auth.h"
#include "snmp/usm_outgoing.h"
#include "snmp/usm_privacy.h"
#include "snmp/usm_receiver.h"
#include "snmp/usm_users.h"

namespace usm_test {

using Bytes = std::vector<uint8_t>;

const char kMd5User[] = "ups-md5,MD5,d8bd3b2ef7f88eef4d35cbeadc63db27,none,";
const char kShaUser[] = "ups-sha,SHA,1584901daad7f138e411ab4c06bf1bb7157fd117,AES,bc0857826824e74092db24c985944909e6a56fab";
const char kSha256User[] =
    "ups-sha256,SHA-256,3a5326632a9e86cda602a3b57e6798b6bc9644a3d539b4521b41d09d162cdcfa,AES,"
    "ee67c936aaf702b419d8e3b1bd6cc4ae98e565b37d7a1e407e45e2925a3d26b5";
const char kSha224User[] =
    "ups-sha224,SHA-224,60587fe451a3a6a6812f174be2013dc1ed1389bf5bb6bbeea0cb3e4b,AES,"
    "ac740ca263058c0d88599be05860a478a0d3fe91dc986ce7fb7dd1ce";
const char kSha384User[] =
    "ups-sha384,SHA-384,3885b995456efbcc2c78d8d7bedfbad337fdc289ba74c2a45a32d5a575b79cb3f9b9437f8a0f963f8608945421fe9"
    "8d0,AES,b0012336519c8e0b94607d8537dcbd2a7f9d2c48a459dd5ba73136820e08a59858d23340990227175df10d0a2f66e933";
const char kSha512User[] =
    "ups-sha512,SHA-512,50ff424b307efac71972ba4632e82ac5735d477d6afc2d2ef0a7d4832c849f7e0be28c273f401251a32de69606d86"
    "fa2b8b9677c329970143a30eeca9e9dd8be,AES,4e2802f07ce6940b5ed087b607a4e493de3f90cfe40ce4014d35ec81e7efb3f5e661bc5"
    "311dc29fe109fb7424092889753a0049f2855d6d5e13e724d691ae000";
const char kPlainUser[] = "ups-plain,none,,none,";

inline UsmUserTable Users(const std::vector<std::string>& lines) {
    MapProfileReader profile;
    for (size_t i = 0; i < lines.size(); ++i) profile.Set("usKarn_v3", "user" + std::to_string(i + 1), lines[i]);
    return ReadUsmUsers(profile, TestCrypto());
}

inline UsmUserTable AllUsers() {
    return Users({kMd5User, kShaUser, kSha256User, kSha224User, kSha384User, kSha512User, kPlainUser});
}

inline Bytes Capture(const std::string& name) {
    std::ifstream in(std::string(DOVREL_TEST_DATA) + "/v3/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline LocalEngine DovrelEngine(uint32_t boots = 4, int64_t startSeconds = 1000) {
    LocalEngine engine;
    const Bytes id = FromHex("80000000051122334455667788990011aa");
    std::copy(id.begin(), id.end(), engine.id);
    engine.idSize = id.size();
    engine.boots = boots;
    engine.startSeconds = startSeconds;
    return engine;
}

// A receiver and the buffers it is given.
struct Fixture {
    explicit Fixture(UsmUserTable users = AllUsers(), size_t keyCache = kKeyCacheCapacity,
                     size_t engineTable = kEngineTableCapacity)
        : receiver(TestCrypto(), std::move(users), DovrelEngine(), keyCache, engineTable) {}

    UsmResult Receive(const Bytes& datagram, int64_t now = 2000) {
        return receiver.Receive(datagram.data(), datagram.size(), now, Buffers());
    }
    UsmBuffers Buffers() { return UsmBuffers{scopedPdu, sizeof scopedPdu, reply, sizeof reply}; }
    Bytes Reply(const UsmResult& result) const { return Bytes(reply, reply + result.replySize); }
    const UsmUser* User(const std::string& name) const {
        const UsmUser* user = receiver.Users().Find(reinterpret_cast<const uint8_t*>(name.data()), name.size());
        EXPECT_NE(user, nullptr) << name;
        return user;
    }
    Bytes DovrelId() const { return Bytes(receiver.Engine().id, receiver.Engine().id + receiver.Engine().idSize); }

    UsmReceiver receiver;
    uint8_t scopedPdu[1500] = {};
    uint8_t reply[1500] = {};
};

// 1.3.6.1.6.3.1.1.4.1.0 and the trap OID of the captures, 1.3.6.1.2.1.33.2.0.1.
const Bytes kSnmpTrapOid = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x04, 0x01, 0x00};
const Bytes kUpsOnBattery = {0x2B, 0x06, 0x01, 0x02, 0x01, 0x21, 0x02, 0x00, 0x01};

// The value of snmpTrapOID.0 among the PDU's bindings, as encoded octets.
inline Bytes TrapOidOf(const uint8_t* scoped, const ScopedPdu& pdu) {
    TlvItem item;
    size_t pos = pdu.pduPos;
    if (!ReadTlv(scoped, pdu.size, pos, item)) return {};
    pos = item.valuePos;
    for (int i = 0; i < 3; ++i) {  // request-id, error-status, error-index
        if (!ReadTlv(scoped, pdu.size, pos, item)) return {};
        pos = item.valuePos + item.length;
    }
    TlvItem list;
    if (!ReadTlv(scoped, pdu.size, pos, list) || list.tag != kTagSequence) return {};
    for (pos = list.valuePos; pos < list.valuePos + list.length;) {
        TlvItem binding, name, value;
        if (!ReadTlv(scoped, pdu.size, pos, binding) || !ReadTlv(scoped, pdu.size, binding.valuePos, name) ||
            !ReadTlv(scoped, pdu.size, name.valuePos + name.length, value))
            return {};
        if (Bytes(scoped + name.valuePos, scoped + name.valuePos + name.length) == kSnmpTrapOid)
            return Bytes(scoped + value.valuePos, scoped + value.valuePos + value.length);
        pos = binding.valuePos + binding.length;
    }
    return {};
}

// A PDU item: tag, request-id, two zero error fields, and snmpTrapOID.0 = trapOid.
inline Bytes Pdu(uint8_t tag, int32_t requestId, const Bytes& trapOid = kUpsOnBattery) {
    uint8_t buffer[256];
    BerBackWriter w(buffer, sizeof buffer);
    w.Octets(kTagObjectId, trapOid.data(), trapOid.size());
    w.Octets(kTagObjectId, kSnmpTrapOid.data(), kSnmpTrapOid.size());
    w.Wrap(kTagSequence, 0);
    w.Wrap(kTagSequence, 0);
    w.Integer(kTagInteger, 0);
    w.Integer(kTagInteger, 0);
    w.Integer(kTagInteger, requestId);
    w.Wrap(tag, 0);
    return Bytes(w.Front(), w.Front() + w.Size());
}

// A notification from user (of users) to the engine given, built as its
// sender would: keys localized for that engine, reportable for an INFORM.
struct Sent {
    const UsmUser* user = nullptr;
    Bytes engineId;
    uint32_t boots = 1;
    uint32_t time = 0;
    uint8_t tag = kTagSnmpV2TrapPdu;
    SecurityLevel level = SecurityLevel::AuthPriv;
    int32_t msgId = 77;
    int32_t requestId = 5;
};

inline Bytes Build(const Sent& s) {
    LocalizedKeys keys;
    if (s.user->auth != AuthProtocol::None) {
        EXPECT_TRUE(LocalizeUserKeys(TestCrypto(), *s.user, s.engineId.data(), s.engineId.size(), keys));
    }
    const Bytes pdu = Pdu(s.tag, s.requestId);
    OutgoingMessage m;
    m.msgId = s.msgId;
    m.msgMaxSize = 1500;
    m.level = s.level;
    m.reportable = s.tag == kTagInformRequestPdu;
    m.engineId = s.engineId.data();
    m.engineIdSize = s.engineId.size();
    m.engineBoots = s.boots;
    m.engineTime = s.time;
    m.userName = reinterpret_cast<const uint8_t*>(s.user->name.data());
    m.userNameSize = s.user->name.size();
    m.auth = s.user->auth;
    m.keys = &keys;
    m.salt = 0x0102030405060708ull;
    m.contextEngineId = s.engineId.data();
    m.contextEngineIdSize = s.engineId.size();
    m.pdu = pdu.data();
    m.pduSize = pdu.size();
    uint8_t out[1500];
    const size_t size = BuildUsmMessage(TestCrypto(), m, out, sizeof out);
    EXPECT_NE(size, 0u);
    return Bytes(out, out + size);
}

}  // namespace usm_test
