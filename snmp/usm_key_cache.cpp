#include "snmp/usm_key_cache.h"

#include "snmp/usm_keys.h"

bool LocalizeUserKeys(Crypto& crypto, const UsmUser& user, const uint8_t* engineId, size_t engineIdSize,
                      LocalizedKeys& keys) {
    if (user.auth == AuthProtocol::None) return false;
    const HashAlgorithm hash = AuthHash(user.auth);
    if (!LocalizeKey(crypto, hash, user.authKu, engineId, engineIdSize, keys.auth)) return false;
    if (user.priv != PrivProtocol::Aes128) return true;
    // Every auth hash is at least 16 octets long, so AES-128 needs no key extension.
    uint8_t localizedPriv[kMaxHashLength];
    if (!LocalizeKey(crypto, hash, user.privKu, engineId, engineIdSize, localizedPriv)) return false;
    for (size_t i = 0; i < kAes128KeySize; ++i) keys.priv[i] = localizedPriv[i];
    return true;
}
