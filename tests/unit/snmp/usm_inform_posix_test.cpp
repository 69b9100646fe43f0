// INFORMs from real managers, net-snmp's snmpinform and pysnmp, answered
// on a loopback socket by the receive thread's triage over the USM receiver:
// engine discovery with a Report, a wrong engine time corrected by a Report,
// and the Response; each INFORM is queued for announcing once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "snmp/datagram_decoder.h"
#include "snmp/receive_triage.h"
#include "support/loopback_receiver.h"
#include "support/usm_test_support.h"

using namespace usm_test;

namespace {

int64_t NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Exchange {
    int status = -1;
    int informs = 0;
    uint32_t discoveries = 0;
    uint32_t wrongTimes = 0;
};

// Runs command (with PORT replaced) while the receiver answers what it sends.
Exchange Serve(UsmReceiver& receiver, std::string command) {
    Exchange exchange;
    LoopbackReceiver peer;
    EXPECT_NE(peer.Port(), 0);
    if (peer.Port() == 0) return exchange;
    command.replace(command.find("PORT"), 4, std::to_string(peer.Port()));
    std::atomic<bool> done{false};
    std::thread sender([&] {
        exchange.status = std::system((command + " >/dev/null 2>&1").c_str());
        done = true;
    });
    TrapSettings settings;
    ReceiveTriage triage(settings);
    triage.SetUsmReceiver(&receiver);
    const std::string senderText = "127.0.0.1";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done && std::chrono::steady_clock::now() < deadline) {
        Bytes datagram;
        if (!peer.Receive(datagram, 200)) continue;
        const DatagramSender source{peer.SenderAddress(), peer.SenderPort(), senderText};
        const TriageOutcome o = triage.Handle(datagram.data(), datagram.size(), source, NowSeconds() * 1000);
        if (o.replySize) peer.Answer(o.reply, o.replySize);
        if (!o.queue) continue;
        EXPECT_EQ(o.form, PacketForm::V3Pdu);
        const DecodedDatagram d = DecodeV3Pdu(o.bytes, o.size);
        EXPECT_TRUE(d.pdu.inform);
        EXPECT_EQ(d.messageNumber, 3) << "upsTrapOnBattery, as its SNMPv1 twin";
        ++exchange.informs;
    }
    sender.join();
    exchange.discoveries = receiver.UnknownEngineIds();
    exchange.wrongTimes = receiver.NotInTimeWindows();
    return exchange;
}

UsmReceiver Dovrel(uint32_t boots = 12) {
    LocalEngine engine = DovrelEngine(boots, NowSeconds() - 500);
    return UsmReceiver(TestCrypto(), AllUsers(), engine);
}

const char kSnmpinform[] = "snmpinform -M /dev/null -On -v 3 -t 2 -r 3 ";
const char kInformArgs[] = " 127.0.0.1:PORT 4242 1.3.6.1.2.1.33.2.0.1 1.3.6.1.2.1.33.1.2.3.0 i 15";

}  // namespace

// SHA with AES is the e2e suite's snmpinform -v 3, through the real program.
TEST(UsmInformExchange, SnmpinformDiscoversDovrelAndGetsItsResponse) {
    const std::string users[] = {
        "-u ups-sha256 -l authPriv -a SHA-256 -A sha256-auth-pass -x AES -X sha256-priv-pass",
        "-u ups-md5 -l authNoPriv -a MD5 -A md5-auth-pass",
    };
    for (const std::string& user : users) {
        UsmReceiver receiver = Dovrel();
        const Exchange e = Serve(receiver, kSnmpinform + user + kInformArgs);
        EXPECT_EQ(e.status, 0) << user;
        EXPECT_EQ(e.informs, 1) << user;
        EXPECT_GE(e.discoveries, 1u) << user;
    }
}

TEST(UsmInformExchange, SnmpinformWithAWrongEngineTimeIsCorrectedByTheReport) {
    // Told Dovrel's engine ID, but boots and time from an earlier start.
    UsmReceiver receiver = Dovrel(12);
    const std::string id = ToHex(receiver.Engine().id, receiver.Engine().idSize);
    const Exchange e = Serve(receiver, std::string(kSnmpinform) + "-e 0x" + id + " -Z 11,40000 " +
                                           "-u ups-sha -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass" +
                                           kInformArgs);
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.informs, 1);
    EXPECT_EQ(e.discoveries, 0u);
    EXPECT_GE(e.wrongTimes, 1u);
}

TEST(UsmInformExchange, PysnmpInformWithSha512) {
    // pysnmp's own discovery and HMAC-SHA-512, an implementation apart from net-snmp's.
    if (std::system("/usr/bin/python3 -c 'import pysnmp' >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3-pysnmp4 missing";
    UsmReceiver receiver = Dovrel();
    const Exchange e = Serve(receiver, std::string("/usr/bin/python3 ") + DOVREL_TEST_DATA +
                                           "/v3/pysnmp_send_trap.py PORT 8000000005aabbccdd0a0b0c0d ups-sha512 "
                                           "SHA-512 sha512-auth-pass AES sha512-priv-pass inform");
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.informs, 1);
    EXPECT_GE(e.discoveries, 1u);
}
