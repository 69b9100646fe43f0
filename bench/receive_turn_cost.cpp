// Where the receive turn spends its time under Wine, one datagram at a time,
// without a sender competing: fills the socket of a CTrapSocket with BATCH
// datagrams of 45 octets, then times the turns that queue them, ROUNDS times
// (the queue is emptied between rounds, as the intake pass would). Beside
// it: a bare recvfrom() loop on the same socket, the two calls a turn makes
// once (a select() with data waiting, the recvfrom() that finds none left)
// and the calls it makes for each datagram.
//
//   receive_turn_cost [ROUNDS [BATCH]]    (defaults 20 rounds of 3000)
//
// Prints one "name microseconds" line per figure (medians over the rounds).
#include <winsock.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <new>
#include <vector>

#include "core/stop_gate.h"
#include "snmp/trap_socket.h"

namespace {

double NowUs() {
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Microseconds per call of fn, median of `rounds` rounds of `calls` calls.
double PerCall(int rounds, int calls, const std::function<void(int)>& fn) {
    std::vector<double> perRound;
    for (int r = 0; r < rounds; ++r) {
        const double start = NowUs();
        for (int i = 0; i < calls; ++i) fn(i);
        perRound.push_back((NowUs() - start) / calls);
    }
    return Median(perRound);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const int batch = argc > 2 ? std::atoi(argv[2]) : 3000;
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) return 2;

    CTrapSocket trapSocket;
    const int port = 24190;
    if (!trapSocket.Open(port, "public")) {
        std::printf("open failed\n");
        return 2;
    }
    SOCKET sender = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = inet_addr("127.0.0.1");
    const char payload[45] = {0x30, 43};
    auto fill = [&](int count) {
        for (int i = 0; i < count; ++i)
            sendto(sender, payload, sizeof payload, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    };

    StopGate gate;
    static char buffer[kMaxDatagram];
    std::vector<double> turn, bare, selectWaiting, wouldBlock;
    for (int r = 0; r < rounds; ++r) {
        fill(batch);
        double start = NowUs();
        while (trapSocket.Queue().Count() + trapSocket.DroppedCount() < static_cast<std::size_t>(batch))
            trapSocket.ReceiveOnce(1, gate);
        turn.push_back((NowUs() - start) / batch);
        while (RawPacketQueue::Node* node = trapSocket.Queue().Head()) delete trapSocket.Queue().Unlink(node);

        fill(batch);
        start = NowUs();
        for (int i = 0; i < batch; ++i) {
            sockaddr_in from;
            int fromLength = sizeof from;
            recvfrom(trapSocket.Handle(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        }
        bare.push_back((NowUs() - start) / batch);

        fill(1);
        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(trapSocket.Handle(), &readSet);
        timeval limit = {1, 0};
        start = NowUs();
        select(0, &readSet, nullptr, nullptr, &limit);
        selectWaiting.push_back(NowUs() - start);
        trapSocket.ReceiveOnce(1, gate);
        while (RawPacketQueue::Node* node = trapSocket.Queue().Head()) delete trapSocket.Queue().Unlink(node);

        // The read that ends every turn: nothing left on the non-blocking socket.
        start = NowUs();
        recvfrom(trapSocket.Handle(), buffer, sizeof buffer, 0, nullptr, nullptr);
        wouldBlock.push_back(NowUs() - start);
    }
    std::printf("receive-turn-per-datagram %.2f\n", Median(turn));
    std::printf("bare-recvfrom %.2f\n", Median(bare));
    std::printf("select-with-data-waiting %.2f\n", Median(selectWaiting));
    std::printf("recvfrom-would-block %.2f\n", Median(wouldBlock));

    sockaddr_in address = {};
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    volatile long long sink = 0;
    std::printf("crt-time %.3f\n", PerCall(rounds, 10000, [&](int) { sink += std::time(nullptr); }));
    std::printf("GetSystemTimeAsFileTime %.3f\n", PerCall(rounds, 10000, [&](int) {
                    FILETIME now;
                    GetSystemTimeAsFileTime(&now);
                    sink += now.dwLowDateTime;
                }));
    std::printf("inet_ntoa %.3f\n", PerCall(rounds, 10000, [&](int) { sink += inet_ntoa(address.sin_addr)[0]; }));
    std::vector<RawPacket*> packets(10000);
    std::printf("new-RawPacket %.3f\n", PerCall(rounds, 10000, [&](int i) {
                    if (packets[i]) delete packets[i];
                    packets[i] = new (std::nothrow) RawPacket;
                }));
    for (RawPacket* p : packets) delete p;
    trapSocket.Close();
    WSACleanup();
    return 0;
}
