#pragma once
// The UDP socket on the trap port and the raw datagram queue it feeds.
#include <winsock.h>
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/trap_settings.h"
#include "snmp/trap_records.h"

class ReceiveTriage;
class WorkGate;

constexpr int kReceiveBufferSize = kMaxDatagram;  // 1500 octets
constexpr int kSelectFailurePauseMs = 1000;
constexpr int kSocketReceiveBufferBytes = 4 * 1024 * 1024;
constexpr int kMaxDatagramsPerTurn = 1024;
// SO_EXCLUSIVEADDRUSE of winsock2.h, which this Winsock 1.1 program does not include.
constexpr int kExclusiveAddressUse = static_cast<int>(~SO_REUSEADDR);

class CTrapSocket {
public:
    explicit CTrapSocket(std::size_t maxQueued = kMaxQueuedDatagrams);
    // Frees the datagrams still queued; the owner calls Close first.
    ~CTrapSocket();
    CTrapSocket(const CTrapSocket&) = delete;
    CTrapSocket& operator=(const CTrapSocket&) = delete;

    // Creates the socket and binds it to INADDR_ANY:port. False when the
    // socket cannot be made, the community is longer than 256 bytes (the
    // socket stays recorded for Close) or the port cannot be bound.
    bool Open(int32_t port, const std::string& community);
    // closesocket on the recorded socket, if any, and only the first time;
    // the field keeps its value.
    void Close();

    // One turn of the receive thread: waits up to timeoutSeconds for a
    // datagram (no wait when the last turn stopped at its bound), then
    // queues as RawPackets every datagram already waiting (at most
    // kMaxDatagramsPerTurn), in arrival order. Each datagram is read
    // inside the receive thread's gate; a refused gate (stop under way)
    // leaves it unread. After a failed select() the turn pauses
    // 1000 ms; a signal of pauseBreaker (an auto-reset event, signalled
    // again for its owner) ends the pause early.
    void ReceiveOnce(int32_t timeoutSeconds, WorkGate& gate, HANDLE pauseBreaker = nullptr);

    // What decides, for each datagram read, whether it is queued and what is
    // sent back (INFORM answers); without one every datagram is queued. Set
    // before the receive thread starts; it must outlive the socket's use.
    void SetTriage(ReceiveTriage* triage) { triage_ = triage; }

    RawPacketQueue& Queue() { return queue_; }
    // Datagrams read while the queue was full (or no memory was left), and
    // so dropped; read by tests, never reported.
    uint64_t DroppedCount() const { return dropped_.load(); }
    SOCKET Handle() const { return socket_; }

private:
    // Reads and queues one waiting datagram; false when none is left (or the
    // gate refused or the socket failed).
    bool ReceiveWaitingDatagram(WorkGate& gate, char* buffer);
    // Answers, queues or drops one datagram just read.
    void TakeDatagram(const char* bytes, int length);
    // Queues a copy of one datagram; false when it was dropped.
    bool QueuePacket(const uint8_t* bytes, std::size_t length, const std::string& sender, PacketForm form);
    void SendReply(const uint8_t* reply, std::size_t size);

    SOCKET socket_ = 0;  // 0: no socket
    bool closed_ = false;
    sockaddr_in bindAddress_ = {};
    sockaddr_in senderAddress_ = {};
    RawPacketQueue queue_;  // owns its packets; has its own mutex
    std::size_t maxQueued_;
    bool moreWaiting_ = false;  // the last turn stopped at kMaxDatagramsPerTurn
    std::atomic<uint64_t> dropped_{0};
    ReceiveTriage* triage_ = nullptr;
};
