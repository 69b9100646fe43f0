// SNMPv2c notifications from net-snmp's snmptrap and snmpinform on a loopback
// socket: every SNMPv1 trap of the catalogue, sent again as the v2c
// notification RFC 3584 3.1 makes of it, gives the same alert; a resent
// INFORM is answered but announced once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_receiver.h"
#include "snmp/datagram_decoder.h"
#include "snmp/receive_triage.h"

namespace {

const char kTools[] = " -M /dev/null -On ";

const char kV1[] = "-v 1 -c vandor";
const char kV2c[] = "-v 2c -c vandor";

std::string Command(const std::string& tool, const std::string& options, const LoopbackReceiver& receiver,
                    const std::string& args) {
    return tool + kTools + options + " 127.0.0.1:" + std::to_string(receiver.Port()) + " " + args + " >/dev/null 2>&1";
}

// Runs one net-snmp command towards the receiver and decodes what arrives.
DecodedDatagram SendAndDecode(const std::string& tool, const std::string& options, const std::string& args) {
    DecodedDatagram d;
    LoopbackReceiver receiver;
    EXPECT_NE(receiver.Port(), 0) << "no free port in 20000..20999";
    if (receiver.Port() == 0) return d;
    const std::string command = Command(tool, options, receiver, args);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<uint8_t> datagram;
    EXPECT_TRUE(receiver.Receive(datagram)) << command;
    return DecodeDatagram(datagram.data(), datagram.size(), "vandor", true);
}

// One SNMPv1 trap: snmptrap -v 1 ENTERPRISE AGENT GENERIC SPECIFIC UPTIME BINDINGS.
struct V1Trap {
    std::string enterprise;
    std::string agent;
    int generic;
    std::string specific;
    std::string bindings;
    int32_t number;  // what the v1 trap gives
};

std::string V1Args(const V1Trap& t) {
    return t.enterprise + " " + t.agent + " " + std::to_string(t.generic) + " " + t.specific +
           " 4321 " + t.bindings;
}

// The same trap as SNMPv2c, by RFC 3584 3.1: snmpTrapOID from the enterprise
// and the codes, the v1 bindings, then the agent address as snmpTrapAddress.0
// and, for the generic traps, the enterprise as snmpTrapEnterprise.0.
std::string V2cArgs(const V1Trap& t) {
    const std::string trapOid = t.generic == 6 ? t.enterprise + ".0." + t.specific
                                               : "1.3.6.1.6.3.1.1.5." + std::to_string(t.generic + 1);
    std::string args = "4321 " + trapOid + " " + t.bindings +
                       " 1.3.6.1.6.3.18.1.3.0 a " + t.agent;
    if (t.generic != 6) args += " 1.3.6.1.6.3.1.1.4.3.0 o " + t.enterprise;
    return args;
}

const std::string kAlarmDescr = "1.3.6.1.2.1.33.1.6.2.1.2.1 o 1.3.6.1.2.1.33.1.6.3.";
const std::string kOutlet = "1.3.6.1.4.1.2134.4.2.4.2.1.1.3 i 3 1.3.6.1.4.1.2134.4.2.4.2.1.6.3 s \"rack-3 lamp\"";

// The SNMPv1 traps of tests/data/traps/README.txt, the catalogue's rules and edge values.
const V1Trap kCatalogue[] = {
    {"1.3.6.1.4.1.9999", "10.0.0.5", 0, "0", "", 2},
    {"1.3.6.1.4.1.9999", "10.0.0.5", 0, "0", "1.3.6.1.2.1.1.5.0 s host", 2},
    {"1.3.6.1.2.1.33.2", "192.168.1.10", 6, "1", "", 3},
    {"1.3.6.1.2.1.33.2", "192.168.1.10", 6, "1", kAlarmDescr + "9.0", 3},
    {"1.3.6.1.2.1.33.2", "192.168.1.10", 6, "3", kAlarmDescr + "2.0", 14},
    {"1.3.6.1.2.1.33.2", "192.168.1.11", 6, "3", kAlarmDescr + "1.0", 12},
    {"1.3.6.1.2.1.33.2", "192.168.1.11", 6, "3", kAlarmDescr + "17.0", 44},
    {"1.3.6.1.2.1.33.2", "192.168.1.11", 6, "3", kAlarmDescr + "24.0", 58},
    {"1.3.6.1.2.1.33.2", "192.168.1.11", 6, "3", kAlarmDescr + "25.0", 0},
    {"1.3.6.1.2.1.33.2", "192.168.1.11", 6, "3", kAlarmDescr + "2", 0},
    {"1.3.6.1.2.1.33.2", "192.168.1.11", 6, "3",
     "1.3.6.1.2.1.1.3.0 t 5 1.3.6.1.2.1.33.1.6.2.1.2.7 o 1.3.6.1.2.1.33.1.6.3.5.0", 20},
    {"1.3.6.1.4.1.2134.4.5", "172.16.0.7", 6, "2", kOutlet, 120},
    {"1.3.6.1.4.1.2134.4.5", "172.16.0.7", 6, "4", kOutlet, 124},
    {"1.3.6.1.4.1.2134.4.5", "172.16.0.7", 6, "8", kOutlet, 130},
    {"1.3.6.1.4.1.2134.4.5", "172.16.0.7", 6, "9", kOutlet, 1},
    {"1.3.6.1.4.1.2134.4.5", "172.16.0.7", 6, "8",
     "1.3.6.1.4.1.2134.4.2.4.2.1.1.12 i 300 1.3.6.1.4.1.2134.4.2.4.2.1.6.12 s \"feed B\"", 130},
    {"1.3.6.1.4.1.2134.4.5", "172.16.0.7", 6, "2", "1.3.6.1.4.1.2134.4.2.4.2.1.1.12 i 300", 1},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "1", "", 110},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "2", "", 110},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "3", "", 113},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "4", "", 114},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "5", "", 115},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "6", "", 116},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "7", "", 117},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "8", "", 1},
    {"1.3.6.1.4.1.2134.1.1.1", "10.1.2.3", 4, "0", "", 5},
    {"1.3.6.1.4.1.2134.1.1.1", "10.1.2.3", 1, "0", "", 6},
    {"1.3.6.1.4.1.9999", "10.1.2.3", 1, "0", "", 0},
    {"1.3.6.1.4.1.9999", "10.9.8.7", 6, "17", "1.3.6.1.2.1.1.3.0 t 5 1.3.6.1.2.1.1.5.0 s host", 1},
    {"1.3.6.1.4.1.9999", "10.9.8.7", 2, "0", "1.3.6.1.2.1.2.2.1.1.3 i 3", 1},
    {"1.3.6.1.4.1.9999", "10.9.8.7", 3, "0", "", 0},
    // Specific codes beyond one octet: the v1 receiver reads the first octet.
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "1000", "", 113},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "200", "", 1},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "257", kOutlet, 120},
    {"1.3.6.1.2.1.33.2", "10.1.2.3", 6, "2147483648", "", 0},
    {"1.3.6.1.2.1.33.2", "10.1.2.3", 6, "3000000000", "", 0},
    {"1.3.6.1.4.1.2134.4.5", "10.1.2.3", 6, "4294967295", "", 1},
};

