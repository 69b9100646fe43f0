// The SNMPv3 receiver on real notifications: datagrams sent by net-snmp's
// snmptrap and by pysnmp (tests/data/v3), and INFORM exchanges built as a
// manager builds them.
#include <gtest/gtest.h>

#include "support/usm_test_support.h"

using namespace usm_test;

namespace {

void ExpectUpsOnBattery(const std::string& capture, const char* userName, SecurityLevel level) {
    Fixture f;
    const UsmResult r = f.Receive(Capture(capture));
    ASSERT_EQ(r.verdict, UsmVerdict::Notification) << capture << " refused as " << int(r.refusal);
    EXPECT_EQ(r.refusal, RefusalReason::None);
    EXPECT_EQ(r.scoped.pduTag, kTagSnmpV2TrapPdu);
    EXPECT_EQ(f.scopedPdu[r.scoped.pduPos], kTagSnmpV2TrapPdu);
    EXPECT_EQ(TrapOidOf(f.scopedPdu, r.scoped), kUpsOnBattery) << capture;
    ASSERT_NE(r.user, nullptr);
    EXPECT_EQ(r.user->name, userName);
    EXPECT_EQ(r.level, level);
    EXPECT_EQ(r.replySize, 0u);
}

}  // namespace

TEST(UsmReceiverCaptures, NetSnmpAndPysnmpTrapsAreAuthenticatedAndDecrypted) {
    ExpectUpsOnBattery("netsnmp_authpriv_sha_aes_b7_t5000.bin", "ups-sha", SecurityLevel::AuthPriv);
    ExpectUpsOnBattery("netsnmp_authpriv_sha256_aes_b3_t100.bin", "ups-sha256", SecurityLevel::AuthPriv);
    ExpectUpsOnBattery("netsnmp_authnopriv_md5_b3_t100.bin", "ups-md5", SecurityLevel::AuthNoPriv);
    ExpectUpsOnBattery("netsnmp_noauthnopriv_plain.bin", "ups-plain", SecurityLevel::NoAuthNoPriv);
    ExpectUpsOnBattery("pysnmp_authpriv_sha384_aes.bin", "ups-sha384", SecurityLevel::AuthPriv);
    ExpectUpsOnBattery("pysnmp_authpriv_sha512_aes.bin", "ups-sha512", SecurityLevel::AuthPriv);
}

TEST(UsmReceiverCaptures, Sha224OnlyWhereThePlatformHasIt) {
    Fixture f;
    const UsmResult r = f.Receive(Capture("pysnmp_authpriv_sha224_aes.bin"));
    if (TestCrypto().Supports(HashAlgorithm::Sha224)) {
        ASSERT_EQ(r.verdict, UsmVerdict::Notification);
        EXPECT_EQ(TrapOidOf(f.scopedPdu, r.scoped), kUpsOnBattery);
    } else {
        EXPECT_EQ(r.refusal, RefusalReason::UnsupportedSecurity);  // Windows CNG has no SHA-224
    }
}


TEST(UsmReceiverCaptures, RefusalsNameTheirReason) {
    const Bytes sha = Capture("netsnmp_authpriv_sha_aes_b7_t5000.bin");
    // A key from another passphrase.
    Fixture wrongKey(Users({"ups-sha,SHA,0000000000000000000000000000000000000001,AES,"
                            "bc0857826824e74092db24c985944909e6a56fab"}));
    EXPECT_EQ(wrongKey.Receive(sha).refusal, RefusalReason::WrongDigest);
    // The right authentication key but a wrong privacy key: authentic, undecryptable.
    Fixture wrongPriv(Users({"ups-sha,SHA,1584901daad7f138e411ab4c06bf1bb7157fd117,AES,"
                             "0000000000000000000000000000000000000001"}));
    EXPECT_EQ(wrongPriv.Receive(sha).refusal, RefusalReason::CannotDecrypt);

    Fixture others(Users({kMd5User, kPlainUser}));
    EXPECT_EQ(others.Receive(sha).refusal, RefusalReason::UnknownUser);

    Fixture all;
    // noAuthNoPriv from a user configured with keys, and the other way round.
    EXPECT_EQ(all.Receive(Capture("netsnmp_noauthnopriv_sha.bin")).refusal, RefusalReason::UnsupportedSecurity);
    Fixture plainAsAuth(Users({"ups-plain,MD5,d8bd3b2ef7f88eef4d35cbeadc63db27,none,"}));
    EXPECT_EQ(plainAsAuth.Receive(Capture("netsnmp_noauthnopriv_plain.bin")).refusal,
              RefusalReason::UnsupportedSecurity);
    // authNoPriv from a user configured for authPriv: less than the site asked for.
    Fixture md5WithAes(Users({"ups-md5,MD5,d8bd3b2ef7f88eef4d35cbeadc63db27,AES,d8bd3b2ef7f88eef4d35cbeadc63db27"}));
    EXPECT_EQ(md5WithAes.Receive(Capture("netsnmp_authnopriv_md5_b3_t100.bin")).refusal,
              RefusalReason::UnsupportedSecurity);
    // DES is recognised in the settings and refuses every message of its user.
    Fixture des(Users({"ups-sha,SHA,1584901daad7f138e411ab4c06bf1bb7157fd117,DES,"
                       "bc0857826824e74092db24c985944909e6a56fab"}));
    EXPECT_EQ(des.Receive(sha).refusal, RefusalReason::UnsupportedSecurity);
}

