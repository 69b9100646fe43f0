// Kalbrit's test trap against net-snmp: snmptrap's encoding of the same trap,
// taken from a loopback socket, must be the same bytes, and Dovrel's decoder
// must announce it as a coldStart.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "kalbrit/test_trap.h"
#include "snmp/trap_decoder.h"

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

}  // namespace
