#pragma once
// The SNMPv3 users of the settings file, section [usKarn_v3]: keys user1,
// user2, ... consecutive from 1, each "name,auth,authKu,priv,privKu".
//   auth  none, MD5, SHA, SHA-224, SHA-256, SHA-384 or SHA-512 (any case)
//   priv  none, AES (CFB128-AES-128) or DES (recognised, never supported)
//   Ku    the master key in hex, made from the passphrase with the auth
//         protocol's hash; the privacy key too (as net-snmp does)
// noAuthNoPriv is "name,none,,none,". Only master keys are stored, never a
// passphrase. A value that does not parse is skipped and counted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/crypto.h"
#include "core/profile_reader.h"
#include "snmp/usm_protocols.h"

constexpr size_t kMaxUserNameSize = 32;  // usmUserName, SnmpAdminString (1..32)
constexpr size_t kMaxUsers = 256;

struct UsmUser {
    std::string name;
    AuthProtocol auth = AuthProtocol::None;
    PrivProtocol priv = PrivProtocol::None;
    uint8_t authKu[kMaxHashLength] = {};  // KeyLength(auth) octets
    uint8_t privKu[kMaxHashLength] = {};  // as long, when priv is not None
    // False for DES and for an auth hash the platform lacks: every message
    // of such a user is refused as unsupported security.
    bool supported = true;

    SecurityLevel Level() const {
        if (auth == AuthProtocol::None) return SecurityLevel::NoAuthNoPriv;
        return priv == PrivProtocol::None ? SecurityLevel::AuthNoPriv : SecurityLevel::AuthPriv;
    }
};

struct UsmUserTable {
    std::vector<UsmUser> users;
    int skipped = 0;  // entries that did not parse, or repeated a name

    // The user with exactly this name (octets, case-sensitive), or null.
    const UsmUser* Find(const uint8_t* name, size_t size) const;
};

// One entry's value. False when it does not parse. supported is set from
// the protocols alone (DES is not); the caller asks the platform about hashes.
bool ParseUsmUser(const std::string& value, UsmUser& user);

// A protocol's word in an entry: "none", "MD5", "SHA", "SHA-256", ...; "AES", "DES".
const char* AuthProtocolName(AuthProtocol protocol);
const char* PrivProtocolName(PrivProtocol protocol);

// The entry's value as ParseUsmUser reads it back: protocols spelled as
// above (upper case), keys in lower-case hex.
std::string FormatUsmUser(const UsmUser& user);

// Reads the section; users whose hash crypto lacks are kept, unsupported.
UsmUserTable ReadUsmUsers(ProfileReader& profile, const Crypto& crypto);
