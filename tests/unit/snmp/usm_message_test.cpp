// The SNMPv3 message reader against real and deliberately malformed
// messages, and the writer that builds Dovrel's own.
#include <gtest/gtest.h>

#include "support/usm_test_support.h"

using namespace usm_test;

namespace {

// A message with every field given, for the reader's checks.
struct Fields {
    int64_t version = 3;
    int64_t msgId = 1;
    int64_t maxSize = 1500;
    Bytes flags = {0x00};
    int64_t model = 3;
    Bytes engineId = FromHex("8000000005aabbccdd01020304");
    int64_t boots = 1;
    int64_t time = 1;
    std::string user = "ups-plain";
    Bytes extraSecurityItem;
    Bytes scoped = Bytes{0x30, 0x07, 0x04, 0x00, 0x04, 0x00, 0xA7, 0x01, 0x00};
};

Bytes Message(const Fields& f) {
    uint8_t buffer[600];
    BerBackWriter w(buffer, sizeof buffer);
    w.Bytes(f.scoped.data(), f.scoped.size());
    const size_t security = w.Size();
    w.Bytes(f.extraSecurityItem.data(), f.extraSecurityItem.size());
    w.Octets(kTagOctetString, nullptr, 0);
    w.Octets(kTagOctetString, nullptr, 0);
    w.Octets(kTagOctetString, reinterpret_cast<const uint8_t*>(f.user.data()), f.user.size());
    w.Integer(kTagInteger, f.time);
    w.Integer(kTagInteger, f.boots);
    w.Octets(kTagOctetString, f.engineId.data(), f.engineId.size());
    w.Wrap(kTagSequence, security);
    w.Wrap(kTagOctetString, security);
    const size_t header = w.Size();
    w.Integer(kTagInteger, f.model);
    w.Octets(kTagOctetString, f.flags.data(), f.flags.size());
    w.Integer(kTagInteger, f.maxSize);
    w.Integer(kTagInteger, f.msgId);
    w.Wrap(kTagSequence, header);
    w.Integer(kTagInteger, f.version);
    w.Wrap(kTagSequence, 0);
    EXPECT_TRUE(w.Ok());
    return Bytes(w.Front(), w.Front() + w.Size());
}

RefusalReason Read(const Bytes& b) {
    UsmMessage m;
    return ReadUsmMessage(b.data(), b.size(), m);
}

}  // namespace

TEST(UsmMessageReader, ReadsNetSnmpsTrap) {
    const Bytes b = Capture("netsnmp_authpriv_sha_aes_b7_t5000.bin");
    UsmMessage m;
    ASSERT_EQ(ReadUsmMessage(b.data(), b.size(), m), RefusalReason::None);
    EXPECT_EQ(m.msgFlags, kMsgFlagAuth | kMsgFlagPriv);
    EXPECT_EQ(m.Level(), SecurityLevel::AuthPriv);
    EXPECT_FALSE(m.Reportable());
    EXPECT_EQ(ToHex(b.data() + m.engineId.pos, m.engineId.size), "8000000005aabbccdd01020304");
    EXPECT_EQ(m.engineBoots, 7u);
    EXPECT_EQ(m.engineTime, 5000u);
    EXPECT_EQ(std::string(b.begin() + m.userName.pos, b.begin() + m.userName.pos + m.userName.size), "ups-sha");
    EXPECT_EQ(m.authParams.size, 12u);
    EXPECT_EQ(m.privParams.size, 8u);
    EXPECT_TRUE(m.encrypted);
    EXPECT_EQ(m.data.pos + m.data.size, b.size());
    EXPECT_EQ(m.msgMaxSize, 65507);

    for (size_t n = 0; n < b.size(); ++n) EXPECT_EQ(Read(Bytes(b.begin(), b.begin() + n)), RefusalReason::NotDecodable) << n;
    Bytes longer = b;
    longer.push_back(0);
    EXPECT_EQ(Read(longer), RefusalReason::NotDecodable);
    EXPECT_EQ(Read(Capture("netsnmp_noauthnopriv_plain.bin")), RefusalReason::None);
    const Bytes v1 = Capture("../traps/cold_start-2.bin");
    EXPECT_EQ(Read(v1), RefusalReason::NotDecodable);
}

TEST(UsmMessageReader, RefusesWhatTheRfcsRuleOut) {
    EXPECT_EQ(Read(Message(Fields{})), RefusalReason::None);
    const auto with = [](auto change) {
        Fields f;
        change(f);
        return Read(Message(f));
    };
    EXPECT_EQ(with([](Fields& f) { f.model = 1; }), RefusalReason::UnsupportedSecurity);
    EXPECT_EQ(with([](Fields& f) { f.version = 1; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.flags = {kMsgFlagPriv}; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.flags = {0, 0}; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.flags = {}; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.maxSize = 483; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.maxSize = 484; }), RefusalReason::None);
    EXPECT_EQ(with([](Fields& f) { f.msgId = -1; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.msgId = 2147483648LL; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.msgId = 2147483647; }), RefusalReason::None);
    EXPECT_EQ(with([](Fields& f) { f.boots = -5; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.engineId = FromHex("80000000"); }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.engineId = Bytes(33, 1); }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.engineId = Bytes(32, 1); }), RefusalReason::None);
    EXPECT_EQ(with([](Fields& f) { f.engineId.clear(); }), RefusalReason::None);  // discovery
    EXPECT_EQ(with([](Fields& f) { f.user = std::string(33, 'u'); }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.extraSecurityItem = {0x04, 0x00}; }), RefusalReason::NotDecodable);
    // Plaintext data must be a SEQUENCE filling the rest; encrypted data an OCTET STRING.
    EXPECT_EQ(with([](Fields& f) { f.scoped = {0x04, 0x01, 0x00}; }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) { f.scoped.push_back(0); }), RefusalReason::NotDecodable);
    EXPECT_EQ(with([](Fields& f) {
                  f.flags = {kMsgFlagAuth | kMsgFlagPriv};
                  f.scoped = {0x04, 0x00};
              }),
              RefusalReason::NotDecodable);
}