TEST(UsmReceiverCaptures, EveryOctetIsCoveredByTheDigestAndTheDatagramIsLeftAsItCame) {
    const Bytes sha = Capture("netsnmp_authpriv_sha_aes_b7_t5000.bin");
    Fixture f;
    for (size_t i = 0; i < sha.size(); ++i) {
        Bytes changed = sha;
        changed[i] ^= 0x01;
        const Bytes before = changed;
        EXPECT_NE(f.Receive(changed).verdict, UsmVerdict::Notification) << "octet " << i;
        EXPECT_EQ(changed, before);
    }
    EXPECT_EQ(f.Receive(sha).verdict, UsmVerdict::Notification);
}

TEST(UsmReceiverTimeliness, TrapsFromOneEngine) {
    const Bytes b7t5000 = Capture("netsnmp_authpriv_sha_aes_b7_t5000.bin");
    const Bytes b7t4800 = Capture("netsnmp_authpriv_sha_aes_b7_t4800.bin");
    const Bytes b6t9000 = Capture("netsnmp_authpriv_sha_aes_b6_t9000.bin");
    const Bytes b8t10 = Capture("netsnmp_authpriv_sha_aes_b8_t10.bin");
    {
        Fixture f;
        EXPECT_EQ(f.Receive(b7t5000, 100).verdict, UsmVerdict::Notification);  // the first is accepted
        EXPECT_EQ(f.Receive(b6t9000, 100).refusal, RefusalReason::NotInTimeWindow);  // lower boots
        EXPECT_EQ(f.Receive(b7t4800, 100).refusal, RefusalReason::NotInTimeWindow);  // 200 s behind
        EXPECT_EQ(f.Receive(b7t5000, 100).verdict, UsmVerdict::Notification);  // within the window
        EXPECT_EQ(f.Receive(b8t10, 100).verdict, UsmVerdict::Notification);  // a restart of the device
        EXPECT_EQ(f.Receive(b7t5000, 100).refusal, RefusalReason::NotInTimeWindow);
        EXPECT_EQ(f.receiver.NotInTimeWindows(), 3u);
        EXPECT_EQ(f.receiver.KnownEngines(), 1u);
    }
    {
        // The later time first, then the earlier one 200 s behind it: refused.
        // In the other order both are accepted, the second being newer.
        Fixture f;
        EXPECT_EQ(f.Receive(b7t4800, 100).verdict, UsmVerdict::Notification);
        EXPECT_EQ(f.Receive(b7t5000, 100).verdict, UsmVerdict::Notification);
        EXPECT_EQ(f.Receive(b7t4800, 100).refusal, RefusalReason::NotInTimeWindow);
    }
    {
        // The estimate of the engine's time runs on with the local clock: a
        // message 140 s behind passes now, not 20 s later.
        Fixture f;
        const UsmUser* user = f.User("ups-sha");
        ASSERT_NE(user, nullptr);
        const Bytes engineId = FromHex("8000000005aabbccdd01020304");
        EXPECT_EQ(f.Receive(b7t5000, 100).verdict, UsmVerdict::Notification);
        const Bytes t4860 = Build(Sent{user, engineId, 7, 4860});
        EXPECT_EQ(f.Receive(t4860, 100).verdict, UsmVerdict::Notification);
        EXPECT_EQ(f.Receive(t4860, 120).refusal, RefusalReason::NotInTimeWindow);
    }
}

