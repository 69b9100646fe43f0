#pragma once
// SNMPv1 Trap-PDU decoder and classifier. Pure logic over a byte buffer:
// nothing is ever read outside [data, data + size).
#include <cstddef>
#include <cstdint>
#include <string>

#include "snmp/ber_items.h"
#include "snmp/refusal_reason.h"

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

// An agent address as dotted decimal: the first four of count octets, those
// missing counting as 0.
std::string AgentAddressText(const uint8_t* octets, size_t count);

// The community item (an OCTET STRING header already read) carries exactly
// the configured community.
bool CommunityMatches(const uint8_t* data, size_t size, const TlvItem& item, const std::string& community);

// Returns the message number (0 = drop) and fills fields.
int32_t ParseTrap(const uint8_t* data, size_t size, const std::string& community, TrapFields& fields);
// The same, and says why it yields 0: WrongCommunity when the community item
// is there but differs, NotDecodable otherwise; None for any other number.
int32_t ParseTrap(const uint8_t* data, size_t size, const std::string& community, TrapFields& fields,
                  RefusalReason& reason);
