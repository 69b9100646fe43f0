#pragma once
// The User-based Security Model's protocols and levels (RFC 3414, RFC 3826,
// RFC 7860) and what each needs of the platform's crypto.
#include <cstddef>
#include <cstdint>

#include "core/crypto.h"

enum class AuthProtocol : uint8_t { None, Md5, Sha1, Sha224, Sha256, Sha384, Sha512 };
// Des is recognised in the settings only to refuse its messages by name.
enum class PrivProtocol : uint8_t { None, Aes128, Des };
enum class SecurityLevel : uint8_t { NoAuthNoPriv, AuthNoPriv, AuthPriv };

// The hash behind an authentication protocol; Md5 for None, which has none.
constexpr HashAlgorithm AuthHash(AuthProtocol protocol) {
    switch (protocol) {
    case AuthProtocol::Sha1: return HashAlgorithm::Sha1;
    case AuthProtocol::Sha224: return HashAlgorithm::Sha224;
    case AuthProtocol::Sha256: return HashAlgorithm::Sha256;
    case AuthProtocol::Sha384: return HashAlgorithm::Sha384;
    case AuthProtocol::Sha512: return HashAlgorithm::Sha512;
    default: return HashAlgorithm::Md5;
    }
}

// Octets of msgAuthenticationParameters: the HMAC truncated to 12 octets
// for MD5 and SHA-1 (RFC 3414), to 16/24/32/48 for SHA-2 (RFC 7860).
constexpr size_t MacLength(AuthProtocol protocol) {
    switch (protocol) {
    case AuthProtocol::None: return 0;
    case AuthProtocol::Md5:
    case AuthProtocol::Sha1: return 12;
    case AuthProtocol::Sha224: return 16;
    case AuthProtocol::Sha256: return 24;
    case AuthProtocol::Sha384: return 32;
    case AuthProtocol::Sha512: return 48;
    }
    return 0;
}

// Length of the master and localized keys: the hash's digest.
constexpr size_t KeyLength(AuthProtocol protocol) {
    return protocol == AuthProtocol::None ? 0 : HashLength(AuthHash(protocol));
}

constexpr size_t kMaxMacLength = 48;
// SnmpEngineID (RFC 3411); msgAuthoritativeEngineID may also be empty.
constexpr size_t kMinEngineIdSize = 5;
constexpr size_t kMaxEngineIdSize = 32;
// msgPrivacyParameters of CFB128-AES-128: the 64-bit salt (RFC 3826 3.1.2.1).
constexpr size_t kAesSaltSize = 8;