TEST(UsmReceiverTimeliness, OnlyAuthenticTrapsAreRememberedAndTheTableStaysBounded) {
    Fixture f(AllUsers(), 64, 64);
    const UsmUser* user = f.User("ups-sha");
    ASSERT_NE(user, nullptr);
    Bytes engineId = FromHex("8000000005000000000000");
    for (uint32_t i = 0; i < 300; ++i) {
        engineId[7] = static_cast<uint8_t>(i >> 8);
        engineId[8] = static_cast<uint8_t>(i);
        Bytes trap = Build(Sent{user, engineId, 3, 100});
        ASSERT_EQ(f.Receive(trap).verdict, UsmVerdict::Notification) << i;
        trap[trap.size() - 1] ^= 0x80;  // a forgery of the same engine and user
        EXPECT_EQ(f.Receive(trap).refusal, RefusalReason::WrongDigest);
    }
    EXPECT_EQ(f.receiver.KnownEngines(), 64u);
    EXPECT_EQ(f.receiver.CachedKeys(), 64u);

    Fixture forgeries(AllUsers(), 64, 64);
    for (uint32_t i = 0; i < 300; ++i) {
        engineId[8] = static_cast<uint8_t>(i);
        Bytes trap = Build(Sent{user, engineId, 3, 100});
        trap[trap.size() - 1] ^= 0x80;
        EXPECT_EQ(forgeries.Receive(trap).refusal, RefusalReason::WrongDigest);
    }
    EXPECT_EQ(forgeries.receiver.KnownEngines(), 0u);
    EXPECT_EQ(forgeries.receiver.CachedKeys(), 0u);
}

namespace {

// Reads a reply of the receiver, checks its MAC when keys are given and
// returns its plaintext scoped PDU.
Bytes OpenReply(const Bytes& reply, UsmMessage& message, const UsmUser* user, const LocalizedKeys* keys) {
    EXPECT_EQ(ReadUsmMessage(reply.data(), reply.size(), message), RefusalReason::None);
    Bytes scoped(reply.begin() + message.data.pos, reply.begin() + message.data.pos + message.data.size);
    if (keys) {
        EXPECT_TRUE(VerifyMac(TestCrypto(), user->auth, keys->auth, reply.data(), reply.size(), message.authParams));
        if (message.encrypted) {
            EXPECT_TRUE(DecryptScopedPdu(TestCrypto(), keys->priv, message.engineBoots, message.engineTime,
                                         reply.data() + message.privParams.pos, scoped.data(), scoped.size(),
                                         scoped.data()));
        }
    }
    return scoped;
}

// The one binding of a Report: its name, as encoded octets.
Bytes ReportedCounter(const Bytes& scoped, ScopedPdu& pdu) {
    EXPECT_TRUE(ReadScopedPdu(scoped.data(), scoped.size(), pdu));
    EXPECT_EQ(pdu.pduTag, kTagReportPdu);
    TlvItem item;
    size_t pos = pdu.pduPos;
    ReadTlv(scoped.data(), scoped.size(), pos, item);
    pos = item.valuePos;
    for (int i = 0; i < 3; ++i) {
        ReadTlv(scoped.data(), scoped.size(), pos, item);
        pos = item.valuePos + item.length;
    }
    TlvItem list, binding, name;
    if (!ReadTlv(scoped.data(), scoped.size(), pos, list) || !ReadTlv(scoped.data(), scoped.size(), list.valuePos, binding) ||
        !ReadTlv(scoped.data(), scoped.size(), binding.valuePos, name))
        return {};
    return Bytes(scoped.begin() + name.valuePos, scoped.begin() + name.valuePos + name.length);
}

}  // namespace

