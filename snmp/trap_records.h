#pragma once
// The two records that carry a trap through the program, and their queues.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "core/owned_list.h"

constexpr int kMaxDatagram = 1500;

// What a RawPacket's bytes hold: the datagram as it came off the socket, or
// the notification PDU of an SNMPv3 message that the receive thread has
// already authenticated and decrypted.
enum class PacketForm : uint8_t { Datagram, V3Pdu };

// One received datagram, as it came off the socket.
struct RawPacket {
    std::time_t arrivalTime = 0;  // the platform's 64-bit time_t
    std::string senderAddress;     // datagram source, dotted decimal
    unsigned char bytes[kMaxDatagram] = {};
    int32_t length = 0;            // 0..1500
    PacketForm form = PacketForm::Datagram;
};

// One accepted, classified trap.
struct TrapEvent {
    std::time_t arrivalTime = 0;
    std::string fromText;
    int32_t messageNumber = 0;     // never 0 in a queued event
    int32_t specificCode = 0;      // 0..255
    int32_t outletNumber = 0;
    std::string outletName;
};

// Most datagrams the raw queue holds; more are read and dropped. The intake
// pass empties the queue every 5 s, so this keeps every datagram of a burst
// of 100,000 (two seconds at 50,000/s, or 26,000/s for a whole period) and
// bounds the queue near 210 MiB (1.6 KiB a datagram), far from a 32-bit
// process's 2 GiB.
constexpr std::size_t kMaxQueuedDatagrams = 131072;

using RawPacketQueue = OwnedList<RawPacket>;
using TrapEventQueue = OwnedList<TrapEvent>;
