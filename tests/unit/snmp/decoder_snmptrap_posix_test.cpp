// Decodes traps sent by net-snmp's snmptrap to a loopback socket.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/loopback_receiver.h"
#include "snmp/trap_decoder.h"

namespace {

struct Received {
    int32_t number = -1;
    TrapFields fields;
};

// Runs snmptrap with the version, community and trailing arguments given and
// decodes what arrives.
Received SendAndDecode(const std::string& version, const std::string& community, const std::string& args) {
    Received r;
    LoopbackReceiver receiver;
    EXPECT_NE(receiver.Port(), 0) << "no free port in 20000..20999";
    if (receiver.Port() == 0) return r;
    const std::string command = "snmptrap -M /dev/null -On -v " + version + " -c " + community + " 127.0.0.1:" +
                                std::to_string(receiver.Port()) + " " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << command;
    std::vector<uint8_t> datagram;
    EXPECT_TRUE(receiver.Receive(datagram)) << command;
    if (datagram.empty()) return r;
    r.number = ParseTrap(datagram.data(), datagram.size(), "vandor", r.fields);
    return r;
}

Received SendV1(const std::string& args) { return SendAndDecode("1", "vandor", args); }

const char kOutletNumberOid[] = "1.3.6.1.4.1.2134.4.2.4.2.1.1";
const char kOutletNameOid[] = "1.3.6.1.4.1.2134.4.2.4.2.1.6";

}  // namespace

TEST(SnmptrapV1, ColdStart) {
    const Received r = SendV1("1.3.6.1.4.1.9999 10.0.0.5 0 0 1234");
    EXPECT_EQ(r.number, 2);
    EXPECT_EQ(r.fields.agentAddress, "10.0.0.5");
    EXPECT_EQ(r.fields.specificCode, 0);
    EXPECT_EQ(r.fields.outletNumber, 0);
    EXPECT_TRUE(r.fields.outletName.empty());
}

TEST(SnmptrapV1, UpsOnBattery) {
    const Received r = SendV1("1.3.6.1.2.1.33.2 192.168.1.10 6 1 1234 1.3.6.1.2.1.33.1.6.2.1.2.1 o 1.3.6.1.2.1.33.1.6.3.9.0");
    EXPECT_EQ(r.number, 3);  // decided before the alarm binding
    EXPECT_EQ(r.fields.agentAddress, "192.168.1.10");
    EXPECT_EQ(r.fields.specificCode, 1);
}

TEST(SnmptrapV1, UpsAlarmDescriptions) {
    for (int k : {1, 2, 17, 24}) {
        const Received r = SendV1("1.3.6.1.2.1.33.2 192.168.1.11 6 3 99 1.3.6.1.2.1.33.1.6.2.1.2.1 o 1.3.6.1.2.1.33.1.6.3." +
                                  std::to_string(k) + ".0");
        EXPECT_EQ(r.number, 10 + 2 * k) << k;
        EXPECT_EQ(r.fields.specificCode, 3);
        EXPECT_EQ(r.fields.agentAddress, "192.168.1.11");
    }
    // Not a well-known alarm, and a value without the .0 instance.
    EXPECT_EQ(SendV1("1.3.6.1.2.1.33.2 192.168.1.11 6 3 99 1.3.6.1.2.1.33.1.6.2.1.2.1 o 1.3.6.1.2.1.33.1.6.3.25.0").number, 0);
    EXPECT_EQ(SendV1("1.3.6.1.2.1.33.2 192.168.1.11 6 3 99 1.3.6.1.2.1.33.1.6.2.1.2.1 o 1.3.6.1.2.1.33.1.6.3.2").number, 0);
    // The alarm binding after a first, unrelated one.
    EXPECT_EQ(SendV1("1.3.6.1.2.1.33.2 192.168.1.11 6 3 99 1.3.6.1.2.1.1.3.0 t 5 1.3.6.1.2.1.33.1.6.2.1.2.7 o "
                     "1.3.6.1.2.1.33.1.6.3.5.0")
                  .number,
              20);
}

TEST(SnmptrapV1, OutletBindings) {
    const struct { int s; int32_t number; } cases[] = {{2, 120}, {4, 124}, {8, 130}, {9, 1}};
    for (const auto& c : cases) {
        const Received r = SendV1(std::string("1.3.6.1.4.1.2134.4.5 172.16.0.7 6 ") + std::to_string(c.s) + " 1 " +
                                  kOutletNumberOid + ".3 i 3 " + kOutletNameOid + ".3 s \"rack-3 lamp\"");
        EXPECT_EQ(r.number, c.number) << c.s;
        EXPECT_EQ(r.fields.outletNumber, 3);
        EXPECT_EQ(r.fields.outletName, "rack-3 lamp");
        EXPECT_EQ(r.fields.agentAddress, "172.16.0.7");
        EXPECT_EQ(r.fields.specificCode, c.s);
    }
    const Received onlyNumber =
        SendV1(std::string("1.3.6.1.4.1.2134.4.5 172.16.0.7 6 2 1 ") + kOutletNumberOid + ".12 i 300");
    EXPECT_EQ(onlyNumber.number, 1);
    EXPECT_EQ(onlyNumber.fields.outletNumber, 300);
}

TEST(SnmptrapV1, EnterpriseAWithoutBindings) {
    const int32_t expected[] = {110, 110, 113, 114, 115, 116, 117, 1};  // specific 1..8
    for (int s = 1; s <= 8; ++s) {
        const Received r = SendV1("1.3.6.1.4.1.2134.4.5 10.1.2.3 6 " + std::to_string(s) + " 77");
        EXPECT_EQ(r.number, expected[s - 1]) << s;
        EXPECT_EQ(r.fields.specificCode, s);
    }
}

TEST(SnmptrapV1, EnterpriseBGenericTraps) {
    EXPECT_EQ(SendV1("1.3.6.1.4.1.2134.1.1.1 10.1.2.3 4 0 5").number, 5);
    EXPECT_EQ(SendV1("1.3.6.1.4.1.2134.1.1.1 10.1.2.3 1 0 5").number, 6);
    EXPECT_EQ(SendV1("1.3.6.1.4.1.9999 10.1.2.3 1 0 5").number, 0);  // other enterprise, no bindings
}

TEST(SnmptrapOthers, V2cTrapIsDropped) {
    const Received r = SendAndDecode("2c", "vandor", "1234 1.3.6.1.6.3.1.1.5.1");
    EXPECT_EQ(r.number, 0);
}

TEST(SnmptrapOthers, WrongCommunityIsDropped) {
    EXPECT_EQ(SendAndDecode("1", "public", "1.3.6.1.4.1.9999 10.0.0.5 0 0 1234").number, 0);
    EXPECT_EQ(SendAndDecode("1", "Vandor", "1.3.6.1.4.1.9999 10.0.0.5 0 0 1234").number, 0);
    EXPECT_EQ(SendAndDecode("1", "vandorx", "1.3.6.1.4.1.9999 10.0.0.5 0 0 1234").number, 0);
}