TEST(UsmReceiverInform, DiscoveryIsAnsweredWithDovrelsEngine) {
    Fixture f;
    // net-snmp's probe: no engine ID, no user, reportable, an empty GetRequest.
    const Bytes probe = Capture("netsnmp_discovery_probe.bin");
    const UsmResult r = f.Receive(probe, 1000 + 42);
    ASSERT_EQ(r.verdict, UsmVerdict::Answered);
    EXPECT_EQ(r.refusal, RefusalReason::None);
    UsmMessage sent, report;
    ASSERT_EQ(ReadUsmMessage(probe.data(), probe.size(), sent), RefusalReason::None);
    const Bytes scoped = OpenReply(f.Reply(r), report, nullptr, nullptr);
    EXPECT_EQ(report.msgId, sent.msgId);
    EXPECT_EQ(report.Level(), SecurityLevel::NoAuthNoPriv);
    EXPECT_FALSE(report.Reportable());
    const Bytes reply = f.Reply(r);
    EXPECT_EQ(ToHex(reply.data() + report.engineId.pos, report.engineId.size), "80000000051122334455667788990011aa");
    EXPECT_EQ(report.engineBoots, 4u);
    EXPECT_EQ(report.engineTime, 42u);
    ScopedPdu pdu;
    EXPECT_EQ(ReportedCounter(scoped, pdu), Bytes(std::begin(kUsmStatsUnknownEngineIds), std::end(kUsmStatsUnknownEngineIds)));
    ScopedPdu asked;
    ASSERT_TRUE(ReadScopedPdu(probe.data() + sent.data.pos, sent.data.size, asked));
    EXPECT_EQ(pdu.requestId, asked.requestId);
    EXPECT_EQ(f.receiver.UnknownEngineIds(), 1u);

    // Without the reportable flag nothing is answered.
    OutgoingMessage quiet;
    quiet.msgId = 9;
    quiet.msgMaxSize = 1500;
    const Bytes get = Pdu(kTagGetRequestPdu, 1);
    quiet.pdu = get.data();
    quiet.pduSize = get.size();
    uint8_t out[256];
    const size_t size = BuildUsmMessage(TestCrypto(), quiet, out, sizeof out);
    ASSERT_NE(size, 0u);
    const UsmResult unanswered = f.Receive(Bytes(out, out + size));
    EXPECT_EQ(unanswered.verdict, UsmVerdict::Refused);
    EXPECT_EQ(unanswered.replySize, 0u);
}

TEST(UsmReceiverInform, AcceptedAndAnsweredWithAnAuthenticatedEncryptedResponse) {
    Fixture f;
    const UsmUser* user = f.User("ups-sha256");
    ASSERT_NE(user, nullptr);
    const Bytes dovrelId = f.DovrelId();
    // Dovrel started at 1000 with boots 4; at 1300 its time is 300.
    const Bytes inform = Build(Sent{user, dovrelId, 4, 290, kTagInformRequestPdu, SecurityLevel::AuthPriv, 4711, 99});
    const UsmResult r = f.Receive(inform, 1300);
    ASSERT_EQ(r.verdict, UsmVerdict::Notification);
    EXPECT_EQ(r.scoped.pduTag, kTagInformRequestPdu);
    EXPECT_EQ(r.msgId, 4711);
    EXPECT_EQ(TrapOidOf(f.scopedPdu, r.scoped), kUpsOnBattery);
    EXPECT_EQ(f.receiver.KnownEngines(), 0u);  // Dovrel's own time is not learnt from others

    const Bytes responsePdu = Pdu(kTagResponsePdu, 99);
    uint8_t out[1500];
    const size_t size = f.receiver.WrapResponse(r, f.scopedPdu, responsePdu.data(), responsePdu.size(), 1300, out,
                                                sizeof out);
    ASSERT_NE(size, 0u);
    LocalizedKeys keys;
    ASSERT_TRUE(LocalizeUserKeys(TestCrypto(), *user, dovrelId.data(), dovrelId.size(), keys));
    UsmMessage response;
    const Bytes scoped = OpenReply(Bytes(out, out + size), response, user, &keys);
    const std::string firstSalt = ToHex(out + response.privParams.pos, response.privParams.size);
    EXPECT_EQ(response.msgId, 4711);
    EXPECT_EQ(response.Level(), SecurityLevel::AuthPriv);
    EXPECT_FALSE(response.Reportable());
    EXPECT_EQ(response.engineBoots, 4u);
    EXPECT_EQ(response.engineTime, 300u);
    EXPECT_EQ(ToHex(out + response.userName.pos, response.userName.size), ToHex(Bytes(user->name.begin(), user->name.end())));
    ScopedPdu pdu;
    ASSERT_TRUE(ReadScopedPdu(scoped.data(), scoped.size(), pdu));
    EXPECT_EQ(ToHex(scoped.data() + pdu.contextEngineId.pos, pdu.contextEngineId.size), ToHex(dovrelId));
    EXPECT_EQ(Bytes(scoped.begin() + pdu.pduPos, scoped.begin() + pdu.size), responsePdu);

    // Two responses never share a salt, so never an IV.
    const size_t again = f.receiver.WrapResponse(r, f.scopedPdu, responsePdu.data(), responsePdu.size(), 1300,
                                                 out, sizeof out);
    UsmMessage second;
    ASSERT_EQ(ReadUsmMessage(out, again, second), RefusalReason::None);
    EXPECT_EQ(second.privParams.size, 8u);
    EXPECT_NE(ToHex(out + second.privParams.pos, second.privParams.size), firstSalt);
    // A response larger than the sender can take is not made.
    EXPECT_EQ(f.receiver.WrapResponse(r, f.scopedPdu, responsePdu.data(), responsePdu.size(), 1300, out, 100), 0u);
    // Nor one for a trap.
    const Bytes trap = Build(Sent{user, dovrelId, 4, 300});
    const UsmResult t = f.Receive(trap, 1300);
    ASSERT_EQ(t.verdict, UsmVerdict::Notification);
    EXPECT_EQ(f.receiver.WrapResponse(t, f.scopedPdu, responsePdu.data(), responsePdu.size(), 1300, out, sizeof out),
              0u);
}