TEST(UsmMessageReader, ScopedPdu) {
    // contextEngineID, contextName "ctx", an InformRequest with request-id -2.
    const Bytes scoped = {0x30, 0x15, 0x04, 0x05, 1, 2, 3, 4, 5, 0x04, 0x03, 'c', 't', 'x',
                          0xA6, 0x07, 0x02, 0x01, 0xFE, 0x02, 0x00, 0x30, 0x00, 0xEE, 0xEE};
    ScopedPdu pdu;
    ASSERT_TRUE(ReadScopedPdu(scoped.data(), scoped.size(), pdu));  // decrypted data may run on
    EXPECT_EQ(pdu.size, 23u);
    EXPECT_EQ(pdu.contextEngineId.pos, 4u);
    EXPECT_EQ(pdu.contextEngineId.size, 5u);
    EXPECT_EQ(pdu.contextName.size, 3u);
    EXPECT_EQ(pdu.pduPos, 14u);
    EXPECT_EQ(pdu.pduTag, kTagInformRequestPdu);
    EXPECT_EQ(pdu.requestId, -2);
    for (size_t n = 0; n < 23; ++n) EXPECT_FALSE(ReadScopedPdu(scoped.data(), n, pdu)) << n;
    Bytes getBulk = scoped;
    getBulk[14] = 0xA5;
    EXPECT_TRUE(ReadScopedPdu(getBulk.data(), getBulk.size(), pdu));
    Bytes notAPdu = scoped;
    notAPdu[14] = 0xA9;
    EXPECT_FALSE(ReadScopedPdu(notAPdu.data(), notAPdu.size(), pdu));
}

TEST(UsmMessageWriter, BuildsWhatTheReaderReadsBack) {
    const UsmUserTable users = AllUsers();
    const Bytes engineId = FromHex("8000000005aabbccdd01020304");
    const SecurityLevel levels[] = {SecurityLevel::NoAuthNoPriv, SecurityLevel::AuthNoPriv, SecurityLevel::AuthPriv};
    const UsmUser* userOf[] = {&users.users[6], &users.users[0], &users.users[5]};
    for (int i = 0; i < 3; ++i) {
        Sent sent{userOf[i], engineId, 2147483647, 300, kTagInformRequestPdu, levels[i], 2147483647, -7};
        const Bytes b = Build(sent);
        UsmMessage m;
        ASSERT_EQ(ReadUsmMessage(b.data(), b.size(), m), RefusalReason::None) << i;
        EXPECT_EQ(m.Level(), levels[i]);
        EXPECT_TRUE(m.Reportable());
        EXPECT_EQ(m.msgId, 2147483647);
        EXPECT_EQ(m.engineBoots, 2147483647u);
        EXPECT_EQ(m.engineTime, 300u);
        EXPECT_EQ(m.authParams.size, MacLength(userOf[i]->auth));
        EXPECT_EQ(m.privParams.size, levels[i] == SecurityLevel::AuthPriv ? 8u : 0u);
        EXPECT_EQ(ToHex(b.data() + m.privParams.pos, m.privParams.size),
                  levels[i] == SecurityLevel::AuthPriv ? "0102030405060708" : "");
        if (levels[i] != SecurityLevel::AuthPriv) {
            ScopedPdu pdu;
            ASSERT_TRUE(ReadScopedPdu(b.data() + m.data.pos, m.data.size, pdu));
            EXPECT_EQ(pdu.requestId, -7);
        }
    }
    // No room: nothing is written past the buffer, and no size is returned.
    OutgoingMessage m;
    const Bytes pdu = Pdu(kTagReportPdu, 1);
    m.pdu = pdu.data();
    m.pduSize = pdu.size();
    uint8_t small[40];
    EXPECT_EQ(BuildUsmMessage(TestCrypto(), m, small, sizeof small), 0u);
}

TEST(UsmMessageWriter, IntegersAndLengthsInTheirShortestForm) {
    const struct { int64_t value; const char* octets; } kIntegers[] = {
        {0, "020100"},          {127, "02017f"},          {128, "02020080"},     {255, "020200ff"},
        {256, "02020100"},      {-1, "0201ff"},           {-128, "020180"},      {-129, "0202ff7f"},
        {2147483647, "02047fffffff"}, {4294967295LL, "020500ffffffff"}, {-2147483648LL, "020480000000"},
    };
    for (const auto& c : kIntegers) {
        uint8_t buffer[16];
        BerBackWriter w(buffer, sizeof buffer);
        w.Integer(kTagInteger, c.value);
        EXPECT_EQ(ToHex(w.Front(), w.Size()), c.octets) << c.value;
    }
    const struct { size_t length; const char* header; } kLengths[] = {
        {0, "0400"}, {127, "047f"}, {128, "048180"}, {255, "0481ff"}, {256, "04820100"}, {1400, "04820578"},
    };
    for (const auto& c : kLengths) {
        uint8_t buffer[8];
        BerBackWriter w(buffer, sizeof buffer);
        w.Header(kTagOctetString, c.length);
        EXPECT_EQ(ToHex(w.Front(), w.Size()), c.header) << c.length;
    }
    uint8_t buffer[3];
    BerBackWriter w(buffer, sizeof buffer);
    w.Integer(kTagInteger, 256);
    EXPECT_FALSE(w.Ok());
    w.Integer(kTagInteger, 0);
    EXPECT_FALSE(w.Ok());  // once failed, for good
}
