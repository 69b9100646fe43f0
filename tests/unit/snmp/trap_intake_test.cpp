#include "snmp/trap_intake.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/intake_state.h"
#include "core/ipv4.h"
#include "core/work_gate.h"
#include "support/trap_bytes.h"

using namespace trap_bytes;

namespace {

Bytes ColdStartFrom(const Bytes& agent) {
    TrapSpec t;
    t.agent = agent;
    t.generic = {0};
    return Trap(t);
}

Bytes OutletTrapNamed(const std::string& name, uint8_t specific) {
    TrapSpec t;
    t.enterprise = kEnterpriseA;
    t.agent = {172, 16, 0, 7};
    t.specific = {specific};
    t.bindings = Cat({Binding(kOutletNumber1, Int({4})), Binding(kOutletName1, Str(name))});
    return Trap(t);
}

RawPacket* MakePacket(const Bytes& bytes, const std::string& sender, std::time_t arrival = 1000) {
    auto* p = new RawPacket;
    p->arrivalTime = arrival;
    p->senderAddress = sender;
    std::copy(bytes.begin(), bytes.end(), p->bytes);
    p->length = static_cast<int32_t>(bytes.size());
    return p;
}

std::vector<const TrapEvent*> Events(IntakeState& app) {
    std::vector<const TrapEvent*> out;
    for (auto* n = app.pendingEvents.Head(); n; n = app.pendingEvents.Next(n)) out.push_back(n->item);
    return out;
}

std::vector<std::string> FromTexts(IntakeState& app) {
    std::vector<std::string> out;
    for (const TrapEvent* e : Events(app)) out.push_back(e->fromText);
    return out;
}

void SetTarget(IntakeState& app, const std::string& text) {
    app.targetText = text;
    app.targetAddress = InetAddr(text.c_str());
}
void SetProhibition(IntakeState& app, const std::string& text) {
    app.prohibitionText = text;
    app.prohibitionAddress = InetAddr(text.c_str());
}

// Lets a fixed number of packets through, counting every call.
class CountingGate : public WorkGate {
public:
    explicit CountingGate(int allowed) : allowed_(allowed) {}
    bool Enter() override {
        ++enters;
        if (inside) ADD_FAILURE() << "Enter while a packet is under way";
        if (enters > allowed_) return false;
        inside = true;
        return true;
    }
    void Leave() override {
        if (!inside) ADD_FAILURE() << "Leave without Enter";
        inside = false;
        ++leaves;
    }
    int enters = 0;
    int leaves = 0;
    bool inside = false;

private:
    int allowed_;
};

}  // namespace

TEST(TrapIntake, QueuesDecodableTrapsInArrivalOrderAndFreesEveryPacket) {
    IntakeState app;
    RawPacketQueue raw;
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 1}), "127.0.0.1", 101));
    raw.Append(MakePacket({0x30, 0x00}, "127.0.0.1", 102));  // not a trap
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 2}), "127.0.0.1", 103));
    raw.Append(MakePacket({}, "127.0.0.1", 104));  // a zero-length datagram
    raw.Append(MakePacket(OutletTrapNamed("fan", 3), "127.0.0.1", 105));
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 3}), "127.0.0.1", 106));
    OpenGate gate;

    EXPECT_EQ(RunIntakePass(raw, app, gate), 4);
    EXPECT_EQ(raw.Count(), 0u);
    EXPECT_EQ(raw.Head(), nullptr);
    EXPECT_EQ(FromTexts(app), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "172.16.0.7", "10.0.0.3"}));

    const std::vector<const TrapEvent*> events = Events(app);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0]->arrivalTime, 101);
    EXPECT_EQ(events[0]->messageNumber, 2);
    EXPECT_EQ(events[2]->arrivalTime, 105);
    EXPECT_EQ(events[2]->messageNumber, 123);
    EXPECT_EQ(events[2]->specificCode, 3);
    EXPECT_EQ(events[2]->outletNumber, 4);
    EXPECT_EQ(events[2]->outletName, "fan");
    EXPECT_EQ(events[3]->arrivalTime, 106);

    EXPECT_EQ(RunIntakePass(raw, app, gate), 0);  // nothing left
    EXPECT_EQ(app.pendingEvents.Count(), 4u);
}

