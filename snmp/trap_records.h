#pragma once
// The two records that carry a trap through the program, and their queues.
#include <cstdint>
#include <ctime>
#include <string>

#include "core/owned_list.h"

constexpr int kMaxDatagram = 1500;

// One received datagram, as it came off the socket.
struct RawPacket {
    std::time_t arrivalTime = 0;  // the platform's 64-bit time_t
    std::string senderAddress;     // datagram source, dotted decimal
    unsigned char bytes[kMaxDatagram] = {};
    int32_t length = 0;            // 0..1500
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

using RawPacketQueue = OwnedList<RawPacket>;
using TrapEventQueue = OwnedList<TrapEvent>;
