// INFORMs from real managers, net-snmp's snmpinform and pysnmp, answered
// on a loopback socket by the receive thread's triage over the USM receiver:
// engine discovery with a Report, a wrong engine time corrected by a Report,
// and the Response; each INFORM is queued for announcing once.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "snmp/datagram_decoder.h"
#include "snmp/receive_triage.h"
#include "support/usm_test_support.h"

using namespace usm_test;

namespace {

int64_t NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A UDP socket on the first free port of 21000..21999 of 127.0.0.1.
class LoopbackPeer {
public:
    LoopbackPeer() {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        const int start = static_cast<int>(getpid() % 1000);
        for (int i = 0; fd_ >= 0 && i < 1000; ++i) {
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            addr.sin_port = htons(static_cast<uint16_t>(21000 + (start + i) % 1000));
            if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
                port_ = 21000 + (start + i) % 1000;
                break;
            }
        }
    }
    ~LoopbackPeer() {
        if (fd_ >= 0) close(fd_);
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;
    int Port() const { return port_; }

    // One datagram within 200 ms, with the address it came from.
    bool Receive(Bytes& datagram, sockaddr_in& from) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 200) != 1) return false;
        datagram.resize(1500);
        socklen_t length = sizeof from;
        const ssize_t n = recvfrom(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) return false;
        datagram.resize(static_cast<size_t>(n));
        return true;
    }
    void Send(const uint8_t* data, size_t size, const sockaddr_in& to) {
        sendto(fd_, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

struct Exchange {
    int status = -1;
    int informs = 0;
    uint32_t discoveries = 0;
    uint32_t wrongTimes = 0;
};

// Runs command (with PORT replaced) while the receiver answers what it sends.
Exchange Serve(UsmReceiver& receiver, std::string command) {
    Exchange exchange;
    LoopbackPeer peer;
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
        sockaddr_in from{};
        if (!peer.Receive(datagram, from)) continue;
        const DatagramSender source{from.sin_addr.s_addr, from.sin_port, senderText};
        const TriageOutcome o = triage.Handle(datagram.data(), datagram.size(), source, NowSeconds() * 1000);
        if (o.replySize) peer.Send(o.reply, o.replySize, from);
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

TEST(UsmInformExchange, SnmpinformDiscoversDovrelAndGetsItsResponse) {
    const std::string users[] = {
        "-u ups-sha -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass",
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
