#pragma once
// A UDP socket on a free loopback port for the tests that talk to net-snmp's
// tools: it receives what they send and can answer the sender.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

class LoopbackReceiver {
public:
    LoopbackReceiver() {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        if (fd_ < 0) return;
        // The first free port of 20000..20999, starting at a per-process offset.
        const int start = static_cast<int>(getpid() % 1000);
        for (int i = 0; i < 1000; ++i) {
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            const int port = 20000 + (start + i) % 1000;
            addr.sin_port = htons(static_cast<uint16_t>(port));
            if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
                port_ = port;
                return;
            }
        }
    }
    ~LoopbackReceiver() {
        if (fd_ >= 0) close(fd_);
    }
    LoopbackReceiver(const LoopbackReceiver&) = delete;
    LoopbackReceiver& operator=(const LoopbackReceiver&) = delete;

    int Port() const { return port_; }

    // One datagram, or none after waitMs; the sender's address is kept for
    // Answer.
    bool Receive(std::vector<uint8_t>& datagram, int waitMs = 5000) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, waitMs) != 1) return false;
        datagram.resize(1500);
        socklen_t length = sizeof sender_;
        const ssize_t n = recvfrom(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&sender_),
                                   &length);
        if (n < 0) return false;
        datagram.resize(static_cast<size_t>(n));
        return true;
    }

    // The last sender's address (network byte order) and port (host order).
    uint32_t SenderAddress() const { return sender_.sin_addr.s_addr; }
    uint16_t SenderPort() const { return ntohs(sender_.sin_port); }

    // Sends bytes back to the last sender.
    bool Answer(const uint8_t* bytes, size_t size) {
        return sendto(fd_, bytes, size, 0, reinterpret_cast<const sockaddr*>(&sender_), sizeof sender_) ==
               static_cast<ssize_t>(size);
    }

private:
    int fd_ = -1;
    int port_ = 0;
    sockaddr_in sender_{};
};