TEST(TrapIntake, UsesTheConfiguredCommunity) {
    IntakeState app;
    app.community = "public";
    RawPacketQueue raw;
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 1}), "127.0.0.1"));
    OpenGate gate;
    EXPECT_EQ(RunIntakePass(raw, app, gate), 0);
    EXPECT_EQ(raw.Count(), 0u);
    EXPECT_EQ(app.pendingEvents.Count(), 0u);
}

TEST(TrapIntake, OutletNameNeverCarriesOver) {
    IntakeState app;
    RawPacketQueue raw;
    // The second trap has the outlet number but no name binding.
    TrapSpec numberOnly;
    numberOnly.enterprise = kEnterpriseA;
    numberOnly.specific = {2};
    numberOnly.bindings = Binding(kOutletNumber1, Int({9}));
    raw.Append(MakePacket(OutletTrapNamed("rack-3 lamp", 2), "127.0.0.1"));
    raw.Append(MakePacket(Trap(numberOnly), "127.0.0.1"));
    raw.Append(MakePacket(ColdStartFrom({1, 2, 3, 4}), "127.0.0.1"));
    OpenGate gate;
    ASSERT_EQ(RunIntakePass(raw, app, gate), 3);
    const std::vector<const TrapEvent*> events = Events(app);
    EXPECT_EQ(events[0]->outletName, "rack-3 lamp");
    EXPECT_EQ(events[1]->messageNumber, 1);
    EXPECT_EQ(events[1]->outletNumber, 9);
    EXPECT_EQ(events[1]->outletName, "");
    EXPECT_EQ(events[2]->outletName, "");
    EXPECT_EQ(events[2]->outletNumber, 0);
}

TEST(TrapIntake, AllZeroAgentAddressIsStillTheFromText) {
    IntakeState app;
    RawPacketQueue raw;
    raw.Append(MakePacket(ColdStartFrom({0, 0, 0, 0}), "192.168.7.7"));
    OpenGate gate;
    ASSERT_EQ(RunIntakePass(raw, app, gate), 1);
    EXPECT_EQ(FromTexts(app), std::vector<std::string>{"0.0.0.0"});
}

TEST(TrapIntake, ExactTargetComparesTheDatagramSender) {
    IntakeState app;
    SetTarget(app, "192.168.1.10");
    RawPacketQueue raw;
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 5}), "192.168.1.10"));      // queued, shown as 10.0.0.5
    raw.Append(MakePacket(ColdStartFrom({192, 168, 1, 10}), "192.168.1.11"));  // dropped
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 6}), "192.168.1.100"));     // a longer text
    OpenGate gate;
    EXPECT_EQ(RunIntakePass(raw, app, gate), 1);
    EXPECT_EQ(FromTexts(app), std::vector<std::string>{"10.0.0.5"});
    EXPECT_EQ(raw.Count(), 0u);
}

TEST(TrapIntake, MaskedTargetComparesTheFromText) {
    IntakeState app;
    SetTarget(app, "192.168.1.10");
    SetProhibition(app, "255.255.255.0");
    RawPacketQueue raw;
    raw.Append(MakePacket(ColdStartFrom({192, 168, 1, 77}), "10.0.0.1"));      // agent in the subnet
    raw.Append(MakePacket(ColdStartFrom({192, 168, 2, 10}), "192.168.1.10"));  // sender in it, agent not
    raw.Append(MakePacket(ColdStartFrom({192, 168, 1, 10}), "192.168.1.10"));
    OpenGate gate;
    EXPECT_EQ(RunIntakePass(raw, app, gate), 2);
    EXPECT_EQ(FromTexts(app), (std::vector<std::string>{"192.168.1.77", "192.168.1.10"}));
}

TEST(TrapIntake, ProhibitionWithoutTargetOrWithZeroMaskDropsEverything) {
    for (const auto& settings : {std::make_pair(std::string(), std::string("255.255.255.0")),
                                 std::make_pair(std::string("192.168.1.10"), std::string("0.0.0.0"))}) {
        IntakeState app;
        if (!settings.first.empty()) SetTarget(app, settings.first);
        SetProhibition(app, settings.second);
        RawPacketQueue raw;
        raw.Append(MakePacket(ColdStartFrom({192, 168, 1, 10}), "192.168.1.10"));
        raw.Append(MakePacket(ColdStartFrom({0, 0, 0, 0}), "192.168.1.10"));
        OpenGate gate;
        EXPECT_EQ(RunIntakePass(raw, app, gate), 0) << settings.first << " " << settings.second;
        EXPECT_EQ(raw.Count(), 0u);
        EXPECT_EQ(app.pendingEvents.Count(), 0u);
    }
}

