#pragma once
// The classification of a trap into a message number, shared by the SNMPv1
// Trap-PDU decoder and the SNMPv2 notification decoder: the generic and
// specific rules, the empty-binding-list rule and the three-binding scan.
#include <cstddef>
#include <cstdint>

#include "snmp/trap_decoder.h"

// Which of the known enterprises the trap's enterprise begins with.
struct EnterpriseFlags {
    bool upsTraps = false;
    bool deviceA = false;
    bool deviceB = false;
};

// Prefix comparisons of the encoded enterprise; available is the number of
// octets from oid on that a comparison may read.
EnterpriseFlags FlagsOfEnterprise(const uint8_t* oid, size_t available);

// How far a Trap-PDU header could be read. The SNMPv1 decoder decides the
// generic rules before it reads the specific-trap item, and the specific rule
// before it reads the rest, so a trap cut short after them keeps that result.
enum class HeaderReach { Generic, Specific, Bindings };

struct TrapHeader {
    EnterpriseFlags enterprise;
    int32_t generic = 0;   // g: 0..255
    int32_t specific = 0;  // s: 0..255, the first octet of the specific-trap INTEGER
    HeaderReach reach = HeaderReach::Bindings;
    bool emptyList = false;  // the variable-binding list holds no binding
};

// Where the scan finds the (at most three) bindings it looks at: either one
// after the other from first, each right after the previous one's value (the
// SNMPv1 list), or at the listed positions only (the bindings an SNMPv2
// notification hands on).
struct BindingSource {
    size_t first = 0;
    const size_t* listed = nullptr;
    size_t listedCount = 0;
};

// The message number (0 = drop). Sets fields.specificCode once the header
// reaches the specific-trap code, and the outlet fields from the bindings.
int32_t ClassifyTrap(const uint8_t* data, size_t size, const TrapHeader& header, const BindingSource& bindings,
                     TrapFields& fields);
