#pragma once
// Why a received datagram gives no alert.
#include <cstdint>

enum class RefusalReason : uint8_t {
    None,
    WrongCommunity,
    NotTarget,
    Masked,
    NotDecodable,
    QueueFull,
    UnknownUser,
    WrongDigest,
    NotInTimeWindow,
    UnsupportedSecurity,
    CannotDecrypt,
    Count
};
