#pragma once
// The answer to an InformRequest (RFC 3416 4.2.7): a Response-PDU with the
// request's request-id and variable bindings, error-status and error-index 0.
// Pure: it is built from the received bytes into a buffer the caller owns.
#include <cstddef>
#include <cstdint>

#include "snmp/notification_pdu.h"

// Lengths are written in the shortest definite form and every other octet is
// copied, so a response is never longer than the InformRequest it answers:
// an answer to a datagram of up to 1500 octets fits in this many.
constexpr size_t kMaxInformResponse = 1500;

// The Response-PDU alone (for a message that another layer wraps), from the
// InformRequest-PDU that inform (from DecodeNotificationPdu) describes in
// [data, data + size). Returns the octets written to out, or 0 when inform
// is not an InformRequest whose request-id and binding list lie in the
// buffer, or when capacity is too small.
size_t BuildInformResponsePdu(const uint8_t* data, size_t size, const NotificationLayout& inform, uint8_t* out,
                              size_t capacity);

// The whole SNMPv2c Response message for an InformRequest datagram: its
// version and community, then the Response-PDU. Returns the octets written,
// or 0 as above, or when inform's PDU is not the datagram's PDU.
size_t BuildV2cInformResponse(const uint8_t* datagram, size_t size, const NotificationLayout& inform, uint8_t* out,
                              size_t capacity);
