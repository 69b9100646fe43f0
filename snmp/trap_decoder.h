#pragma once
// SNMPv1 Trap-PDU decoder and classifier. Pure logic over a byte buffer:
// nothing is ever read outside [data, data + size).
#include <cstddef>
#include <cstdint>
#include <string>

// One tag-length-value item header.
struct TlvItem {
    size_t valuePos = 0;   // offset of the value from the buffer start
    uint32_t length = 0;   // declared length of the value
    uint8_t tag = 0;
};

// Reads the item header at pos. Returns false when the header is not wholly
// inside the buffer (the declared value may still run past the end).
bool ReadTlv(const uint8_t* data, size_t size, size_t pos, TlvItem& item);

// Big-endian unsigned accumulation in 32 bits; 0 for length < 1.
int32_t DecodeInteger(const uint8_t* value, int32_t length);

// Message number 10 + 2k for well-known alarm k, else 0. available is the
// number of octets from value to the end of the buffer.
int32_t ClassifyAlarm(const uint8_t* value, size_t available);

struct TrapFields {
    int32_t specificCode = 0;
    int32_t outletNumber = 0;
    std::string outletName;     // assigned only when an outlet name is seen
    std::string agentAddress;   // assigned once the agent-addr is read
};

// Returns the message number (0 = drop) and fills fields.
int32_t ParseTrap(const uint8_t* data, size_t size, const std::string& community, TrapFields& fields);