void ExpectSameAlert(const DecodedDatagram& v1, const DecodedDatagram& v2c, const std::string& what) {
    EXPECT_EQ(v2c.messageNumber, v1.messageNumber) << what;
    EXPECT_EQ(v2c.reason, v1.reason) << what;
    EXPECT_EQ(v2c.fields.specificCode, v1.fields.specificCode) << what;
    EXPECT_EQ(v2c.fields.outletNumber, v1.fields.outletNumber) << what;
    EXPECT_EQ(v2c.fields.outletName, v1.fields.outletName) << what;
    EXPECT_EQ(v2c.fields.agentAddress, v1.fields.agentAddress) << what;
}

// snmpinform runs on a thread of its own while the test receives and answers.
class Inform {
public:
    Inform(const std::string& options, const std::string& args) {
        command_ = Command("snmpinform", options, receiver_, args);
        thread_ = std::thread([this] { status_ = std::system(command_.c_str()); });
    }
    ~Inform() {
        if (thread_.joinable()) thread_.join();
    }
    Inform(const Inform&) = delete;
    Inform& operator=(const Inform&) = delete;

    // The next copy of the inform, through the receive thread's triage.
    TriageOutcome Triage(ReceiveTriage& triage, uint64_t nowMs) {
        datagram_.clear();
        EXPECT_TRUE(receiver_.Receive(datagram_)) << command_;
        const std::string sender = "127.0.0.1";
        const DatagramSender from{receiver_.SenderAddress(), receiver_.SenderPort(), sender};
        return triage.Handle(datagram_.data(), datagram_.size(), from, nowMs);
    }

    void Answer(const TriageOutcome& outcome) { ASSERT_TRUE(receiver_.Answer(outcome.reply, outcome.replySize)); }

    // snmpinform's exit status.
    int Status() {
        thread_.join();
        return status_;
    }

private:
    LoopbackReceiver receiver_;
    std::string command_;
    std::thread thread_;
    int status_ = -1;
    std::vector<uint8_t> datagram_;
};

}  // namespace

TEST(SnmptrapV2c, EveryV1TrapOfTheCatalogueGivesTheSameAlertAsV2c) {
    for (const V1Trap& t : kCatalogue) {
        const DecodedDatagram v1 = SendAndDecode("snmptrap", kV1, V1Args(t));
        ASSERT_EQ(v1.version, SnmpVersion::V1) << V1Args(t);
        EXPECT_EQ(v1.messageNumber, t.number) << V1Args(t);
        const DecodedDatagram v2c = SendAndDecode("snmptrap", kV2c, V2cArgs(t));
        ASSERT_EQ(v2c.version, SnmpVersion::V2c) << V2cArgs(t);
        EXPECT_FALSE(v2c.answerInform);
        ExpectSameAlert(v1, v2c, V2cArgs(t));
    }
}

// The receive thread's triage, as the socket runs it: the first copy is left
// unanswered (as if the answer were lost), so snmpinform sends it again after
// 1 s; the resend is answered, and only the first copy is queued.
TEST(SnmpinformV2c, AResendIsAnsweredButNotAnnouncedAgain) {
    TrapSettings settings;
    settings.acceptV2c = true;
    ReceiveTriage triage(settings);
    Inform inform(std::string(kV2c) + " -t 1 -r 1", "1234 1.3.6.1.2.1.33.2.1 1.3.6.1.6.3.18.1.3.0 a 192.168.1.10");
    const TriageOutcome first = inform.Triage(triage, 0);
    EXPECT_TRUE(first.queue);
    EXPECT_GT(first.replySize, 0u);
    const TriageOutcome resend = inform.Triage(triage, 1000);
    EXPECT_FALSE(resend.queue) << "a resend would be announced twice";
    ASSERT_GT(resend.replySize, 0u);
    inform.Answer(resend);
    EXPECT_EQ(inform.Status(), 0);
}
