#include "kalbrit/test_trap.h"

#include "core/ipv4.h"
#include "kalbrit/trap_form.h"
#include "snmp/ber_tags.h"
#include "snmp/ber_back_writer.h"
#include "snmp/encoded_oids.h"
#include "snmp/trap_intake.h"
#include "snmp/trap_records.h"
#include "snmp/usm_key_cache.h"
#include "snmp/usm_local_engine.h"
#include "snmp/usm_outgoing.h"

namespace {

// Tag, length (short form below 128, else 0x81/0x82 and the octets), value.
void AppendItem(std::vector<uint8_t>& out, uint8_t tag, const std::vector<uint8_t>& value) {
    out.push_back(tag);
    const size_t n = value.size();
    if (n < 0x80) {
        out.push_back(static_cast<uint8_t>(n));
    } else if (n <= 0xFF) {
        out.push_back(0x81);
        out.push_back(static_cast<uint8_t>(n));
    } else {
        out.push_back(0x82);
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(n));
    }
    out.insert(out.end(), value.begin(), value.end());
}

// Shortest two's-complement octets of a non-negative value: a leading zero
// when the top bit would otherwise read as a sign.
std::vector<uint8_t> UnsignedOctets(uint32_t v) {
    std::vector<uint8_t> octets;
    do {
        octets.insert(octets.begin(), static_cast<uint8_t>(v & 0xFF));
        v >>= 8;
    } while (v);
    if (octets.front() & 0x80) octets.insert(octets.begin(), 0);
    return octets;
}

// 1.3.6.1.6.3.1.1.5: first two arcs as 40*1+3, then one octet per arc (all below 128).
std::vector<uint8_t> EnterpriseOctets() { return {0x2B, 6, 1, 6, 3, 1, 1, 5}; }

}  // namespace

std::vector<uint8_t> EncodeTestTrap(const std::string& community, uint32_t uptimeHundredths) {
    std::vector<uint8_t> pdu;
    AppendItem(pdu, kTagObjectId, EnterpriseOctets());
    AppendItem(pdu, kTagIpAddress,
               {static_cast<uint8_t>(kTestTrapAgent >> 24), static_cast<uint8_t>(kTestTrapAgent >> 16),
                static_cast<uint8_t>(kTestTrapAgent >> 8), static_cast<uint8_t>(kTestTrapAgent)});
    AppendItem(pdu, kTagInteger, {0});  // generic-trap coldStart
    AppendItem(pdu, kTagInteger, {0});  // specific-trap
    AppendItem(pdu, kTagTimeTicks, UnsignedOctets(uptimeHundredths));
    AppendItem(pdu, kTagSequence, {});  // no variable bindings

    std::vector<uint8_t> message;
    AppendItem(message, kTagInteger, {0});  // version-1
    AppendItem(message, kTagOctetString, std::vector<uint8_t>(community.begin(), community.end()));
    AppendItem(message, kTagTrapPdu, pdu);

    std::vector<uint8_t> out;
    AppendItem(out, kTagSequence, message);
    return out;
}

std::vector<uint8_t> EncodeV3TestTrap(Crypto& crypto, const UsmUser& user, uint32_t uptimeHundredths) {
    if (!user.supported || (user.auth != AuthProtocol::None && !crypto.Supports(AuthHash(user.auth)))) return {};
    uint8_t engineId[kGeneratedEngineIdSize];
    uint32_t ids[2];  // msgID and request-id
    uint64_t salt = 0;
    if (!MakeEngineId(crypto, engineId) || !crypto.Random(reinterpret_cast<uint8_t*>(ids), sizeof ids) ||
        !crypto.Random(reinterpret_cast<uint8_t*>(&salt), sizeof salt))
        return {};
    LocalizedKeys keys;
    if (user.auth != AuthProtocol::None && !LocalizeUserKeys(crypto, user, engineId, sizeof engineId, keys)) return {};

    // The SNMPv2-Trap PDU, written from its end: the bindings, then the header.
    static const uint8_t kColdStart[] = {0x2B, 0x06, 0x01, 0x06, 0x03, 0x01, 0x01, 0x05, 0x01};  // snmpTraps.1
    uint8_t pdu[128];
    BerBackWriter w(pdu, sizeof pdu);
    const size_t end = w.Size();  // each item below is wrapped from here or from its own mark
    w.Octets(kTagObjectId, kColdStart, sizeof kColdStart);
    w.Octets(kTagObjectId, encoded_oids::kSnmpTrapOid0, sizeof encoded_oids::kSnmpTrapOid0);
    w.Wrap(kTagSequence, end);  // snmpTrapOID.0
    const size_t upTime = w.Size();
    w.Integer(kTagTimeTicks, uptimeHundredths);
    w.Octets(kTagObjectId, encoded_oids::kSysUpTime0, sizeof encoded_oids::kSysUpTime0);
    w.Wrap(kTagSequence, upTime);  // sysUpTime.0
    w.Wrap(kTagSequence, end);     // the bindings
    w.Integer(kTagInteger, 0);  // error-index
    w.Integer(kTagInteger, 0);  // error-status
    w.Integer(kTagInteger, ids[1] & 0x7FFFFFFF);
    w.Wrap(kTagSnmpV2TrapPdu, end);
    if (!w.Ok()) return {};

    OutgoingMessage message;
    message.msgId = static_cast<int32_t>(ids[0] & 0x7FFFFFFF);
    message.msgMaxSize = kMaxDatagram;
    message.level = user.Level();
    message.reportable = false;  // a trap is never answered, not even with a Report
    message.engineId = engineId;
    message.engineIdSize = sizeof engineId;
    message.engineBoots = 1;
    message.engineTime = uptimeHundredths / 100;
    message.userName = reinterpret_cast<const uint8_t*>(user.name.data());
    message.userNameSize = user.name.size();
    message.auth = user.auth;
    message.keys = &keys;
    message.salt = salt;
    message.contextEngineId = engineId;
    message.contextEngineIdSize = sizeof engineId;
    message.pdu = w.Front();
    message.pduSize = w.Size();
    std::vector<uint8_t> out(kMaxDatagram);
    out.resize(BuildUsmMessage(crypto, message, out.data(), out.size()));
    return out;
}

bool SendersAcceptTestTrap(const TrapForm& form) {
    TrapSettings settings;
    if (!form.allSenders) {
        settings.targetText = form.target;
        settings.targetAddress = InetAddr(form.target.c_str());
    }
    if (!form.noProhibition) {
        settings.prohibitionText = form.prohibition;
        settings.prohibitionAddress = InetAddr(form.prohibition.c_str());
    }
    return AcceptSource(settings, InetAddr("127.0.0.1"), "127.0.0.1") == RefusalReason::None;
}
