#pragma once
// The BER tags of an SNMPv1 Trap-PDU message, shared by the decoder and
// the settings program's test-trap encoder.
#include <cstdint>

constexpr uint8_t kTagInteger = 0x02;
constexpr uint8_t kTagOctetString = 0x04;
constexpr uint8_t kTagObjectId = 0x06;
constexpr uint8_t kTagSequence = 0x30;
constexpr uint8_t kTagIpAddress = 0x40;
constexpr uint8_t kTagTimeTicks = 0x43;
constexpr uint8_t kTagTrapPdu = 0xA4;
