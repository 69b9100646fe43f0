#include "snmp/usm_outgoing.h"

#include <cstring>

#include "snmp/ber_back_writer.h"
#include "snmp/ber_tags.h"
#include "snmp/usm_auth.h"
#include "snmp/usm_message.h"
#include "snmp/usm_privacy.h"

size_t BuildUsmMessage(Crypto& crypto, const OutgoingMessage& message, uint8_t* out, size_t capacity) {
    const bool authenticated = message.level != SecurityLevel::NoAuthNoPriv;
    const bool encrypted = message.level == SecurityLevel::AuthPriv;
    if (authenticated && (!message.keys || MacLength(message.auth) == 0)) return 0;

    BerBackWriter w(out, capacity);
    // msgData: the scoped PDU, encrypted in place at authPriv.
    const size_t dataMark = w.Size();
    w.Bytes(message.pdu, message.pduSize);
    w.Octets(kTagOctetString, message.contextName, message.contextNameSize);
    w.Octets(kTagOctetString, message.contextEngineId, message.contextEngineIdSize);
    w.Wrap(kTagSequence, dataMark);
    uint8_t salt[kAesSaltSize];
    for (size_t i = 0; i < kAesSaltSize; ++i) salt[i] = static_cast<uint8_t>(message.salt >> (56 - 8 * i));
    if (encrypted) {
        if (!w.Ok() || !EncryptScopedPdu(crypto, message.keys->priv, message.engineBoots, message.engineTime, salt,
                                         w.Front(), w.Size() - dataMark, w.Front()))
            return 0;
        w.Wrap(kTagOctetString, dataMark);
    }

    // msgSecurityParameters, with the MAC's place zeroed for now.
    const size_t securityMark = w.Size();
    w.Octets(kTagOctetString, salt, encrypted ? kAesSaltSize : 0);
    const size_t macLength = authenticated ? MacLength(message.auth) : 0;
    w.Zeros(macLength);
    const size_t macFromEnd = w.Size();
    w.Header(kTagOctetString, macLength);
    w.Octets(kTagOctetString, message.userName, message.userNameSize);
    w.Integer(kTagInteger, message.engineTime);
    w.Integer(kTagInteger, message.engineBoots);
    w.Octets(kTagOctetString, message.engineId, message.engineIdSize);
    w.Wrap(kTagSequence, securityMark);
    w.Wrap(kTagOctetString, securityMark);

    // msgGlobalData, the version and the message.
    const size_t headerMark = w.Size();
    w.Integer(kTagInteger, kUsmSecurityModel);
    const uint8_t flags = static_cast<uint8_t>((authenticated ? kMsgFlagAuth : 0) | (encrypted ? kMsgFlagPriv : 0) |
                                               (message.reportable ? kMsgFlagReportable : 0));
    w.Octets(kTagOctetString, &flags, 1);
    w.Integer(kTagInteger, message.msgMaxSize);
    w.Integer(kTagInteger, message.msgId);
    w.Wrap(kTagSequence, headerMark);
    w.Integer(kTagInteger, 3);
    w.Wrap(kTagSequence, 0);
    if (!w.Ok()) return 0;

    const size_t size = w.Size();
    std::memmove(out, w.Front(), size);
    if (authenticated) {
        const ByteRange mac{size - macFromEnd, macLength};
        if (!ComputeMac(crypto, message.auth, message.keys->auth, out, size, mac, out + mac.pos)) return 0;
    }
    return size;
}