TEST(AcceptSource, FilterBranches) {
    const uint32_t kSubnetHost = InetAddr("192.168.1.77");
    const uint32_t kOtherHost = InetAddr("10.1.1.1");
    const uint32_t kNone = InetAddr("not an address");
    ASSERT_EQ(kNone, 0xFFFFFFFFu);

    TrapSettings open;
    EXPECT_TRUE(AcceptSource(open, kOtherHost, "10.1.1.1"));
    EXPECT_TRUE(AcceptSource(open, kNone, ""));

    TrapSettings exact;
    exact.targetText = "192.168.1.10";
    exact.targetAddress = InetAddr("192.168.1.10");
    EXPECT_TRUE(AcceptSource(exact, kOtherHost, "192.168.1.10"));
    EXPECT_FALSE(AcceptSource(exact, InetAddr("192.168.1.10"), "192.168.1.11"));
    EXPECT_FALSE(AcceptSource(exact, kOtherHost, "192.168.1.1"));
    EXPECT_FALSE(AcceptSource(exact, kOtherHost, "192.168.1.10 "));
    TrapSettings padded = exact;
    padded.targetText = "192.168.001.010";  // the same address, other text
    padded.targetAddress = InetAddr("192.168.001.010");
    EXPECT_FALSE(AcceptSource(padded, kOtherHost, "192.168.1.10"));

    TrapSettings masked = exact;
    masked.prohibitionText = "255.255.255.0";
    masked.prohibitionAddress = InetAddr("255.255.255.0");
    EXPECT_TRUE(AcceptSource(masked, kSubnetHost, "10.9.9.9"));
    EXPECT_FALSE(AcceptSource(masked, kOtherHost, "192.168.1.10"));
    EXPECT_FALSE(AcceptSource(masked, 0, "192.168.1.10"));

    // INADDR_NONE takes part unchanged: it matches a target in 255.255.255.x.
    TrapSettings broadcastTarget = masked;
    broadcastTarget.targetText = "255.255.255.9";
    broadcastTarget.targetAddress = InetAddr("255.255.255.9");
    EXPECT_TRUE(AcceptSource(broadcastTarget, kNone, ""));

    TrapSettings noTarget;
    noTarget.prohibitionText = "255.255.255.0";
    noTarget.prohibitionAddress = InetAddr("255.255.255.0");
    EXPECT_FALSE(AcceptSource(noTarget, kSubnetHost, "192.168.1.77"));

    TrapSettings zeroMask = masked;
    zeroMask.prohibitionText = "0.0.0.0";
    zeroMask.prohibitionAddress = 0;
    EXPECT_FALSE(AcceptSource(zeroMask, kSubnetHost, "192.168.1.10"));

    // A target whose masked part is zero never matches.
    TrapSettings zeroTarget = masked;
    zeroTarget.targetText = "0.0.0.5";
    zeroTarget.targetAddress = InetAddr("0.0.0.5");
    EXPECT_FALSE(AcceptSource(zeroTarget, InetAddr("0.0.0.9"), "0.0.0.5"));
}

TEST(TrapIntake, GateRefusalStopsThePassAndLeavesTheRestQueued) {
    IntakeState app;
    RawPacketQueue raw;
    for (uint8_t i = 1; i <= 5; ++i) raw.Append(MakePacket(ColdStartFrom({10, 0, 0, i}), "127.0.0.1"));

    CountingGate gate(2);
    EXPECT_EQ(RunIntakePass(raw, app, gate), 2);
    EXPECT_EQ(gate.enters, 3);  // the third is refused
    EXPECT_EQ(gate.leaves, 2);
    EXPECT_FALSE(gate.inside);
    EXPECT_EQ(raw.Count(), 3u);
    EXPECT_EQ(FromTexts(app), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));

    CountingGate refuseAll(0);
    EXPECT_EQ(RunIntakePass(raw, app, refuseAll), 0);
    EXPECT_EQ(raw.Count(), 3u);

    OpenGate open;
    EXPECT_EQ(RunIntakePass(raw, app, open), 3);
    EXPECT_EQ(raw.Count(), 0u);
    EXPECT_EQ(FromTexts(app),
              (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"}));
}

TEST(TrapIntake, PacketAppendedBeforeTheSuccessorIsTakenIsReachedInTheSamePass) {
    // A gate that appends a packet on its first Enter, as the receive thread
    // might while the pass waits: the one queued packet's successor is read
    // after that, so the new packet is handled in this pass.
    class AppendingGate : public WorkGate {
    public:
        explicit AppendingGate(RawPacketQueue& q) : queue(q) {}
        bool Enter() override {
            if (calls++ == 0) queue.Append(MakePacket(ColdStartFrom({10, 0, 0, 9}), "127.0.0.1"));
            return true;
        }
        void Leave() override {}
        RawPacketQueue& queue;
        int calls = 0;
    };
    IntakeState app;
    RawPacketQueue raw;
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 8}), "127.0.0.1"));
    AppendingGate gate(raw);
    EXPECT_EQ(RunIntakePass(raw, app, gate), 2);
    EXPECT_EQ(FromTexts(app), (std::vector<std::string>{"10.0.0.8", "10.0.0.9"}));
    EXPECT_EQ(raw.Count(), 0u);
}

