#include "snmp/usm_users.h"

#include <cstring>

#include "core/hex_text.h"
#include "core/mbcs.h"

namespace {

constexpr char kSection[] = "usKarn_v3";
// Longer than any valid entry (a name, two 64-octet keys in hex, the words):
// a value that fills it was cut and is refused.
constexpr unsigned kValueBuffer = 512;
// Returned for a missing key, which ends the list; an empty value is an
// entry that does not parse.
constexpr char kMissing[] = "\x01";

const struct {
    const char* name;
    AuthProtocol protocol;
} kAuthNames[] = {{"NONE", AuthProtocol::None},       {"MD5", AuthProtocol::Md5},
                  {"SHA", AuthProtocol::Sha1},        {"SHA-224", AuthProtocol::Sha224},
                  {"SHA-256", AuthProtocol::Sha256}, {"SHA-384", AuthProtocol::Sha384},
                  {"SHA-512", AuthProtocol::Sha512}};

bool ParseAuth(const std::string& word, AuthProtocol& protocol) {
    for (const auto& entry : kAuthNames) {
        if (MbsEqualNoCase(word.c_str(), entry.name, 0)) {
            protocol = entry.protocol;
            return true;
        }
    }
    return false;
}

bool ParsePriv(const std::string& word, PrivProtocol& protocol) {
    if (MbsEqualNoCase(word.c_str(), "NONE", 0)) protocol = PrivProtocol::None;
    else if (MbsEqualNoCase(word.c_str(), "AES", 0)) protocol = PrivProtocol::Aes128;
    else if (MbsEqualNoCase(word.c_str(), "DES", 0)) protocol = PrivProtocol::Des;
    else return false;
    return true;
}

}  // namespace

const UsmUser* UsmUserTable::Find(const uint8_t* name, size_t size) const {
    for (const UsmUser& user : users) {
        if (user.name.size() == size && (size == 0 || std::memcmp(user.name.data(), name, size) == 0)) return &user;
    }
    return nullptr;
}

bool ParseUsmUser(const std::string& value, UsmUser& user) {
    std::string fields[5];
    size_t start = 0;
    for (int i = 0; i < 5; ++i) {
        const size_t comma = value.find(',', start);
        if ((comma == std::string::npos) != (i == 4)) return false;  // exactly four commas
        fields[i] = Trim(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        start = comma + 1;
    }
    UsmUser parsed;
    parsed.name = fields[0];
    if (parsed.name.empty() || parsed.name.size() > kMaxUserNameSize) return false;
    if (!ParseAuth(fields[1], parsed.auth) || !ParsePriv(fields[3], parsed.priv)) return false;

    const size_t keySize = KeyLength(parsed.auth);
    if (parsed.auth == AuthProtocol::None) {
        // Privacy needs authentication (RFC 3414: no authPriv without auth).
        if (!fields[2].empty() || parsed.priv != PrivProtocol::None || !fields[4].empty()) return false;
    } else if (!ParseHexText(fields[2], parsed.authKu, keySize)) {
        return false;
    }
    if (parsed.priv == PrivProtocol::None) {
        if (!fields[4].empty()) return false;
    } else if (!ParseHexText(fields[4], parsed.privKu, keySize)) {
        return false;
    }
    parsed.supported = parsed.priv != PrivProtocol::Des;
    user = parsed;
    return true;
}

const char* AuthProtocolName(AuthProtocol protocol) {
    for (const auto& entry : kAuthNames)
        if (entry.protocol == protocol && protocol != AuthProtocol::None) return entry.name;
    return "none";
}

const char* PrivProtocolName(PrivProtocol protocol) {
    return protocol == PrivProtocol::Aes128 ? "AES" : protocol == PrivProtocol::Des ? "DES" : "none";
}

std::string FormatUsmUser(const UsmUser& user) {
    const size_t keySize = KeyLength(user.auth);
    return user.name + "," + AuthProtocolName(user.auth) + "," + HexText(user.authKu, keySize) + "," +
           PrivProtocolName(user.priv) + "," +
           (user.priv == PrivProtocol::None ? std::string() : HexText(user.privKu, keySize));
}

UsmUserTable ReadUsmUsers(ProfileReader& profile, const Crypto& crypto) {
    UsmUserTable table;
    for (size_t n = 1; n <= kMaxUsers; ++n) {
        const std::string key = "user" + std::to_string(n);
        std::string value;
        const unsigned stored = profile.GetString(kSection, key.c_str(), kMissing, value, kValueBuffer);
        if (value == kMissing) break;
        UsmUser user;
        if (stored >= kValueBuffer - 1 || !ParseUsmUser(value, user) ||
            table.Find(reinterpret_cast<const uint8_t*>(user.name.data()), user.name.size())) {
            ++table.skipped;
            continue;
        }
        if (user.auth != AuthProtocol::None && !crypto.Supports(AuthHash(user.auth))) user.supported = false;
        table.users.push_back(user);
    }
    return table;
}
