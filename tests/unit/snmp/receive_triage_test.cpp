// The receive thread's triage of captured datagrams: which INFORMs it answers
// at once, which copies it keeps from the intake pass, and what it makes of
// SNMPv3 messages.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/ipv4.h"
#include "core/work_gate.h"
#include "snmp/ber_tags.h"
#include "snmp/datagram_decoder.h"
#include "snmp/receive_triage.h"
#include "support/intake_state.h"
#include "support/usm_test_support.h"

namespace {

using usm_test::Bytes;

Bytes CapturedTrap(const std::string& name) {
    std::ifstream in(std::string(DOVREL_TEST_DATA) + "/traps/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kSender = "127.0.0.1";
constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1 in network byte order

TriageOutcome Handle(ReceiveTriage& triage, const Bytes& datagram, uint16_t port = 40000, uint64_t nowMs = 0) {
    return triage.Handle(datagram.data(), datagram.size(), DatagramSender{kLoopback, port, kSender}, nowMs);
}

}  // namespace

// Only an INFORM that the intake pass will announce is answered: v2c
// accepted, the community and the sender filter passed (its snmpTrapAddress.0,
// 10.1.2.3, is what the mask compares). Everything else is queued unanswered.
TEST(ReceiveTriage, AnswersOnlyInformsTheIntakeAccepts) {
    const Bytes inform = CapturedTrap("v2c_inform_device_a_event-0.bin");
    const Bytes trap = CapturedTrap("v2c_ups_on_battery-0.bin");
    const Bytes v1 = CapturedTrap("ups_on_battery-3.bin");
    ASSERT_FALSE(inform.empty());

    TrapSettings settings;
    settings.acceptV2c = true;
    {
        ReceiveTriage triage(settings);
        const TriageOutcome answered = Handle(triage, inform);
        EXPECT_TRUE(answered.queue);
        ASSERT_GT(answered.replySize, 0u);
        CommunityMessage reply;
        ASSERT_TRUE(ReadCommunityMessage(answered.reply, answered.replySize, reply));
        EXPECT_EQ(answered.reply[reply.pduPos], kTagResponsePdu);
        for (const Bytes* other : {&trap, &v1}) {
            const TriageOutcome outcome = Handle(triage, *other);
            EXPECT_TRUE(outcome.queue);
            EXPECT_EQ(outcome.replySize, 0u);
        }
    }

    struct Refusal {
        const char* what;
        bool acceptV2c;
        std::string community, prohibition, target;
    };
    for (const Refusal& r : {Refusal{"v2c not accepted", false, "vandor", "", ""},
                             Refusal{"wrong community", true, "other", "", ""},
                             Refusal{"masked sender", true, "vandor", "255.255.255.0", "10.1.3.0"},
                             Refusal{"not the target", true, "vandor", "", "127.0.0.2"}}) {
        TrapSettings refusing = settings;
        refusing.acceptV2c = r.acceptV2c;
        refusing.community = r.community;
        refusing.prohibitionText = r.prohibition;
        refusing.prohibitionAddress = InetAddr(r.prohibition.c_str());
        refusing.targetText = r.target;
        refusing.targetAddress = InetAddr(r.target.c_str());
        ReceiveTriage triage(refusing);
        const TriageOutcome outcome = Handle(triage, inform);
        EXPECT_EQ(outcome.replySize, 0u) << r.what;
        EXPECT_TRUE(outcome.queue) << r.what << ": the intake pass refuses and counts it";
    }
}

// A copy from the same port within a minute is answered but not queued; from
// another port, or a minute later, it is another INFORM.
TEST(ReceiveTriage, ResendsAreAnsweredAndQueuedOnce) {
    TrapSettings settings;
    settings.acceptV2c = true;
    ReceiveTriage triage(settings);
    const Bytes inform = CapturedTrap("v2c_inform_device_a_event-0.bin");
    EXPECT_TRUE(Handle(triage, inform, 40000, 1000).queue);
    const TriageOutcome resend = Handle(triage, inform, 40000, 59999);
    EXPECT_FALSE(resend.queue);
    EXPECT_GT(resend.replySize, 0u);
    EXPECT_TRUE(Handle(triage, inform, 40001, 2000).queue);
    EXPECT_TRUE(Handle(triage, inform, 40000, 61000).queue);
}

// SNMPv3 on the receive thread: a trap that the user-based security model
// accepts is queued as its plaintext PDU, which the intake pass announces as
// the SNMPv1 twin; a refusal keeps its reason and queues nothing; without a
// USM receiver (no users configured) a v3 datagram is queued as it came.
TEST(ReceiveTriage, SnmpV3TrapsQueuedAsTheirPduRefusalsWithTheirReason) {
    using namespace usm_test;
    const Bytes current = Capture("netsnmp_authpriv_sha_aes_b7_t5000.bin");
    const Bytes replayed = Capture("netsnmp_authpriv_sha_aes_b7_t4800.bin");  // 200 s older
    TrapSettings settings;
    ReceiveTriage triage(settings);
    EXPECT_EQ(Handle(triage, current).form, PacketForm::Datagram);
    EXPECT_EQ(Handle(triage, current).bytes, current.data());

    Fixture usm;
    triage.SetUsmReceiver(&usm.receiver);
    const TriageOutcome accepted = Handle(triage, current, 40000, 100000);
    ASSERT_TRUE(accepted.queue);
    EXPECT_EQ(accepted.form, PacketForm::V3Pdu);
    EXPECT_EQ(accepted.replySize, 0u);
    IntakeState intake;
    RawPacketQueue raw;
    RawPacket* packet = new RawPacket;
    packet->senderAddress = kSender;
    std::copy(accepted.bytes, accepted.bytes + accepted.size, packet->bytes);
    packet->length = static_cast<int32_t>(accepted.size);
    packet->form = accepted.form;
    raw.Append(packet);
    OpenGate gate;
    ASSERT_EQ(RunIntakePass(raw, intake, gate), 1);
    const TrapEvent* event = intake.pendingEvents.Head()->item;
    EXPECT_EQ(event->messageNumber, 3) << "upsTrapOnBattery, as its SNMPv1 twin";
    EXPECT_EQ(event->fromText, kSender);

    const TriageOutcome replay = Handle(triage, replayed, 40000, 101000);
    EXPECT_FALSE(replay.queue);
    EXPECT_EQ(replay.refusal, RefusalReason::NotInTimeWindow);
}
