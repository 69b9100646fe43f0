#pragma once
// Why a received datagram is not announced. One list for the whole program,
// so that refusals can be counted per reason wherever they are decided.
#include <cstdint>

enum class RefusalReason : uint8_t {
    None,                 // accepted
    WrongCommunity,       // the community differs from the configured one
    NotTarget,            // the sender is not the configured target
    Masked,               // the prohibition mask refuses the sender
    NotDecodable,         // not an SNMPv1 trap (or accepted v2c notification), or not decodable
    QueueFull,            // the pending-event queue is full
    UnknownUser,          // SNMPv3: no such user
    WrongDigest,          // SNMPv3: the authentication digest does not match
    NotInTimeWindow,      // SNMPv3: outside the engine's time window
    UnsupportedSecurity,  // SNMPv3: a security level or protocol we do not handle
    CannotDecrypt,        // SNMPv3: the scoped PDU does not decrypt
    Count
};
