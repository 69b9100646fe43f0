#pragma once
// The BER tags of the SNMP messages we read and write, shared by the
// decoders, the INFORM answer and the settings program's test-trap encoder.
#include <cstdint>

constexpr uint8_t kTagInteger = 0x02;
constexpr uint8_t kTagOctetString = 0x04;
constexpr uint8_t kTagObjectId = 0x06;
constexpr uint8_t kTagSequence = 0x30;
constexpr uint8_t kTagIpAddress = 0x40;
constexpr uint8_t kTagTimeTicks = 0x43;
constexpr uint8_t kTagCounter64 = 0x46;
constexpr uint8_t kTagGetRequestPdu = 0xA0;  // the first of the PDU tags
constexpr uint8_t kTagResponsePdu = 0xA2;
constexpr uint8_t kTagTrapPdu = 0xA4;
constexpr uint8_t kTagInformRequestPdu = 0xA6;
constexpr uint8_t kTagSnmpV2TrapPdu = 0xA7;
constexpr uint8_t kTagReportPdu = 0xA8;  // the last