TEST(TrapIntake, OutOfRangeLengthsAreClampedToTheBuffer) {
    IntakeState app;
    RawPacketQueue raw;
    RawPacket* negative = MakePacket(ColdStartFrom({10, 0, 0, 1}), "127.0.0.1");
    negative->length = -5;
    RawPacket* tooLong = MakePacket(ColdStartFrom({10, 0, 0, 2}), "127.0.0.1");
    tooLong->length = kMaxDatagram + 1000;
    raw.Append(negative);
    raw.Append(tooLong);
    OpenGate gate;
    EXPECT_EQ(RunIntakePass(raw, app, gate), 1);  // the trap still decodes within 1500 octets
    EXPECT_EQ(FromTexts(app), std::vector<std::string>{"10.0.0.2"});
    EXPECT_EQ(raw.Count(), 0u);
}

// A flood of accepted traps beyond what can be announced stops growing the
// pending-event queue at its bound; the rest are dropped, counted, and
// every packet is still freed.
TEST(TrapIntake, PendingEventsStopAtTheirBoundAndTheRestAreCounted) {
    IntakeState app;
    RawPacketQueue raw;
    for (uint8_t i = 1; i <= 5; ++i) raw.Append(MakePacket(ColdStartFrom({10, 0, 0, i}), "127.0.0.1"));
    OpenGate gate;
    const uint64_t droppedBefore = DroppedPendingEvents();
    EXPECT_EQ(RunIntakePass(raw, app, gate, 3), 3);
    EXPECT_EQ(raw.Count(), 0u);
    EXPECT_EQ(FromTexts(app), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    EXPECT_EQ(DroppedPendingEvents() - droppedBefore, 2u);

    // Once the alert thread has taken one, the next trap is queued again.
    delete app.pendingEvents.Unlink(app.pendingEvents.Head());
    raw.Append(MakePacket(ColdStartFrom({10, 0, 0, 9}), "127.0.0.1"));
    EXPECT_EQ(RunIntakePass(raw, app, gate, 3), 1);
    EXPECT_EQ(DroppedPendingEvents() - droppedBefore, 2u);
}

namespace {
Bytes CapturedTrap(const std::string& name) {
    std::ifstream in(std::string(DOVREL_TEST_DATA) + "/traps/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

// SNMPv2c notifications are announced only where acceptV2c asks for them,
// then as their SNMPv1 twins; an INFORM too (the receive thread answered it
// and queued only its first copy).
TEST(TrapIntake, V2cNotificationsOnlyWhenAccepted) {
    const Bytes onBattery = CapturedTrap("v2c_ups_on_battery-0.bin");
    const Bytes inform = CapturedTrap("v2c_inform_device_a_event-0.bin");
    ASSERT_FALSE(onBattery.empty());
    ASSERT_FALSE(inform.empty());
    for (bool accept : {false, true}) {
        IntakeState app;
        app.acceptV2c = accept;
        RawPacketQueue raw;
        raw.Append(MakePacket(onBattery, "127.0.0.1"));
        raw.Append(MakePacket(inform, "127.0.0.1"));
        OpenGate gate;
        EXPECT_EQ(RunIntakePass(raw, app, gate), accept ? 2 : 0);
        if (!accept) continue;
        const std::vector<const TrapEvent*> events = Events(app);
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0]->messageNumber, 3);
        EXPECT_EQ(events[0]->fromText, "192.168.1.10") << "snmpTrapAddress.0, as the twin's agent address";
        EXPECT_EQ(events[1]->messageNumber, 114);
        EXPECT_EQ(events[1]->fromText, "10.1.2.3");
    }
}
