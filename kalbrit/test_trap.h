#pragma once
// The test trap that Kalbrit sends to the local Dovrel: an SNMPv1 coldStart
// (generic-trap 0, which Dovrel announces as message 2) from 127.0.0.1.
#include <cstdint>
#include <string>
#include <vector>

#include "core/crypto.h"
#include "snmp/usm_users.h"

struct TrapForm;

// snmpTraps (RFC 3584 3.2): the enterprise of a standard trap whose agent
// has no enterprise of its own.
constexpr char kTestTrapEnterprise[] = "1.3.6.1.6.3.1.1.5";
constexpr uint32_t kTestTrapAgent = 0x7F000001;  // 127.0.0.1
constexpr int32_t kTestTrapMessage = 2;

// The datagram: version 0, community, Trap-PDU with enterprise snmpTraps,
// agent-addr 127.0.0.1, generic-trap 0, specific-trap 0, time-stamp
// uptimeHundredths and no variable bindings. BER with definite, shortest
// lengths, as net-snmp writes it.
std::vector<uint8_t> EncodeTestTrap(const std::string& community, uint32_t uptimeHundredths);

// The same trap as an SNMPv3 user sends it (RFC 3416 SNMPv2-Trap with
// sysUpTime.0 and snmpTrapOID.0 coldStart, which RFC 3584 maps back to
// generic-trap 0), at the user's security level, from an engine of its own
// made for this trap (a random engine ID at boots 1), so that Dovrel meets
// it as a new device and localizes the user's keys for it. Empty when the
// user's protocols are unsupported or the platform's crypto fails.
std::vector<uint8_t> EncodeV3TestTrap(Crypto& crypto, const UsmUser& user, uint32_t uptimeHundredths);

// Whether Dovrel with these settings accepts a trap whose sender and agent
// address are 127.0.0.1 (the same source filter that Dovrel applies).
bool SendersAcceptTestTrap(const TrapForm& form);