TEST(UsmReceiverInform, OutsideDovrelsTimeWindowGetsAnAuthenticatedReport) {
    Fixture f;
    const UsmUser* user = f.User("ups-sha");
    ASSERT_NE(user, nullptr);
    const Bytes dovrelId = f.DovrelId();
    LocalizedKeys keys;
    ASSERT_TRUE(LocalizeUserKeys(TestCrypto(), *user, dovrelId.data(), dovrelId.size(), keys));
    const struct { uint32_t boots; uint32_t time; bool timely; } kCases[] = {
        {4, 300, true}, {4, 450, true}, {4, 150, true}, {4, 451, false}, {4, 149, false}, {3, 300, false}, {5, 300, false},
    };
    for (const auto& c : kCases) {
        const Bytes inform = Build(Sent{user, dovrelId, c.boots, c.time, kTagInformRequestPdu});
        const UsmResult r = f.Receive(inform, 1300);
        if (c.timely) {
            EXPECT_EQ(r.verdict, UsmVerdict::Notification) << c.boots << "," << c.time;
            continue;
        }
        EXPECT_EQ(r.refusal, RefusalReason::NotInTimeWindow) << c.boots << "," << c.time;
        ASSERT_NE(r.replySize, 0u);
        UsmMessage report;
        const Bytes scoped = OpenReply(f.Reply(r), report, user, &keys);
        EXPECT_EQ(report.Level(), SecurityLevel::AuthNoPriv);
        EXPECT_EQ(report.engineBoots, 4u);
        EXPECT_EQ(report.engineTime, 300u);
        ScopedPdu pdu;
        EXPECT_EQ(ReportedCounter(scoped, pdu),
                  Bytes(std::begin(kUsmStatsNotInTimeWindows), std::end(kUsmStatsNotInTimeWindows)));
    }
    // A trap is not reportable: refused, and nothing sent.
    const UsmResult trap = f.Receive(Build(Sent{user, dovrelId, 3, 300}), 1300);
    EXPECT_EQ(trap.refusal, RefusalReason::NotInTimeWindow);
    EXPECT_EQ(trap.replySize, 0u);
}

TEST(UsmReceiverInform, ToAnotherEngineIsAnsweredWithDovrelsEngine) {
    Fixture f;
    const UsmUser* user = f.User("ups-sha");
    ASSERT_NE(user, nullptr);
    const Bytes old = FromHex("8000000005aaaaaaaaaaaaaaaaaaaaaaaa");
    const UsmResult r = f.Receive(Build(Sent{user, old, 4, 300, kTagInformRequestPdu}), 1300);
    ASSERT_EQ(r.verdict, UsmVerdict::Answered);
    UsmMessage report;
    const Bytes reply = f.Reply(r);
    const Bytes scoped = OpenReply(reply, report, nullptr, nullptr);
    EXPECT_EQ(ToHex(reply.data() + report.engineId.pos, report.engineId.size), "80000000051122334455667788990011aa");
    ScopedPdu pdu;
    EXPECT_EQ(ReportedCounter(scoped, pdu), Bytes(std::begin(kUsmStatsUnknownEngineIds), std::end(kUsmStatsUnknownEngineIds)));
    EXPECT_EQ(f.receiver.KnownEngines(), 0u);
}
