// The receive and intake path of the receiver engine, without alert windows:
// a receive thread turning CTrapSocket::ReceiveOnce, and on this thread an
// intake pass every INTAKE_MS (the engine's own period is 5000 ms). Accepted
// events are taken off the pending-event queue and freed, as the alert pass
// would, so that memory shows the raw datagram queue.
//
//   flood_receiver PORT EXPECTED IDLE_MS INTAKE_MS [RCVBUF [v2c]]
//
// Prints "listening ..." once bound, then "accepted N peak-queue Q" when
// EXPECTED events were accepted or none came for IDLE_MS after the first
// (120 s before the first). RCVBUF > 0 replaces the socket receive buffer
// that CTrapSocket::Open asks for, to measure other sizes. "v2c" sets
// acceptV2c, as the shipped Dovrel.ini does. The socket has the engine's
// receive triage (INFORM answers) either way.
#include <winsock.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <thread>

#include "core/stop_gate.h"
#include "snmp/receive_triage.h"
#include "snmp/trap_intake.h"
#include "snmp/trap_socket.h"

namespace {

void DrainPendingEvents(TrapEventQueue& pending) {
    while (TrapEventQueue::Node* node = pending.Head()) delete pending.Unlink(node);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s PORT EXPECTED IDLE_MS INTAKE_MS [RCVBUF [v2c]]\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const long expected = std::atol(argv[2]);
    const DWORD idleMs = static_cast<DWORD>(std::atol(argv[3]));
    const DWORD intakeMs = static_cast<DWORD>(std::atol(argv[4]));
    const int rcvbuf = argc > 5 ? std::atoi(argv[5]) : 0;

    WSADATA wsa;
    if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) return 2;
    TrapSettings settings;
    settings.port = port;
    settings.acceptV2c = argc > 6 && std::strcmp(argv[6], "v2c") == 0;
    TrapEventQueue pending;

    CTrapSocket socket;
    if (!socket.Open(settings.port, settings.community)) {
        std::printf("open failed\n");
        return 2;
    }
    ReceiveTriage triage(settings);
    socket.SetTriage(&triage);
    if (rcvbuf > 0)
        setsockopt(socket.Handle(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&rcvbuf), sizeof rcvbuf);
    int actual = 0;
    int length = sizeof actual;
    getsockopt(socket.Handle(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&actual), &length);
    std::printf("listening rcvbuf %d\n", actual);
    std::fflush(stdout);

    std::atomic<bool> stop{false};
    // The receive thread's gate as the engine has it: a mutex per datagram.
    StopGate receiveGate;
    std::thread receiver([&] {
        StopGate& gate = receiveGate;
        while (!stop.load()) {
            socket.ReceiveOnce(1, gate);
        }
    });

    StopGate gate;
    long accepted = 0;
    size_t peakQueue = 0;
    DWORD lastNews = GetTickCount();
    for (;;) {
        Sleep(intakeMs);
        const size_t queued = socket.Queue().Count();
        if (queued > peakQueue) peakQueue = queued;
        const int taken = RunIntakePass(socket.Queue(), settings, pending, gate);
        DrainPendingEvents(pending);
        accepted += taken;
        const DWORD now = GetTickCount();
        if (taken > 0) lastNews = now;
        if (accepted >= expected) break;
        if (now - lastNews > (accepted > 0 ? idleMs : 120000u)) break;
    }
    stop.store(true);
    receiver.join();
    std::printf("accepted %ld peak-queue %zu\n", accepted, peakQueue);
    std::fflush(stdout);
    socket.Close();
    WSACleanup();
    return 0;
}
