// The receive thread's triage of captured datagrams: which INFORMs it answers
// at once, and which copies it keeps from the intake pass.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/ipv4.h"
#include "snmp/ber_tags.h"
#include "snmp/datagram_decoder.h"
#include "snmp/receive_triage.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Captured(const std::string& name) {
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
    const Bytes inform = Captured("v2c_inform_device_a_event-0.bin");
    const Bytes trap = Captured("v2c_ups_on_battery-0.bin");
    const Bytes v1 = Captured("ups_on_battery-3.bin");
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
    const Bytes inform = Captured("v2c_inform_device_a_event-0.bin");
    EXPECT_TRUE(Handle(triage, inform, 40000, 1000).queue);
    const TriageOutcome resend = Handle(triage, inform, 40000, 59999);
    EXPECT_FALSE(resend.queue);
    EXPECT_GT(resend.replySize, 0u);
    EXPECT_TRUE(Handle(triage, inform, 40001, 2000).queue);
    EXPECT_TRUE(Handle(triage, inform, 40000, 61000).queue);
}
