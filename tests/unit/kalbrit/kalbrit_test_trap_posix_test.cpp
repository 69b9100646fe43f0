// Kalbrit's test trap against net-snmp: snmptrap's encoding of the same trap,
// taken from a loopback socket, must be the same bytes, and Dovrel's decoder
// must announce it as a coldStart; the SNMPv3 test trap must be one that
// snmptrapd, told the user's passphrases, authenticates, decrypts and reads.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hex.h"
#include "kalbrit/test_trap.h"
#include "kalbrit/v3_user_list.h"
#include "snmp/trap_decoder.h"
#include "snmp/usm_message.h"
#include "test_crypto.h"

namespace {

// What snmptrap sends for this trap, or nothing. Ports 26000..26099.
std::vector<uint8_t> CaptureSnmptrap(const std::string& community, const std::string& uptime) {
    std::vector<uint8_t> datagram;
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return datagram;
    int port = 0;
    for (int i = 0; i < 100 && !port; ++i) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int candidate = 26000 + static_cast<int>((getpid() + i) % 100);
        addr.sin_port = htons(static_cast<uint16_t>(candidate));
        if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) port = candidate;
    }
    const std::string command = "snmptrap -M /dev/null -On -v 1 -c " + community + " 127.0.0.1:" +
                                std::to_string(port) + " " + kTestTrapEnterprise + " 127.0.0.1 0 0 " + uptime +
                                " >/dev/null 2>&1";
    pollfd p{fd, POLLIN, 0};
    if (port && std::system(command.c_str()) == 0 && poll(&p, 1, 5000) == 1) {
        datagram.resize(1500);
        const ssize_t n = recv(fd, datagram.data(), datagram.size(), 0);
        datagram.resize(n > 0 ? static_cast<size_t>(n) : 0);
    }
    close(fd);
    return datagram;
}

void ExpectSameAsSnmptrap(const std::string& community, uint32_t uptime) {
    const std::vector<uint8_t> ours = EncodeTestTrap(community, uptime);
    const std::vector<uint8_t> theirs = CaptureSnmptrap(community, std::to_string(uptime));
    ASSERT_FALSE(theirs.empty()) << "snmptrap sent nothing";
    EXPECT_EQ(ours, theirs);
    TrapFields fields;
    EXPECT_EQ(ParseTrap(ours.data(), ours.size(), community, fields), kTestTrapMessage);
    EXPECT_EQ(fields.agentAddress, "127.0.0.1");
}

TEST(KalbritTestTrap, SameBytesAsSnmptrap) { ExpectSameAsSnmptrap("vandor", 12345); }

// A time-stamp with its top bit set needs a leading zero octet.
TEST(KalbritTestTrap, SameBytesAsSnmptrapLargestUptime) { ExpectSameAsSnmptrap("vandor", 4294967295u); }

// Communities of 128 and more bytes take long-form lengths, and the longest
// one the form allows pushes the message past 255 bytes.
TEST(KalbritTestTrap, SameBytesAsSnmptrapLongCommunities) {
    ExpectSameAsSnmptrap(std::string(128, 'c'), 0);
    ExpectSameAsSnmptrap(std::string(256, 'c'), 100);
}

// What snmptrapd prints for datagram, configured with conf, within 10 s.
// Ports 26100..26199.
std::string SnmptrapdOutput(const std::string& conf, const std::vector<uint8_t>& datagram) {
    const std::string dir = "/tmp/kalbrit-snmptrapd-" + std::to_string(getpid());
    const int port = 26100 + static_cast<int>(getpid() % 100);
    std::system(("rm -rf " + dir + " && mkdir -p " + dir).c_str());
    std::ofstream(dir + "/snmptrapd.conf") << conf;
    const std::string out = dir + "/out";
    std::system(("SNMP_PERSISTENT_DIR=" + dir + " snmptrapd -f -Lo -C -c " + dir + "/snmptrapd.conf -M /dev/null -m '' "
                 "-On udp:127.0.0.1:" + std::to_string(port) + " >" + out + " 2>&1 & echo $! >" + dir + "/pid")
                    .c_str());
    auto text = [&] {
        std::ifstream in(out);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    for (int i = 0; i < 100 && text().find("NET-SNMP version") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<uint16_t>(port));
    sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    close(fd);
    for (int i = 0; i < 100 && text().find("TRAP ") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::string printed = text();
    std::system(("kill $(cat " + dir + "/pid) 2>/dev/null; sleep 0.2; rm -rf " + dir).c_str());
    return printed;
}

TEST(KalbritTestTrap, SnmptrapdReadsTheV3TestTrapOfAUserTypedIntoTheList) {
    V3UserForm form;
    form.name = "ups-admin";
    form.authPassphrase = form.authAgain = "maplesyrup";
    form.privPassphrase = form.privAgain = "privacy-pass";
    for (AuthProtocol auth : {AuthProtocol::Sha1, AuthProtocol::Sha256}) {
        form.auth = auth;
        SectionValue entry;
        UsmUser user;
        ASSERT_FALSE(V3UserEntry(TestCrypto(), form, {}, entry));
        ASSERT_TRUE(UserOfEntry(entry, user));
        const std::vector<uint8_t> trap = EncodeV3TestTrap(TestCrypto(), user, 4242);
        UsmMessage message;
        ASSERT_EQ(ReadUsmMessage(trap.data(), trap.size(), message), RefusalReason::None);
        // snmptrapd must be told the sending engine's ID; Dovrel learns it.
        const std::string engine = ToHex(trap.data() + message.engineId.pos, message.engineId.size);
        const std::string hash = auth == AuthProtocol::Sha1 ? "SHA" : "SHA-256";
        const std::string output = SnmptrapdOutput("createUser -e 0x" + engine + " ups-admin " + hash +
                                                       " maplesyrup AES privacy-pass\nauthUser log ups-admin\n"
                                                       "format2 TRAP %v\\n\n",
                                                   trap);
        EXPECT_NE(output.find("TRAP "), std::string::npos) << hash << ": " << output;
        EXPECT_NE(output.find(".1.3.6.1.6.3.1.1.4.1.0 = OID: .1.3.6.1.6.3.1.1.5.1"), std::string::npos)
            << hash << ": " << output;
    }
}

}  // namespace
